#include "driver/sfc_parse.h"
#include "driver/sfc_parse_testing.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "date/date.h"
#include "files/files.h"
#include "messages/messages.h"
#include "messages/progress.h"
#include "resources/resources.h"
#include "resources/prompt.h"
#include "files/paths.h"
#include "geo/geo.h"
#include "geo/map.h"
#include "station/station.h"
#include "surface/print_line.h"
#include "surface/print_map.h"
#include "surface/print_nice.h"
#include "surface/print_rows.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/cvt_reader.h"
#include "surface/madis_reader.h"
#include "surface/metar.h"
#include "surface/sa.h"
#include "util/chars.h"
#include "util/util.h"

const res_type SFC_res_key[] = {
    RES_help,       RES_batch,       RES_message,     RES_file_path,  RES_data_path, RES_con_path,
    RES_grid_path,  RES_raw_path,    RES_image_path,  RES_watch_path, RES_text_path, RES_model_path,
    RES_sat_path,   RES_city_file,   RES_stat_prior,  RES_name_conv,  RES_in_file,   RES_out_file,
    RES_file_param, RES_plot_domain, RES_grid_domain, RES_region,     RES_output,    RES_current,
    RES_hour,       RES_num_hour,    RES_identifier,  RES_variable,   RES_parameter, RES_null,
};

const res_type SFC_res_pos[] = {RES_filenames, RES_null};

namespace {

// The driver's state for the run.
struct DriverState {
  SFC_settings settings;  // what the parameter, output and in_file words chose
  int files_opened = 0;   // files that SFC_parse_file has opened so far
};
DriverState g_driver;

// The classes the program prints with: the report lines, texts and "FILE:" lines
// (print, sub-level a); the column header (print, sub-level c); a converted file
// that cannot be opened (warn, sub-level c).
constexpr M_type M_REPORT = M_PRINT & M_SUB_A;
constexpr M_type M_HEADER = M_PRINT & M_SUB_C;
constexpr M_type M_CVT_OPEN = M_WARN & M_SUB_C;

struct ParamWord {
  const char *word;
  void (*apply)();
};

void set_line(int format, int raw_line) {
  SFC_set_print(format);
  if (raw_line) g_driver.settings.raw_line = raw_line;
}

constexpr ParamWord param_words[] = {
    {"dec", [] { g_driver.settings.type |= SFC_DECODE_BIT; }},
    {"raw", [] { g_driver.settings.type &= ~SFC_DECODE_BIT; }},
    {"pln", [] { set_line(2, 1); }},
    {"plns", [] { set_line(1, 2); }},
    {"psyn", [] { set_line(4, 0); }},
    {"pfull", [] { set_line(3, 0); }},
    {"psimp", [] { set_line(5, 0); }},
    {"pvar", [] { set_line(6, 0); }},
    {"pcsv", [] { set_line(SFC_PRINT_CSV, 0); }},
    {"pjson", [] { set_line(SFC_PRINT_JSON, 0); }},
    {"psvg", [] { set_line(SFC_PRINT_MAP, 0); }},
    {"prdash", [] { SFC_set_miss_dash(1); }},
    {"city", [] { g_driver.settings.city = 1; }},
    {"cvt", [] { g_driver.settings.decoded = 1; }},
    {"blank", [] { g_driver.settings.blank = 1; }},
    {"noblank", [] { g_driver.settings.blank = 0; }},
    {"header-1", [] { g_driver.settings.header = 1; }},
    {"header-e", [] { g_driver.settings.header = 2; }},
    {"header-0", [] { g_driver.settings.header = 0; }},
};

}  // namespace

const SFC_settings &SFC_get_settings() { return g_driver.settings; }

void SFC_reset_settings() { g_driver.settings = SFC_settings{}; }

int SFC_dat_in_file() {
  FILE_set_name("sfc_dat");
  ParsedList words;
  RES_getvals("in_file", words);
  for (const std::string &w : words) {
    if (stricmp(w.c_str(), "cvt") == 0) {
      g_driver.settings.decoded = 1;
      FILE_set_name("sfc_cvt");
    } else if (stricmp(w.c_str(), "sfc_cvt_cdf") == 0) {
      g_driver.settings.decoded = 1;
      FILE_set_name("sfc_cvt_cdf");
    } else {
      FILE_set_name(w.c_str());
    }
  }
  free_parsed_array(words);
  return 1;
}

int SFC_parameter() {
  ParsedList words;
  RES_getvals("parameter", words);
  for (const std::string &w : words) {
    if (strnicmp(w.c_str(), "tz", 2) == 0) {
      // The zone text starts at the word's fourth character ("tz=EST:-5").
      DATE_set_TZ(w.size() > 3 ? w.c_str() + 3 : "");
      continue;
    }
    for (const ParamWord &p : param_words) {
      if (stricmp(w.c_str(), p.word) == 0) {
        p.apply();
        break;
      }
    }
  }
  free_parsed_array(words);

  RES_getvals("output", words);
  for (const std::string &w : words) {
    if (stricmp(w.c_str(), "screen") == 0)
      g_driver.settings.output = 1;
    else if (stricmp(w.c_str(), "file") == 0)
      g_driver.settings.output = 2;
    else if (stricmp(w.c_str(), "both") == 0)
      g_driver.settings.output = 3;
  }
  free_parsed_array(words);
  return 0;
}

namespace {

constexpr int FILENAME_SIZE = 160;
// Names the map file of an hour when the naming conventions have no "sfc_map".
constexpr const char *SFC_MAP_TEMPLATE = "@%T/%y%m%d%h_map.svg";
constexpr int STATION_ANSWER = 60;  // one word of at most 59 characters

// Whether a report's identifier can name a file: letters and digits only.
// Identifiers come from the bulletin, which anyone on the feed can write; "../x" or
// "a/b" must not reach a file name.
bool id_is_file_name(const char *id) {
  if (!*id) return false;
  for (const char *p = id; *p; ++p)
    if (!zyp::is_alnum(*p)) return false;
  return true;
}

// Whether a station identifier of the database can name a file: the database's own
// forms ("-ABC" for a station without an ICAO identifier) are taken, but nothing
// that leaves the output directory.
bool station_is_file_name(const char *id) { return *id && *id != '.' && !std::strchr(id, '/'); }

// Whether reports print as rows for data tools (CSV, JSON Lines): then standard
// output carries nothing but the rows and their header, no date or file lines.
bool data_rows() {
  return SFC_print_is_rows(SFC_get_print()) &&
         ((g_driver.settings.type & SFC_DECODE_BIT) || g_driver.settings.decoded);
}

// Opens the output file of station `id` as the message copy file when the file bit
// of the output mode is set; true when it did. An identifier that is no file name
// is not filed (a warning names it).
bool open_station_file(const char *id, const Date &date, bool from_report = true) {
  if (!(g_driver.settings.output & SFC_FILE_BIT)) return false;
  if (!(from_report ? id_is_file_name(id) : station_is_file_name(id))) {
    MESS_print(M_WARN, "SFC_parse_file: Report of %s not filed: the identifier is no file name\n",
               id);
    return false;
  }
  FILE_set_key('i', id);
  char name[FILENAME_SIZE];
  FILE_set_date(&date, name);
  if (!data_rows()) MESS_print(M_REPORT, "FILE: %s\n", name);
  MESS_file(name, "a");
  return true;
}

// Prints the text of one raw report, tidied or squeezed.
void print_report_text(char *text) {
  if (g_driver.settings.raw_line == 2) {
    SFC_print_nice(M_REPORT, text);
  } else {
    strip_spaces(text);
    MESS_print(M_REPORT, "%s\n", text);
  }
}

// Decodes one raw report (a report of another format stays all missing).
void decode_report(data_struct &rep, SFC_report &report) {
  SFC_initialize(&report);
  std::snprintf(report.area, sizeof report.area, "UN");
  if (rep.format == SFC_FMT_SA || rep.format == SFC_FMT_SP)
    SFC_decode_SA(rep.data, rep.format, rep.bulletin, &report);
  else if (rep.format == SFC_FMT_METAR || rep.format == SFC_FMT_SPECI)
    SFC_decode_METAR(rep.data, rep.format, rep.bulletin, &report);
}

// Prints one raw report: decoded as a line with the decode bit, else as text.
void print_report(data_struct &rep) {
  if (g_driver.settings.type & SFC_DECODE_BIT) {
    SFC_report report;
    decode_report(rep, report);
    // Rows for data tools name the station of a report the decoder gives no
    // identifier (a NIL report, a gathered station without a report).
    if (data_rows() && report.id[0] == '\0' &&
        (rep.format > SFC_FMT_NONE || g_driver.settings.city))
      std::snprintf(report.id, sizeof report.id, "%.*s", static_cast<int>(sizeof rep.id), rep.id);
    SFC_rows_set_raw(rep.format > SFC_FMT_NONE ? rep.data : nullptr);
    SFC_print_line(M_REPORT, &report);
    SFC_rows_set_raw(nullptr);
  } else {
    print_report_text(rep.data);
  }
}

// Prints one raw report that was asked for, to the terminal and, with the file bit,
// appended to its station's output file. A report whose identifier is no file name
// is printed but not filed.
void print_raw_report(data_struct &rep, const Date &date) {
  const bool to_file = open_station_file(rep.id, date);
  print_report(rep);
  if (to_file) MESS_file_close();
}

// Whether a file is a netCDF file (classic, 64-bit offset, 64-bit data or HDF5 form),
// by its first bytes.
bool is_netcdf(const char *filename) {
  unsigned char sig[4] = {0, 0, 0, 0};
  if (FILE_signature(filename, sig, 4) < 4) return false;
  if (sig[0] == 'C' && sig[1] == 'D' && sig[2] == 'F' &&
      (sig[3] == 1 || sig[3] == 2 || sig[3] == 5))
    return true;
  return sig[0] == 0x89 && sig[1] == 'H' && sig[2] == 'D' && sig[3] == 'F';
}

// ---- gathering mode -----------------------------------------------------------

SFC_slot *slot_of(void *area) { return static_cast<SFC_slot *>(area); }

// Fills the station store once per run: every station of the database that the
// request selects, inside the domain, within the priority limit.
void fill_store(const Domain *domain) {
  CTY_data_size(static_cast<int>(sizeof(SFC_slot)));
  CTY_enter_func(SFC_parse_enter_func);
  CTY_store(CTY_DEFAULT_FILE, 1, domain, CTY_get_prior());
}

// Empties every slot for a new file; the kept identifier stays.
void reset_slots() {
  for (SFC_slot *slot = slot_of(CTY_next_data(0)); slot; slot = slot_of(CTY_next_data(1))) {
    if (g_driver.settings.decoded) {
      SFC_initialize(&slot->report);
    } else {
      slot->raw.data[0] = '\0';
      slot->raw.format = SFC_FMT_NONE;
    }
    slot->flag = 0;
    slot->prhour = 0;
  }
}

// Keeps a raw report in its station's slot, replacing an earlier one: the store has
// already decided which stations were asked for. SP reports are not gathered.
void gather_report(const data_struct &rep) {
  if (rep.format == SFC_FMT_SP) return;
  SFC_slot *slot = slot_of(CTY_get_data(rep.id));
  if (!slot) return;
  slot->raw = rep;
  slot->flag = 1;
  slot->prhour = SFC_get_prhour();
}

// Prints one gathered converted slot: its report when it has one or with "blank";
// else, with the decode bit, an all-missing line; else nothing.
void print_converted_slot(const SFC_slot &slot) {
  if (slot.flag || g_driver.settings.blank) {
    SFC_print_line(M_REPORT, &slot.report);
  } else if (g_driver.settings.type & SFC_DECODE_BIT) {
    SFC_report report;
    SFC_initialize(&report);
    std::snprintf(report.area, sizeof report.area, "UN");
    SFC_print_line(M_REPORT, &report);
  }
}

// Whether the gathered reports are drawn as a map (line format "map").
bool map_mode() { return g_driver.settings.city && SFC_get_print() == SFC_PRINT_MAP; }

// Draws the stations of the store that have a report, decoded, as one map document.
// With the file bit the document goes to the file the convention "sfc_map" names
// for the input file's date (written anew), after a "FILE:" line.
void print_gathered_map(const Date &date) {
  std::vector<SFC_map_station> stations;
  const int prhour = SFC_get_prhour();
  for (SFC_slot *slot = slot_of(CTY_next_data(0)); slot; slot = slot_of(CTY_next_data(1))) {
    const CTY_data *where = CTY_current_station();
    if (!where || !slot->flag) continue;
    SFC_map_station &st = stations.emplace_back();
    if (g_driver.settings.decoded) {
      st.report = slot->report;
    } else {
      SFC_set_prhour(slot->prhour);  // decode with the time of the report's own bulletin
      decode_report(slot->raw, st.report);
    }
    st.id = slot->station;
    st.lat = where->lat;
    st.lon = where->lon;
    st.prior = where->prior;
  }
  SFC_set_prhour(prhour);

  char label[DATE_LABEL_SIZE];
  Date labelled = date;
  DATE_make_label(&labelled, label);
  char domain[FILE_KEY_SIZE];
  FILE_get_key('r', domain);
  const std::string title =
      std::string("Surface observations ") + label + (domain[0] ? "  " : "") + domain;
  bool to_file = false;
  if (g_driver.settings.output & SFC_FILE_BIT) {
    if (!FILE_set_name("sfc_map")) FILE_set_name(SFC_MAP_TEMPLATE);
    char name[FILENAME_SIZE];
    FILE_set_date(&date, name);
    MESS_print(M_REPORT, "FILE: %s\n", name);
    MESS_file(name, "w");
    to_file = true;
  }
  SFC_print_map(M_REPORT, stations, title.c_str());
  if (to_file) MESS_file_close();
}

// Prints every station of the store in its order: decoded (an all-missing line for
// a station without report), or as text (a station without report only with
// "blank", as an empty line). With the file bit every station's file is opened.
void print_gathered(const Date &date) {
  if (map_mode()) {
    print_gathered_map(date);
    return;
  }
  const int prhour = SFC_get_prhour();
  for (SFC_slot *slot = slot_of(CTY_next_data(0)); slot; slot = slot_of(CTY_next_data(1))) {
    const bool to_file = open_station_file(slot->station, date, false);
    if (g_driver.settings.decoded) {
      print_converted_slot(*slot);
    } else if (g_driver.settings.type & SFC_DECODE_BIT) {
      SFC_set_prhour(slot->prhour);  // decode with the time of the report's own bulletin
      print_report(slot->raw);
    } else if (g_driver.settings.blank || std::strlen(slot->raw.data) > 5) {
      print_report_text(slot->raw.data);
    }
    if (to_file) MESS_file_close();
  }
  SFC_set_prhour(prhour);
}

// ---- converted input ------------------------------------------------------------

// Keeps a converted report in its station's slot, replacing an earlier one. With an
// identifier list only the identifier was read: the whole record is read again at
// the same index (the reader keeps that record, so this costs no file access).
// A report that gives no elevation gets its station's elevation from the database.
void gather_converted(int fd, SFC_report &report, bool id_only, int counter) {
  SFC_slot *slot = slot_of(CTY_get_data(report.id));
  if (!slot) return;
  if (id_only && SFC_read(fd, &report, SFC_CVT_FULL, &counter) != 0) return;
  slot->report = report;
  slot->flag = 1;
  if (slot->report.elev == SFC_MISSING_F && slot->elev != SFC_MISSING)
    slot->report.elev = static_cast<float>(slot->elev);
}

// Reads every record of a converted file: with an identifier list first only the
// identifier, and the whole record for the stations asked for; prints each one (or
// gathers it).
void read_converted(int fd, const CTY_id_set &wanted, bool id_only, const Date &date) {
  SFC_report report;
  const int rep_type = id_only ? SFC_CVT_ID : SFC_CVT_FULL;
  for (int counter = 0; SFC_read(fd, &report, rep_type, &counter) == 0; ++counter) {
    if (!wanted.wanted(report.id)) continue;
    if (g_driver.settings.city) {
      gather_converted(fd, report, id_only, counter);
      continue;
    }
    const bool to_file = open_station_file(report.id, date);
    if (!id_only || SFC_read(fd, &report, SFC_CVT_FULL, &counter) == 0)
      SFC_print_line(M_REPORT, &report);
    if (to_file) MESS_file_close();
  }
}

// The date of a converted file: its header's date label when that gives the day
// and hour, else the date its name gave.
void converted_date(const SFC_info &info, Date &date) {
  const Date &d = info.date;
  if (d.year != DATE_MISSING && d.month >= 1 && d.day != DATE_MISSING && d.hour != DATE_MISSING)
    date = d;
}

}  // namespace

int SFC_parse_file(const char *filename, const char *id_string) {
  SFC_parameter();
  // Raw reports come from a bulletin file (plain or gzip-compressed) or from a
  // netCDF observation file that keeps each report's raw text (MADIS); decoded
  // reports from a converted file.
  SFC_madis madis;
  FilePtr input;
  int cvt_fd = -1;
  SFC_info info{};
  const bool netcdf = !g_driver.settings.decoded && is_netcdf(filename);
  if (g_driver.settings.decoded) {
    int kind = 0;
    cvt_fd = SFC_open(filename, SFC_CVT_READ, &kind);
    if (cvt_fd < 0) {
      MESS_print(M_CVT_OPEN, "SFC_parse_file: Unable to open file:%s\n", filename);
      return 0;
    }
    SFC_getinfo(cvt_fd, &info);
  } else if (netcdf) {
    char path[FILE_PATH_MAX + 1];
    if (!madis.open(FILE_add_user_path(filename, path))) {
      MESS_print(M_WARN, "SFC_parse_file: Unable to open file:%s\n", filename);
      return 0;
    }
  } else {
    input.reset(FILE_open(filename, "r"));
    if (!input) {
      MESS_print(M_WARN, "SFC_parse_file: Unable to open file:%s\n", filename);
      return 0;
    }
  }
  if (!g_driver.settings.decoded) SFC_raw_new_file();

  ParsedList ids;
  parse_string(id_string, ',', ids);

  if (RES_get("city_file")) g_driver.settings.city = 1;
  // A map shows the gathered reports: the line format "map" gathers.
  if (SFC_get_print() == SFC_PRINT_MAP) g_driver.settings.city = 1;

  Date date;
  FILE_get_date(&date);
  if (g_driver.settings.decoded) converted_date(info, date);
  FILE_save_name_conv();
  SFC_rows_set_input(&date, !g_driver.settings.decoded);

  // The map domain ("plot_domain", else "region"); a domain turns gathering on, and
  // gathering keeps only the stations inside it.
  Domain domain;
  DOM_get_region(&domain, 1);
  MAP_domain(&domain);
  if (domain.proj != DOM_NONE) g_driver.settings.city = 1;
  if (g_driver.files_opened == 0 && g_driver.settings.city) fill_store(&domain);
  ++g_driver.files_opened;

  FILE_set_name("sfc_par");
  ParsedList out_files;
  RES_getvals("out_file", out_files);
  for (const std::string &conv : out_files) FILE_set_name(conv.c_str());

  if (!g_driver.settings.decoded) MESS_set(MESS_DEFAULT_ADD, M_OUT1);
  char label[DATE_LABEL_SIZE];
  DATE_make_label(&date, label);
  int several = FILE_get_num_file() != 0;
  bool lines = (g_driver.settings.type & SFC_DECODE_BIT) || g_driver.settings.decoded;
  // Rows for data tools and a map's document stand alone on the output: no date
  // lines (a map's title carries the date).
  const bool bare = data_rows() || map_mode();
  if (!several && !bare) MESS_print(M_OUT1, "Date: %s\n\n", label);
  if (g_driver.settings.header == 1 && g_driver.files_opened == 1 && lines)
    SFC_print_line(M_HEADER, nullptr);
  if (several && !bare) MESS_print(M_OUT1, "** %s\n", label);
  if (g_driver.settings.header == 2 && lines) SFC_print_line(M_HEADER, nullptr);

  if (g_driver.settings.city) reset_slots();

  // Station selections are decided by the station store: every report passes.
  const CTY_id_set wanted(ids);
  data_struct rep;
  auto take = [&] {
    MESS_progress_report();
    if (g_driver.settings.city)
      gather_report(rep);
    else if (wanted.wanted(rep.id))
      print_raw_report(rep, date);
  };
  if (g_driver.settings.decoded) {
    read_converted(cvt_fd, wanted, !ids.empty(), date);
  } else if (netcdf) {
    int prhour = -9999;
    while (madis.read(&rep, &prhour) == 0) {
      if (prhour != -9999) SFC_set_prhour(prhour);
      take();
    }
  } else {
    for (;;) {
      int result = SFC_read_raw(input.get(), rep.data, rep.id, &rep.format, &rep.bulletin);
      if (result == SFC_RAW_NONE) break;
      take();
      if (result == SFC_RAW_LAST) break;
    }
  }
  if (g_driver.settings.city) print_gathered(date);
  // A damaged or truncated compressed file: the reports before the fault are out.
  if (input) {
    if (const char *why = FILE_read_error(input.get()))
      MESS_print(M_WARN, "SFC_parse_file: Unable to read file:%s (%s)\n", filename, why);
  }

  free_parsed_array(out_files);
  free_parsed_array(ids);
  FILE_restore_name_conv();
  if (g_driver.settings.decoded) SFC_close(cvt_fd);
  return 1;
}

int SFC_parse_enter_func(const CTY_data *data, void *area) {
  SFC_slot *slot = slot_of(area);
  std::snprintf(slot->station, sizeof slot->station, "%s", data->id);
  slot->elev = static_cast<int>(data->el);  // towards zero
  slot->flag = 0;
  slot->prhour = 0;
  if (g_driver.settings.decoded) {
    SFC_initialize(&slot->report);
    std::snprintf(slot->report.id, sizeof slot->report.id, "%s", data->id);
  } else {
    std::snprintf(slot->raw.data, sizeof slot->raw.data, "%s", data->id);
    std::snprintf(slot->raw.id, sizeof slot->raw.id, "%s", data->id);
    slot->raw.format = SFC_FMT_NONE;
    slot->raw.bulletin = slot->elev;
  }
  return 0;
}

void SFC_reset_parse() { g_driver.files_opened = 0; }

int SFC_main(int argc, char **argv) {
  // A reader of standard output that goes away is a write error (status 1), not a
  // signal.
  std::signal(SIGPIPE, SIG_IGN);
  // "id:STATION" domains are centred on a station of the database.
  DOM_set_station_lookup(CTY_get_loc);
  RES_init(argc, argv, SFC_res_key, SFC_res_pos);
  std::string prog = RES_get_progname();
  if (FLAG_help()) {
    MESS_print(M_PRINT, "%s: This program converts raw surface observations\n", prog.c_str());
    MESS_print(M_PRINT, "   into a useable format\n");
    RES_help_print(prog.c_str(), SFC_res_key, SFC_res_pos);
    ZYP_exit(0);
  }
  if (RES_get("identifier")) MESS_set(MESS_DEFAULT_SET, M_PRINT | M_ERROR | M_WARN);
  MESS_print_prog("HOURLY FILE SURFACE OBSERVATION PARSER");
  SFC_dat_in_file();

  char filename[FILENAME_SIZE];
  FILE_get_file_only("Enter the surface filename: ", filename);
  Date date;
  FILE_get_date(&date);
  FILE_reset_time();

  std::string ident;
  if (const char *id = RES_get("identifier")) {
    ident = id;
    MESS_print(M_MESS, "Searching for: %s...\n", id);
  } else {
    char answer[STATION_ANSWER + 1] = "";
    ZYP_prompts("Enter the station: ", answer, STATION_ANSWER);
    RES_put("identifier", answer);
    ident = answer;
  }
  const char *id_list = stricmp(ident.c_str(), "all") == 0 ? nullptr : ident.c_str();

  FILE_first(&date);
  // A run over several files shows its progress on a terminal (standard error).
  if (FILE_get_num_file() != 0) MESS_progress_start(FILE_count_files());
  int opened = 0;
  while (FILE_get_next(filename)) {
    opened += SFC_parse_file(filename, id_list);
    MESS_progress_file_done();
  }
  MESS_progress_end();
  MESS_flush();
  return opened > 0 ? SFC_EXIT_OK : SFC_EXIT_NO_INPUT;
}
