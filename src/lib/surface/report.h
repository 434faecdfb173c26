// Surface report records: the decoded report every decoder and reader fills, the
// raw report the bulletin reader cuts, and the header of a converted file.
//
// Every quantity of an SFC_report is held in one set of units whatever the report
// gave: degrees Fahrenheit, knots, statute miles, feet above ground, millibars,
// inches of mercury and inches. A value that was not reported is SFC_MISSING
// (integers) or SFC_MISSING_F (reals); a real counts as missing when it compares
// equal to SFC_MISSING_F, so decoders test for it before scaling anything.
//
// The records are plain, fixed-size and copied whole (the station store keeps one
// 320-byte slot per station, holding either a data_struct or an SFC_report).
// The module keeps no state.
#pragma once

#include <cstddef>
#include <type_traits>

#include "date/date.h"

// ---- missing values and fixed sizes ---------------------------------------

/// The missing value of an integer field.
constexpr int SFC_MISSING = -9999;
/// The missing value of a real field (compared for equality).
constexpr float SFC_MISSING_F = -9999.0f;

/// Size in bytes of one record of either kind (one station slot).
constexpr int SFC_REPORT_SIZE = 320;
/// Bytes of the identifier field (identifier and terminator).
constexpr int SFC_ID_SIZE = 11;
/// Bytes of the report kind word ("ME", "SA", ...).
constexpr int SFC_AREA_SIZE = 11;
/// Cloud layers a record holds.
constexpr int SFC_MAX_CLD = 5;
/// Characters of present weather, and the bytes of its field.
constexpr int SFC_WEATHER_LEN = 20;
constexpr int SFC_WEATHER_SIZE = SFC_WEATHER_LEN + 1;
/// Low, middle and high cloud type (no terminator).
constexpr int SFC_CLD_TYPE_LEN = 3;
/// Characters of the remarks, and the bytes of their field.
constexpr int SFC_COMMENT_LEN = 99;
constexpr int SFC_COMMENT_SIZE = SFC_COMMENT_LEN + 1;

/// Raw report text buffer, and the longest text the reader puts into it.
constexpr int SFC_DATA_SIZE = 300;
constexpr int SFC_DATA_LEN = 250;
/// Bytes of the identifier of a raw report.
constexpr int SFC_DATA_ID_SIZE = 10;

/// The decoders' bound of work: a report text of n characters costs at most
/// SFC_TRIES_PER_CHAR * n + SFC_TRIES_BASE pattern tries (counted by the scanner).
constexpr int SFC_TRIES_PER_CHAR = 8;
constexpr int SFC_TRIES_BASE = 64;

/// Bytes of the date text and of the file text of a converted file's header.
constexpr int SFC_INFO_DATIM_SIZE = 40;
constexpr int SFC_INFO_FILE_SIZE = 20;

/// Report types (SFC_report::type).
constexpr int SFC_TYPE_NIL = 0;             // a NIL report: no observation
constexpr int SFC_TYPE_ROUTINE = 1;         // METAR, SA, SM
constexpr int SFC_TYPE_SPECIAL = 2;         // SPECI, SP
constexpr int SFC_TYPE_RECORD_SPECIAL = 3;  // RS

// ---- records ----------------------------------------------------------------

/// One decoded surface observation. Field order, types and sizes are fixed: the
/// record is copied whole into station slots and read from converted files.
struct SFC_report {
  char id[SFC_ID_SIZE];             // station identifier, NUL-terminated
  char area[SFC_AREA_SIZE];         // report kind: "ME", or "SA", "SP", "RS", "SM"
  int type;                         // SFC_TYPE_*: 1 routine, 2 special, 3 record special, 0 NIL
  int wmo;                          // WMO block and station number
  float lat;                        // degrees, north positive
  float lon;                        // degrees, east positive
  float elev;                       // metres
  int prior;                        // station priority from the station database
  int time;                         // observation time HHMM UTC
  float cld_height[SFC_MAX_CLD];    // layer bases, feet above ground, lowest first
  char cld_cover[SFC_MAX_CLD];      // layer cover codes, one char each, no terminator
  int num_cld;                      // layers stored, 0 to 5
  float vis;                        // prevailing visibility, statute miles
  char weather[SFC_WEATHER_SIZE];   // present weather ("!" METAR form, short code, WMO number)
  float pmb;                        // sea-level pressure, millibars
  float t;                          // air temperature, F
  float td;                         // dew point, F
  float w_dir;                      // wind direction, degrees true (0 calm or variable)
  float w_spd;                      // wind speed, knots
  float w_gust;                     // gust speed, knots
  float alt;                        // altimeter setting, inches of mercury
  int ptend_t;                      // pressure tendency characteristic, 0 to 8
  float ptend;                      // 3-hour pressure change, millibars
  float rain1;                      // precipitation, last hour, inches
  float rain3;                      // last 3 hours
  float rain6;                      // last 6 hours
  float rain12;                     // last 12 hours
  float rain24;                     // last 24 hours
  float rain;                       // amount over rain_per hours (not filled here)
  int rain_per;                     // period of rain, hours (not filled here)
  char cld_low;                     // reserved cloud code (not filled here)
  char cld_type[SFC_CLD_TYPE_LEN];  // low, middle, high cloud types, '-' for '/'
  float max_t;                      // 24-hour maximum temperature, F
  float min_t;                      // 24-hour minimum temperature, F
  float max6_t;                     // 6-hour maximum temperature, F
  float min6_t;                     // 6-hour minimum temperature, F
  float scover;                     // snow depth, inches
  float solar;                      // sunshine duration, minutes
  float sst;                        // sea-surface temperature (converted files only)
  float wav_per;                    // wave period (converted files only)
  float wav_hgt;                    // wave height (converted files only)
  char comment[SFC_COMMENT_SIZE];   // remarks: words each followed by one blank
  int flag;                         // bit 0: t and td from the tenths T-group
};

/// One raw report as cut from a bulletin file.
struct data_struct {
  char data[SFC_DATA_SIZE];   // report text, lines joined, NUL-terminated
  char id[SFC_DATA_ID_SIZE];  // station identifier
  int bulletin;               // origin: 0 United States, 1 Canada, 2 Mexico, 9 other
  int format;                 // 1 SA, 2 METAR, 4 SP, 5 SPECI, 0 none
};

/// Header of a converted surface file.
struct SFC_info {
  char datim[SFC_INFO_DATIM_SIZE];  // date and time of the data as text
  char file[SFC_INFO_FILE_SIZE];    // kind or name of the file
  const char *cmdline;              // command line that made the file (reader's text)
  Date date;                        // date and time of the data
  int num_stat;                     // number of reports in the file
};

static_assert(sizeof(SFC_report) == SFC_REPORT_SIZE, "a report fills one station slot");
static_assert(sizeof(data_struct) == SFC_REPORT_SIZE, "a raw report fills one station slot");
static_assert(offsetof(SFC_report, cld_cover) == 72 && offsetof(SFC_report, weather) == 88 &&
                  offsetof(SFC_report, cld_low) == 176 && offsetof(SFC_report, comment) == 216 &&
                  offsetof(SFC_report, flag) == 316,
              "record layout is fixed");
static_assert(std::is_trivially_copyable_v<SFC_report> && std::is_standard_layout_v<SFC_report>);
static_assert(std::is_trivially_copyable_v<data_struct> && std::is_standard_layout_v<data_struct>);

// ---- operations ---------------------------------------------------------------

/// Sets every field to its initial value: texts empty, weather " ", cover codes,
/// cloud types and cld_low blank, type, num_cld and flag 0, everything else missing.
/// Returns 0, or -1 for a null record.
int SFC_initialize(SFC_report *report);

/// Appends `string` and then one blank to the remarks, never letting them exceed
/// SFC_COMMENT_LEN characters. A null `string` appends only the blank. Returns 0
/// (-1 for a null record).
int SFC_add_remarks(SFC_report *report, const char *string);

/// Copies up to `sects` blank-separated words of `ptr` into the remarks, one
/// SFC_add_remarks each; a word longer than 20 characters goes in pieces of 20.
/// Stops at the first place where no word starts. Reads `ptr` only. Returns 0
/// (-1 for a null record).
int SFC_add_remark_sections(SFC_report *report, const char *ptr, int sects);
