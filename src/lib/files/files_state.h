// The state of the files module, shared by its naming, stepping and entry code, and
// the helpers they share. Not part of the module's interface.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "date/date.h"
#include "messages/messages.h"
#include "util/util.h"

namespace file_detail {

constexpr int NAME_MAX_LEN = 159;  // longest template or file name
constexpr int KEY_MAX_LEN = 29;
constexpr int EXT_MAX_LEN = 19;
constexpr int NUM_KEYS = 256;
constexpr std::int32_t MISSING = DATE_MISSING;
constexpr int DEFAULT_LATE_OFF = 3600;
constexpr int NO_PERIOD_OFFSET = 100000;  // step used when the template has no period
constexpr int SEC_DAY = 86400;
constexpr int SEC_HOUR = 3600;
constexpr int SEC_MIN = 60;

// Single levels of M_DEBUG (M_DEBUG itself is all of them).
constexpr M_type DEBUG_A = 0x10000000;  // naming-convention look-ups
constexpr M_type DEBUG_C = 0x40000000;  // paths taken from the user, stepping
constexpr M_type DEBUG_D = 0x80000000;  // key assignments, typed names

/// The convention kept by FILE_save_name_conv (the members of NameState of the same names).
struct SavedConv {
  int late_off = DEFAULT_LATE_OFF;
  std::string conv, hconv, filename, ext;
  int filename_type = 0;
  int min_size = 0;
};

/// The naming state: the selected convention, the keys, the fixed date fields and the
/// last file named.
struct NameState {
  std::string conv;                        // the current template; empty: no naming convention
  std::string hconv;                       // the header template
  std::string ext;                         // extension of a partly matched convention name
  int min_size = 0;                        // a latest file must be larger than this many bytes
  int late_off = DEFAULT_LATE_OFF;         // the file period in seconds, MISSING when none
  std::string filename;                    // the last file name built or set
  int filename_type = 0;                   // 1: taken from the user unchanged
  std::array<std::string, NUM_KEYS> keys;  // the key values, by key character
  // The fixed date fields and steps ("hour" resource, "#" suffixes): a value of 0 or
  // more is fixed; a day field below 0 is a day step; an hour or minute field below 0
  // is -(offset * 100 + step).
  Date set{MISSING, MISSING, MISSING, MISSING, MISSING, MISSING, MISSING, 0};
  Date file_date{0, 0, 0, 0, 0, 0, 0, 0};  // the date of the last file named
  int header = 0;                          // 1: the header template is used instead of the template
  SavedConv saved;                         // what FILE_restore_name_conv brings back
};

/// The stepping state of the driver loop (FILE_first, FILE_get_next).
struct SteppingState {
  ParsedList files;  // the "filename" values
  int numfile = 0;   // how many of them are read as a list; 0: stepping by time
  int file_ind = 0;  // the next value of the list
  Date first_date{MISSING, MISSING, MISSING, MISSING,
                  MISSING, MISSING, MISSING, MISSING};  // stepping starts here
  int num_hour = 0;     // span in seconds, negative: back from first_date
  int skip = 0;         // requested step in seconds
  int offset = 0;       // step used, in seconds
  long long secs = 0;   // the offset of the first file from first_date, in seconds
  long long nsecs = 0;  // the offset of the next file
  int def_hours = 0;    // the span when "num_hour" is not set
};

/// The whole state of the module: one per process.
struct FilesState {
  NameState name;      // naming conventions, keys, fixed fields, the last file named
  SteppingState step;  // the files the driver loop has still to read
};
/// The module's state (defined in files.cpp; FILE_reset_state starts it afresh).
extern FilesState g_files;

/// Copies at most `max` characters of `s`.
std::string bounded(const std::string &s, size_t max = NAME_MAX_LEN);
/// Writes `s` (at most FILE_NAME_SIZE - 1 characters) into `out` when it is not null.
void copy_out(const std::string &s, char *out);

/// The step part of an hour or minute field of `set` (value -(offset*100 + step)),
/// 0 when the field is no usable step.
int step_part(std::int32_t field);
/// The offset part of such a field.
int offset_part(std::int32_t field);
/// True when the field holds a fixed value (0 or more).
inline bool fixed_value(std::int32_t field) { return field >= 0; }
/// True when the day field of `set` holds a day step.
inline bool day_step(std::int32_t field) { return field < 0 && field != MISSING; }
/// True when an hour or minute field of `set` holds a usable step (its step part is
/// not 0). A step part of 0 is ignored: the field counts as not set.
inline bool hm_step(std::int32_t field) { return step_part(field) > 0; }

/// Updates the file period for a day, hour or minute directive: `unit` seconds times
/// the directive number `n`, or the step of `set` when there is one (`step` > 0).
void update_period(int &late_off, long long unit, int n, long long step);

/// The value of a directory resource, or null when unset, empty or "none".
const char *resource_dir(const char *name);

/// The file period of a template: the smallest period of its day, day-of-year, hour
/// and minute directives, or the step of `set` for a field that holds one; -9999 when
/// it has none of those directives.
int template_period(const std::string &tpl);

/// Reads the digit form "YYYYMMDDhhmm" at `p`: each part only when the next
/// character is a digit (up to its width). Parts read go into `d`; returns the
/// number of characters used.
size_t read_digit_date(const char *p, Date &d);

}  // namespace file_detail
