// The naming state shared by the naming, stepping and entry code of the files module.
// Not part of the module's interface.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "date/date.h"
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

constexpr M_type DEBUG_A = 0x10000000;
constexpr M_type DEBUG_C = 0x40000000;
constexpr M_type DEBUG_D = 0x80000000;
constexpr M_type DEBUG_ALL = 0xF0000000;
constexpr M_type WARN = 192;
constexpr M_type MESS = 3840;
constexpr M_type PROMPT = 15;

struct SavedConv {
  int late_off = DEFAULT_LATE_OFF;
  std::string conv, hconv, filename, ext;
  int filename_type = 0;
  int min_size = 0;
};

struct NameState {
  std::string conv;   // the current template; empty: no naming convention
  std::string hconv;  // the header template
  std::string ext;    // extension of a partly matched convention name
  int min_size = 0;
  int late_off = DEFAULT_LATE_OFF;
  std::string filename;  // the last file name built or set
  int filename_type = 0;  // 1: taken from the user unchanged
  std::array<std::string, NUM_KEYS> keys;
  Date set{MISSING, MISSING, MISSING, MISSING, MISSING, MISSING, MISSING, 0};
  Date file_date{0, 0, 0, 0, 0, 0, 0, 0};
  int header = 0;
  SavedConv saved;
};

NameState &state();

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

/// Resets the stepping state (files.cpp calls it from FILE_reset_state).
void reset_stepping();

/// Reads the digit form "YYYYMMDDhhmm" at `p`: each part only when the next
/// character is a digit (up to its width). Parts read go into `d`; returns the
/// number of characters used.
size_t read_digit_date(const char *p, Date &d);

}  // namespace file_detail
