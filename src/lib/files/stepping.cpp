// File times and stepping: the fixed date fields, the current and latest file, the
// span and step of "num_hour", and the stepping state that the driver loop consumes.
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/files.h"
#include "files/files_state.h"
#include "files/paths.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/util.h"

using namespace file_detail;

namespace {

constexpr int DEFAULT_LATEST_COUNT = 500;
constexpr int MAX_LATEST_COUNT = 100000;  // periods a latest search may go back at most
constexpr long long NUMBER_CAP = 999999999;  // larger numbers in texts are cut to this

struct Stepping {
  ParsedList files;  // the "filename" values
  int numfile = 0;
  int file_ind = 0;
  Date first_date{MISSING, MISSING, MISSING, MISSING, MISSING, MISSING, MISSING, MISSING};
  int num_hour = 0;  // span in seconds, negative: back from first_date
  int skip = 0;      // requested step in seconds
  int offset = 0;    // step used, in seconds
  long long secs = 0;
  long long nsecs = 0;
  int def_hours = 0;
};

Stepping &stepping() {
  static Stepping s;
  return s;
}

int clamp32(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// Reads an integer as "%d" does (blanks, a sign, digits); the value is capped.
bool read_int(const char *&p, long long &v) {
  const char *q = p;
  while (std::isspace(static_cast<unsigned char>(*q))) ++q;
  bool neg = false;
  if (*q == '+' || *q == '-') neg = *q++ == '-';
  if (!std::isdigit(static_cast<unsigned char>(*q))) return false;
  long long a = 0;
  while (std::isdigit(static_cast<unsigned char>(*q))) {
    if (a < NUMBER_CAP) a = a * 10 + (*q - '0');
    ++q;
  }
  if (a > NUMBER_CAP) a = NUMBER_CAP;
  v = neg ? -a : a;
  p = q;
  return true;
}

// Unsigned digits at p (at least one must be there).
long long read_digits(const char *&p) {
  long long a = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    if (a < NUMBER_CAP) a = a * 10 + (*p - '0');
    ++p;
  }
  return a > NUMBER_CAP ? NUMBER_CAP : a;
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
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
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

// "+" forward, "-" back, no sign back.
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

// "days d [hours [:minutes]]" or "hours [:minutes]"; p is at a digit.
Offset read_offset(const char *&p) {
  Offset o;
  long long a = read_digits(p);
  if (*p == 'd') {
    o.days = a;
    ++p;
    if (std::isdigit(static_cast<unsigned char>(*p))) o.hours = read_digits(p);
  } else {
    o.hours = a;
  }
  if (*p == ':' && std::isdigit(static_cast<unsigned char>(p[1]))) {
    ++p;
    o.minutes = read_digits(p);
  }
  return o;
}

bool stepping_mode(const Stepping &s) { return s.numfile == 0 || (s.numfile == 1 && s.num_hour != 0); }

}  // namespace

namespace file_detail {
void reset_stepping() { stepping() = Stepping{}; }
}  // namespace file_detail

// ---- fixed fields ------------------------------------------------------------------------

int FILE_set_time(const Date *date) {
  state().set = date ? *date : NameState{}.set;
  return 0;
}

const Date &FILE_get_set_time() { return state().set; }

int FILE_reset_time() {
  Date &set = state().set;
  set.year = set.month = set.day = set.hour = set.min = MISSING;
  return 0;
}

int FILE_get_date(Date *date) {
  if (date) *date = state().file_date;
  return 0;
}

// ---- current and latest file ---------------------------------------------------------------

std::int64_t FILE_set_current(const char *text, char *out) {
  NameState &st = state();
  const char *p = text ? text : "la";
  st.filename_type = 0;

  // Base time.
  std::int64_t t;
  if (*p == '#' && std::isdigit(static_cast<unsigned char>(p[1]))) {
    Date d{0, 0, 0, 0, 0, 0, 0, 0};
    p += 1 + read_digit_date(p + 1, d);
    t = DATE_num_sec(&d);
  } else {
    if (*p == '#') ++p;  // a "#" without a time: now
    t = now();
  }
  t = apply_fixed(t, st.set);

  int dir = read_direction(p);
  bool used = false;
  if (std::isdigit(static_cast<unsigned char>(*p))) {
    Offset o = read_offset(p);
    t += dir * o.seconds();
    MESS_print(DEBUG_ALL, "CUR1:%d %d %d %d\n", clamp32(o.days), clamp32(o.hours), clamp32(o.minutes), dir);
    MESS_print(DEBUG_ALL, "CUR1:%s %d\n", p, clamp32(t));
    used = true;
  }
  if (used) {
    dir = read_direction(p);
    used = false;
  }

  char name[FILE_NAME_SIZE];
  if (*p == 'l' || *p == 'L') {
    int count = DEFAULT_LATEST_COUNT;
    ++p;
    if (*p == 'a' || *p == 'A') ++p;
    if (*p == '#' && std::isdigit(static_cast<unsigned char>(p[1]))) {
      ++p;
      count = clamp32(read_digits(p));
    }
    if (count < 1) count = 1;  // the base time itself is always tried
    if (count > MAX_LATEST_COUNT) count = MAX_LATEST_COUNT;
    for (int k = 0; k < count; ++k) {
      Date b = breakdown(t);
      int kind = FILE_set_date(&b, name);
      MESS_print(DEBUG_ALL, "LATE:%d %d %d %d %d\n", b.year, b.month, b.day, b.hour, b.min);
      MESS_print(DEBUG_ALL, "LATE: %s\n", name);
      if (FILE_size(name) > st.min_size) break;
      // A name that does not change with the time is tried once.
      if (kind != 0 || st.late_off <= 0) break;
      t += static_cast<std::int64_t>(dir) * st.late_off;
    }
    MESS_print(DEBUG_ALL, "LATEST: %s %s %d\n", p, name, clamp32(t));
    used = true;
  }

  if (used) dir = read_direction(p);
  if (std::isdigit(static_cast<unsigned char>(*p))) {
    Offset o = read_offset(p);
    t += dir * o.seconds();
    MESS_print(DEBUG_ALL, "CUR2:%d %d %d %d\n", clamp32(o.days), clamp32(o.hours), clamp32(o.minutes), dir);
    MESS_print(DEBUG_ALL, "CUR2:%d\n", clamp32(t));
  }

  Date b = breakdown(t);
  MESS_print(DEBUG_ALL, "%d %d %d %d\n", b.year, b.day, b.hour, b.min);
  FILE_set_date(&b, out ? out : name);
  if (st.late_off <= 0) return t;  // no file period: the time is not rounded
  return st.late_off * (t / st.late_off);
}

int FILE_set_date_off(Date *date, int offset, char *out) {
  NameState &st = state();
  Date base = date ? *date : st.file_date;
  std::int64_t secs = DATE_num_sec(&base);
  if (date) *date = base;
  std::int64_t t = secs + offset;
  Date d = breakdown(t);
  MESS_print(DEBUG_ALL, "%d %d = %d %d %d %d\n", clamp32(secs), offset, d.year, d.month, d.day, d.hour);
  FILE_set_date(&d, out);
  return offset / FILE_get_offset();
}

int FILE_get_offset() {
  int late_off = state().late_off;
  return late_off > 0 ? late_off : NO_PERIOD_OFFSET;
}

// ---- span and step ------------------------------------------------------------------------------

int FILE_num_hour() {
  const char *text = RES_get("num_hour");
  if (!text) return stepping().def_hours;
  const char *p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
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
  if (!comma) return state().late_off;
  long long h = 0, m = 0;
  read_hours_minutes(comma + 1, h, m);
  return clamp32(h * SEC_HOUR + m * SEC_MIN);
}

// ---- stepping -----------------------------------------------------------------------------------

int FILE_first(const Date *date) {
  Stepping &s = stepping();
  RES_getvals("filename", s.files);
  s.numfile = static_cast<int>(s.files.size());
  if (s.numfile > 0 && (strnicmp(s.files[0].c_str(), "la", 2) == 0 || strnicmp(s.files[0].c_str(), "cu", 2) == 0))
    s.numfile = 0;
  s.file_ind = 0;
  s.first_date = date ? *date : state().file_date;

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
  Stepping &s = stepping();
  if (!stepping_mode(s)) {
    if (s.file_ind >= s.numfile) return 0;
    FILE_set_file(s.files[static_cast<size_t>(s.file_ind)].c_str(), out);
    ++s.file_ind;
    return 1;
  }
  if ((s.num_hour < 0 && s.nsecs > 0) || (s.num_hour >= 0 && s.nsecs > s.num_hour)) return 0;
  char name[FILE_NAME_SIZE];
  if (s.num_hour == 0) {
    copy_out(state().filename, name);
  } else {
    Date d = s.first_date;
    MESS_print(DEBUG_C, " in: ");
    DATE_print(DEBUG_C, &d);
    FILE_set_date_off(&d, clamp32(s.nsecs), name);
    MESS_print(DEBUG_C, "out: ");
    DATE_print(DEBUG_C, &state().file_date);
    MESS_print(DEBUG_C, "NEXT: %d %d %d %d %d %s\n", clamp32(s.nsecs), s.offset, s.skip, s.num_hour, s.file_ind,
               name);
  }
  copy_out(name, out);
  s.nsecs += s.offset;
  return 1;
}

int FILE_get_num_file() {
  const Stepping &s = stepping();
  return stepping_mode(s) ? s.num_hour : s.numfile - 1;
}

int FILE_count_files() {
  const Stepping &s = stepping();
  if (!stepping_mode(s)) return s.numfile > s.file_ind ? s.numfile - s.file_ind : 0;
  const long long end = s.num_hour < 0 ? 0 : s.num_hour;  // FILE_get_next's last step
  if (s.nsecs > end) return 0;
  if (s.offset <= 0) return 1;
  return clamp32((end - s.nsecs) / s.offset + 1);
}
