// Station database: the station file and its records, the in-memory station store
// with the rules by which requested identifiers select stations and reports, and
// the mapping between WMO numbers and identifiers.
//
// The station file ("sao.cty" in the directory of the resource "file_path", or the
// file the resource "city_file" names) holds one station per line, ten columns
// separated by white space:
//   name state region identifier priority latitude longitude elevation wmo number
// for example "DENVER_(DIA) CO US KDEN 0 39.8500 -104.6500 1640 72565 0". The
// priority column is one digit with an optional "*" before it (`mos`) and after it
// (`ua`). An elevation above 9000 counts as missing.
//
// The store (filled once per run by CTY_store) keeps, in file order, the stations
// that the "identifier" resource selects, that are important enough and that lie in
// the current map domain, each with a data area of the caller's size. It is one
// keyed table: key 1 the identifier, key 2 the WMO key ("%05d", or "b%05d" for the
// stations of region B_), and for store type 3 a location key.
//
// State (module-level): the open station file, the store and its settings. Messages
// go through MESS_print; nothing here fails by exception.
#pragma once

#include <string>
#include <unordered_set>

#include "geo/geo.h"
#include "util/util.h"

// ---- the station record ---------------------------------------------------------

/// Characters of a station name (longer ones are cut).
constexpr int CTY_NAME_LEN = 20;
/// Characters of a state abbreviation (at most).
constexpr int CTY_STATE_LEN = 2;
/// Characters of a country or region abbreviation (at most).
constexpr int CTY_REGION_LEN = 2;
/// Characters of a station identifier (at most).
constexpr int CTY_ID_LEN = 9;
/// Columns of a complete station line; the tenth (`num`) may be left out.
constexpr int CTY_COLUMNS = 10;
/// Columns a station line needs to be complete.
constexpr int CTY_COLUMNS_NEEDED = 9;
/// Longest station line read; the rest of a longer line is ignored.
constexpr int CTY_LINE_MAX = 255;
/// Elevations above this are missing.
constexpr float CTY_ELEV_MAX = 9000.0f;
/// WMO number of a station that has none.
constexpr int CTY_NO_WMO = 99999;
/// Default name of the station file.
constexpr const char *CTY_DEFAULT_FILE = "sao.cty";
/// Station count estimate: bytes of the file per station, and the largest estimate.
constexpr long CTY_BYTES_PER_LINE = 59;
/// The largest station count estimate.
constexpr int CTY_MAX_ESTIMATE = 4000;

/// One station of the database.
struct CTY_data {
  char name[CTY_NAME_LEN + 1];      // station name, blanks written as "_"
  char state[CTY_STATE_LEN + 1];    // state or province code
  char region[CTY_REGION_LEN + 1];  // region (country) code; B_ keys the station by "b" + WMO
  char id[CTY_ID_LEN + 1];          // identifier; one beginning with "-" means none
  int prior;                        // priority digit 0 to 9 (0 most important)
  char mos;                         // '*' or ' ', from a "*" before the priority digit
  char ua;                          // '*' or ' ', from a "*" after the priority digit
  float lat;                        // degrees, north positive
  float lon;                        // degrees, east positive
  float el;                         // elevation in metres; -9999 when missing
  int wmo;                          // WMO block and station number; 99999 for none
  int num;                          // the tenth column; 0 when the line has none
};

// ---- the station file -------------------------------------------------------------

/// Opens a station file for reading (access 0) or writing (1), closing any file
/// opened before; `type` is remembered. Returns the descriptor number, or -1 for
/// another access value or when the file cannot be opened.
int CTY_open(const char *filename, int access, int type);
/// Reads the next station line of the open file into `data` (cleared first; empty
/// lines are passed over). Returns the number of leading columns that were read and
/// valid (CTY_COLUMNS for a complete line), or -1 when no file is open or the file
/// has ended. A column that is too long or does not convert ends the count: a state
/// or region of more than 2 characters, an identifier of more than 9, a priority
/// other than [*]digit[*], a latitude outside -90..90 or a longitude outside
/// -360..360, a number with trailing text, a WMO number outside 0..99999. A longer
/// name is cut to CTY_NAME_LEN characters.
int CTY_read(int fd, CTY_data *data);
/// Back to the first line. Returns -1 when no file is open, else 0.
int CTY_rewind(int fd);
/// Closes the open file. Returns -1 when none is open, else 0.
int CTY_close(int fd);
/// Line number of the line CTY_read read last (1 for the first line).
int CTY_line_number();
/// Path of the station file CTY_open_file tried last ("" before).
const char *CTY_path();
/// Finds and opens the station file: the "city_file" resource ("none", any case,
/// means no file: -1 at once, no message), else `filename`, else CTY_DEFAULT_FILE,
/// placed in the directory of "file_path". `*count` (when not null) gets the station
/// count estimate: file bytes / CTY_BYTES_PER_LINE, at most CTY_MAX_ESTIMATE. A
/// file that cannot be opened (missing, unreadable, a directory) gives the warning
/// "CTY_open_file: Database file not found: %s\n". Returns the descriptor or -1.
int CTY_open_file(const char *filename, int *count);
/// Searches the station file for the station whose identifier, name or WMO number
/// ("%05d") equals `id` (any case). Returns 1 with `data` holding it, else 0.
int CTY_get(const char *filename, const char *id, CTY_data *data);
/// CTY_get, then the station's position into `lat` and `lon`. Returns 1 when found.
int CTY_get_loc(const char *filename, const char *id, float *lat, float *lon);

// ---- the station store ---------------------------------------------------------------

/// Position entry of store types 2 and 3.
struct CTY_locate {
  char id[11];  // the locate identifier (see CTY_set_id_type)
  int wmo;      // WMO number
  float x, y;   // position in map coordinates of the domain
  float el;     // elevation
  int pr;       // priority
};

/// The function that prepares each new data area: the station record and the area.
using CTY_enter_fn = int (*)(const CTY_data *data, void *area);

/// Size in bytes of the data area every stored station gets (0: none). Returns 0.
int CTY_data_size(int size);
/// The function called for each new data area (null: none). Returns 0.
int CTY_enter_func(CTY_enter_fn func);
/// Chooses the locate identifier of store types 2 and 3: 0 the WMO key for stations
/// without identifier, else the identifier; 1 the identifier for stations without
/// WMO number, else the WMO key; 2 the identifier, or for stations without one
/// "b%05d" (region B_) or the identifier made by wmo_to_id. Returns 0.
int CTY_set_id_type(int type);
/// The resource "stat_prior" as an integer; 10 when it is not set.
int CTY_get_prior();
/// Fills the store (type 1: whole station records; 2: position entries; 3: position
/// entries with a location key) from the station file, keeping the stations of
/// priority at most `prior` (-9999: CTY_get_prior) that the "identifier" resource
/// selects (CTY_data_cmp) and that MAP_tran shows inside the domain
/// (MAP_in_grid_domain). Any earlier store is released first. Incomplete selection
/// items of the request and bad station lines are warned about. Returns the station
/// file's descriptor (left open), or 0 when no station file could be opened.
int CTY_store(const char *filename, int type, const Domain *domain, int prior);
/// Number of stations in the store.
int CTY_store_count();
/// The index of the first requested entry that the station satisfies, -1 when none
/// does, 1 for an empty list. An entry is items joined by ":" that must all hold
/// (Name=, ST=, ST then an item, CN=, CN then an item, ID=, RA<lat then lon then km,
/// P= P< P>, Lat= Lat< Lat>, Lon= Lon< Lon>, Elev= Elev< Elev>, WMO= WMO< WMO>;
/// keywords in any case, "<" at most and ">" at least); failing that, the plain forms:
/// the WMO number as five digits, the identifier, or the beginning of the name when
/// the entry is longer than 4 characters. Text comparisons ignore case. An item
/// without its value holds for no station.
int CTY_data_cmp(const ParsedList &ids, const CTY_data *data);
/// Describes what is wrong with one requested entry (an item without its value or
/// with a value that is not a number, RA< without its two numbers); empty when the
/// entry is well formed.
std::string CTY_check_entry(const std::string &entry);
/// Looks a station up by identifier (see CTY_key_for_search) and copies its record:
/// the CTY_data of store type 1, the CTY_locate of types 2 and 3. Returns 1 when
/// found, 0 otherwise (also when the store holds the other kind of record).
int CTY_search(const char *id, CTY_data *data);
/// The same for the position entries of store types 2 and 3.
int CTY_search(const char *id, CTY_locate *locate);
/// The data area of the first stored station with this identifier: an identifier
/// that begins with a digit is a WMO key, any other the station identifier (letter
/// case counts). Null when not found or without data areas.
void *CTY_get_data(const char *id);
/// 0: the data area of the first station; otherwise that of the next one, in file
/// order. Null after the last station or without data areas.
void *CTY_next_data(int next);
/// The station record (store type 1) of the station whose data area CTY_next_data
/// returned last; null after the last station, before any walk and for the other
/// store types.
const CTY_data *CTY_current_station();

// ---- matching report identifiers ---------------------------------------------------

/// 1 when the list holds a station-selection entry ("ST=WI", "P<3", "RA<...", ...):
/// such requests are decided by the station store, so every report passes.
int CTY_ids_select(const ParsedList &ids);
/// 1 when a report with identifier `id` is wanted: always for an empty list or a list
/// with a selection entry, else when an entry equals `id` (any case).
int CTY_ids_cmp(const ParsedList &ids, const char *id);

/// The requested identifiers prepared once for matching every report of a file:
/// the same answers as CTY_ids_cmp, in a time that does not grow with the list.
class CTY_id_set {
 public:
  explicit CTY_id_set(const ParsedList &ids);
  /// 1 when a report with identifier `id` is wanted (as CTY_ids_cmp).
  int wanted(const char *id) const;

 private:
  bool every_;
  std::unordered_set<std::string> upper_;  // the entries in capitals
};

// ---- WMO numbers and identifiers ---------------------------------------------------------

/// Size of an identifier made from a WMO number, with its terminator.
constexpr int CTY_WMO_ID_SIZE = 6;
/// Writes the identifier of a WMO number into `id` (CTY_WMO_ID_SIZE bytes): a
/// two-character country prefix and the last three digits, a one-letter prefix and
/// the last four, or the number as "%5.5d" where no prefix applies. Returns 0.
int wmo_to_id(char *id, int wmo);
/// The WMO number of an identifier into `*wmo`: 0 for the prefix form (a letter, any
/// character, three digits), -1 otherwise (five digits give their value, anything
/// else 99999).
int id_to_wmo(const char *id, int *wmo);
