// File times and stepping: the fixed date fields, the current and latest file, the
// span and step of "num_hour", and the stepping state that the driver loop consumes.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "files/files.h"
#include "files/files_state.h"
#include "files/paths.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/util.h"

using namespace file_detail;

namespace {

constexpr int DEFAULT_LATEST_COUNT = 500;
constexpr int MAX_LATEST_COUNT = 100000;     // periods a latest search may go back at most
constexpr long long NUMBER_CAP = 999999999;  // larger numbers in texts are cut to this

int clamp32(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// The unsigned digits at p as a number cut to NUMBER_CAP (0 when there are none); p
// moves past all of them.
long long read_digits(const char *&p) {
  const char *end = p;
  while (zyp::is_digit(*end)) ++end;
  if (end == p) return 0;
  long v = 0;
  // A run too long for a long is beyond the cap as well.
  if (zyp::read_long_prefix(std::string_view(p, static_cast<size_t>(end - p)), v) == 0)
    v = NUMBER_CAP;
  p = end;
  return v > NUMBER_CAP ? NUMBER_CAP : v;
}

// Reads an integer as "%d" does (white space, a sign, digits); the value is capped.
bool read_int(const char *&p, long long &v) {
  const char *q = p;
  while (zyp::is_space(*q)) ++q;
  bool neg = false;
  if (*q == '+' || *q == '-') neg = *q++ == '-';
  if (!zyp::is_digit(*q)) return false;
  const long long a = read_digits(q);
  v = neg ? -a : a;
  p = q;
  return true;
}

// "[h][:m]" as hours and minutes; false when neither is there.
bool read_hours_minutes(const char *p, long long &h, long long &m) {
  h = m = 0;
  if (read_int(p, h)) {
    if (*p == ':') {
      ++p;
      read_int(p, m);
    }
    return true;
  }
  if (*p == ':') {
    ++p;
    return read_int(p, m);
  }
  return false;
}

// The time from the digit form "YYYYMMDDhhmm" (parts not given are 0); false when
// there are no digits.
bool digit_time(const char *p, std::int64_t &t) {
  if (!zyp::is_digit(*p)) return false;
  Date d{0, 0, 0, 0, 0, 0, 0, 0};
  read_digit_date(p, d);
  t = DATE_num_sec(&d);
  return true;
}

// "now": the environment variable "zypcurtime" when it holds a time, else the clock.
std::int64_t now() {
  const char *env = std::getenv("zypcurtime");
  std::int64_t t;
  if (env) {
    if (*env == '#') ++env;
    if (digit_time(env, t)) return t;
  }
  return DATE_get_time(nullptr);
}

Date breakdown(std::int64_t t) {
  Date d;
  DATE_get_gmdate(&t, &d);
  return d;
}

// Moves the base back to the latest time that fits the fixed fields of `set`.
std::int64_t apply_fixed(std::int64_t t, const Date &set) {
  Date b = breakdown(t);
  bool changed = false;
  if (set.month != MISSING && b.month < set.month) {
    b.year -= 1;
    b.month = set.month;
    changed = true;
  }
  if (fixed_value(set.day) && b.day < set.day) {
    b.month -= 1;
    if (b.month < 1) {
      b.month = 12;
      b.year -= 1;
    }
    b.day = set.day;
    changed = true;
  }
  if (changed) t = DATE_num_sec(&b);
  if (fixed_value(set.hour)) {
    if (b.hour < set.hour) t -= SEC_DAY;
    b = breakdown(t);
    b.hour = set.hour;
    t = DATE_num_sec(&b);
  }
  if (fixed_value(set.min)) {
    b = breakdown(t);
    if (b.min < set.min) t -= SEC_HOUR;
    b = breakdown(t);
    b.min = set.min;
    t = DATE_num_sec(&b);
  }
  return t;
}

// sign: "+" forward, "-" back, no sign back.
int read_direction(const char *&p) {
  if (*p == '+') {
    ++p;
    return 1;
  }
  if (*p == '-') ++p;
  return -1;
}

struct Offset {
  long long days = 0, hours = 0, minutes = 0;
  long long seconds() const { return days * SEC_DAY + hours * SEC_HOUR + minutes * SEC_MIN; }
};

// offset: "days d [hours] [:minutes]" or "hours [:minutes]"; p is at a digit.
Offset read_offset(const char *&p) {
  Offset o;
  long long a = read_digits(p);
  if (*p == 'd') {
    o.days = a;
    ++p;
    if (zyp::is_digit(*p)) o.hours = read_digits(p);
  } else {
    o.hours = a;
  }
  if (*p == ':' && zyp::is_digit(p[1])) {
    ++p;
    o.minutes = read_digits(p);
  }
  return o;
}

// base: "#" and the digit form "YYYYMMDDhhmm" (parts not given are 0), else now; a
// "#" without digits is skipped.
std::int64_t read_base(const char *&p) {
  if (*p == '#' && zyp::is_digit(p[1])) {
    Date d{0, 0, 0, 0, 0, 0, 0, 0};
    p += 1 + read_digit_date(p + 1, d);
    return DATE_num_sec(&d);
  }
  if (*p == '#') ++p;
  return now();
}

// Reads an offset at p and moves `t` by it in direction `dir`; `tag` names the
// offset (first or second) in the debug messages.
std::int64_t add_offset(const char *&p, int dir, std::int64_t t, const char *tag) {
  const Offset o = read_offset(p);
  t += dir * o.seconds();
  MESS_print(M_DEBUG, "%s:%d %d %d %d\n", tag, clamp32(o.days), clamp32(o.hours),
             clamp32(o.minutes), dir);
  return t;
}

// latest: "l" or "L", then "a" or "A", then "#" and a count; p is at the "l". Returns
// how many periods to try, DEFAULT_LATEST_COUNT without a count, at least 1 (the
// time itself) and at most MAX_LATEST_COUNT.
int read_latest(const char *&p) {
  int count = DEFAULT_LATEST_COUNT;
  ++p;
  if (*p == 'a' || *p == 'A') ++p;
  if (*p == '#' && zyp::is_digit(p[1])) {
    ++p;
    count = clamp32(read_digits(p));
  }
  if (count < 1) count = 1;
  if (count > MAX_LATEST_COUNT) count = MAX_LATEST_COUNT;
  return count;
}

// Names the files from `t` on, one file period at a time in direction `dir`, until one
// is larger than the convention's minimum size or `count` were tried; the last name
// tried is in `name`. Returns the time of that file.
std::int64_t search_latest(std::int64_t t, int dir, int count, char *name) {
  const NameState &st = g_files.name;
  for (int k = 0; k < count; ++k) {
    Date b = breakdown(t);
    int kind = FILE_set_date(&b, name);
    MESS_print(M_DEBUG, "LATE:%d %d %d %d %d\n", b.year, b.month, b.day, b.hour, b.min);
    MESS_print(M_DEBUG, "LATE: %s\n", name);
    if (FILE_size(name) > st.min_size) break;
    // A name that does not change with the time is tried once.
    if (kind != 0 || st.late_off <= 0) break;
    t += static_cast<std::int64_t>(dir) * st.late_off;
  }
  return t;
}

bool stepping_mode(const SteppingState &s) {
  return s.numfile == 0 || (s.numfile == 1 && s.num_hour != 0);
}

}  // namespace

// ---- fixed fields ------------------------------------------------------------------------

int FILE_set_time(const Date *date) {
  g_files.name.set = date ? *date : NameState{}.set;
  return 0;
}

const Date &FILE_get_set_time() { return g_files.name.set; }

int FILE_reset_time() {
  Date &set = g_files.name.set;
  set.year = set.month = set.day = set.hour = set.min = MISSING;
  return 0;
}

int FILE_get_date(Date *date) {
  if (date) *date = g_files.name.file_date;
  return 0;
}

// ---- current and latest file ---------------------------------------------------------------

// The text names a time and the file of that time:
//
//   text   = base [ sign ] [ offset [ sign ] ] [ latest [ sign ] ] [ offset ]
//   base   = "#" digits       the time "YYYYMMDDhhmm" (parts not given are 0)
//          | [ "#" ]          now: "zypcurtime" when set, else the clock
//   sign   = "+" | "-"        forward or back for the part that follows; no sign: back
//   offset = digits "d" [ digits ] [ ":" digits ]   days, hours, minutes
//          | digits [ ":" digits ]                  hours, minutes
//   latest = ( "l" | "L" ) [ "a" | "A" ] [ "#" digits ]
//            the first file larger than the convention's minimum size, looked for
//            one file period at a time in the direction of its sign, at most
//            `digits` periods (500 when not given)
//
// Whatever follows is ignored. The base time first moves back to the latest time that
// fits the fixed date fields.
std::int64_t FILE_set_current(const char *text, char *out) {
  NameState &st = g_files.name;
  const char *p = text ? text : "la";
  st.filename_type = 0;

  std::int64_t t = apply_fixed(read_base(p), st.set);
  int dir = read_direction(p);
  if (zyp::is_digit(*p)) {
    t = add_offset(p, dir, t, "CUR1");
    MESS_print(M_DEBUG, "CUR1:%s %d\n", p, clamp32(t));
    dir = read_direction(p);
  }
  char name[FILE_NAME_SIZE];
  if (*p == 'l' || *p == 'L') {
    const int count = read_latest(p);
    t = search_latest(t, dir, count, name);
    MESS_print(M_DEBUG, "LATEST: %s %s %d\n", p, name, clamp32(t));
    dir = read_direction(p);
  }
  if (zyp::is_digit(*p)) {
    t = add_offset(p, dir, t, "CUR2");
    MESS_print(M_DEBUG, "CUR2:%d\n", clamp32(t));
  }

  Date b = breakdown(t);
  MESS_print(M_DEBUG, "%d %d %d %d\n", b.year, b.day, b.hour, b.min);
  FILE_set_date(&b, out ? out : name);
  if (st.late_off <= 0) return t;  // no file period: the time is not rounded
  return st.late_off * (t / st.late_off);
}

int FILE_set_date_off(Date *date, int offset, char *out) {
  NameState &st = g_files.name;
  Date base = date ? *date : st.file_date;
  std::int64_t secs = DATE_num_sec(&base);
  if (date) *date = base;
  std::int64_t t = secs + offset;
  Date d = breakdown(t);
  MESS_print(M_DEBUG, "%d %d = %d %d %d %d\n", clamp32(secs), offset, d.year, d.month, d.day,
             d.hour);
  FILE_set_date(&d, out);
  return offset / FILE_get_offset();
}

int FILE_get_offset() {
  int late_off = g_files.name.late_off;
  return late_off > 0 ? late_off : NO_PERIOD_OFFSET;
}

// ---- span and step ------------------------------------------------------------------------------

int FILE_num_hour() {
  const char *text = RES_get("num_hour");
  if (!text) return g_files.step.def_hours;
  const char *p = text;
  while (zyp::is_space(*p)) ++p;
  const bool minus = *p == '-';
  long long h = 0, m = 0;
  // "-:30" is thirty minutes back, like "-0:30".
  read_hours_minutes(minus && p[1] == ':' ? p + 1 : p, h, m);
  if ((h == 0 && minus) || h < 0) m = -m;
  return clamp32(h * SEC_HOUR + m * SEC_MIN);
}

int FILE_get_skip() {
  const char *text = RES_get("num_hour");
  const char *comma = text ? std::strchr(text, ',') : nullptr;
  if (!comma) return g_files.name.late_off;
  long long h = 0, m = 0;
  read_hours_minutes(comma + 1, h, m);
  return clamp32(h * SEC_HOUR + m * SEC_MIN);
}

// ---- stepping -----------------------------------------------------------------------------------

int FILE_first(const Date *date) {
  SteppingState &s = g_files.step;
  RES_getvals("filename", s.files);
  s.numfile = static_cast<int>(s.files.size());
  if (s.numfile > 0 &&
      (strnicmp(s.files[0].c_str(), "la", 2) == 0 || strnicmp(s.files[0].c_str(), "cu", 2) == 0))
    s.numfile = 0;
  s.file_ind = 0;
  s.first_date = date ? *date : g_files.name.file_date;

  s.num_hour = FILE_num_hour();
  s.skip = FILE_get_skip();
  s.offset = FILE_get_offset();
  if (s.skip > 0 && s.skip >= s.offset) s.offset = s.offset * (s.skip / s.offset);
  if (s.num_hour < 0) {
    long long off = s.offset;
    s.secs = off * ((s.num_hour - off + 1) / off);
  } else {
    s.secs = 0;
  }
  s.nsecs = s.secs;
  return 0;
}

int FILE_get_next(char *out) {
  SteppingState &s = g_files.step;
  if (!stepping_mode(s)) {
    if (s.file_ind >= s.numfile) return 0;
    FILE_set_file(s.files[static_cast<size_t>(s.file_ind)].c_str(), out);
    ++s.file_ind;
    return 1;
  }
  if ((s.num_hour < 0 && s.nsecs > 0) || (s.num_hour >= 0 && s.nsecs > s.num_hour)) return 0;
  char name[FILE_NAME_SIZE];
  if (s.num_hour == 0) {
    copy_out(g_files.name.filename, name);
  } else {
    Date d = s.first_date;
    MESS_print(DEBUG_C, " in: ");
    DATE_print(DEBUG_C, &d);
    FILE_set_date_off(&d, clamp32(s.nsecs), name);
    MESS_print(DEBUG_C, "out: ");
    DATE_print(DEBUG_C, &g_files.name.file_date);
    MESS_print(DEBUG_C, "NEXT: %d %d %d %d %d %s\n", clamp32(s.nsecs), s.offset, s.skip, s.num_hour,
               s.file_ind, name);
  }
  copy_out(name, out);
  s.nsecs += s.offset;
  return 1;
}

int FILE_get_num_file() {
  const SteppingState &s = g_files.step;
  return stepping_mode(s) ? s.num_hour : s.numfile - 1;
}

int FILE_count_files() {
  const SteppingState &s = g_files.step;
  if (!stepping_mode(s)) return s.numfile > s.file_ind ? s.numfile - s.file_ind : 0;
  const long long end = s.num_hour < 0 ? 0 : s.num_hour;  // FILE_get_next's last step
  if (s.nsecs > end) return 0;
  if (s.offset <= 0) return 1;
  return clamp32((end - s.nsecs) / s.offset + 1);
}
