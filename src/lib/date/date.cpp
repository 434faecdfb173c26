// Calendar arithmetic, date labels and the time-zone setting of labels.

#include "date/date.h"
#include "date/date_testing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

#include "util/chars.h"
#include "util/number.h"

namespace {

constexpr const char *months[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr const char *months_lc[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
// Days before the start of each month; entry 12 is the length of the year.
constexpr int num_day[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int num_day_leap[13] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

constexpr std::int64_t kSecPerDay = 86400;
constexpr std::int64_t kSecPerYear = 31536000;  // 365 days
constexpr int kTzNameMax = 4;                   // characters of a zone name
constexpr std::size_t kTzStrMax = 6;            // characters of the label suffix
constexpr int kHourBufSize = 32;                // time part of a label

struct DateState {
  std::int32_t tz_off = 0;   // seconds added to UTC to get the displayed time
  std::int32_t tz_pm = 0;    // 0 24-hour clock; 1 12-hour; -1 12-hour and [UTC]
  std::string tz_str = "Z";  // suffix written after the time, at most kTzStrMax
};
DateState g_date;

const int *DayTable(int year) { return DATE_is_leap(year) ? num_day_leap : num_day; }

// Two-digit years: 0 to 49 are 2000 to 2049, 50 to 199 are 1950 to 2099.
std::int32_t ExpandYear(std::int32_t year) {
  if (year <= 49) year += 2000;
  if (year <= 199) year += 1900;
  return year;
}

// Gregorian leap days from 1970-01-01 up to 1 January of `year` (year >= 1970).
std::int64_t GregorianLeapDaysBefore(std::int64_t year) {
  const std::int64_t n = year - 1;
  return n / 4 - n / 100 + n / 400 - 477;  // 477 leap days before 1970
}

// Label field replacements: applied only to the fields a label shows.
int LabelYear(int year) { return (year < 0 ? 1980 : year) % 100; }
int LabelMonth(int month) { return (month < 1 || month > 12) ? 1 : month; }
int LabelDay(int day) { return (day < 0 || day > 31) ? 1 : day; }
int LabelHour(int hour) { return (hour < 0 || hour > 23) ? 0 : hour; }
int LabelMin(int min) { return (min < 0 || min > 59) ? 0 : min; }

// The time part of a label: the hour alone (with_min false) or hour and minute,
// on the 24- or 12-hour clock, the zone suffix, and the UTC time in brackets
// when the setting asks for it.
std::string TimePart(int h, int m, bool with_min, int utc_h, int utc_m) {
  const char *s = g_date.tz_str.c_str();
  char buf[kHourBufSize];
  if (g_date.tz_pm == 0) {
    if (with_min)
      std::snprintf(buf, sizeof buf, "%2.2d%2.2d%s", h, m, s);
    else
      std::snprintf(buf, sizeof buf, "%2.2d%s", h, s);
  } else {
    const char *half = h < 12 ? "AM" : "PM";
    int h12 = h % 12;
    if (h12 == 0) h12 = 12;
    if (with_min)
      std::snprintf(buf, sizeof buf, "%d:%2.2d %s%s", h12, m, half, s);
    else
      std::snprintf(buf, sizeof buf, "%d %s%s", h12, half, s);
  }
  std::string out = buf;
  if (g_date.tz_pm == -1) {
    if (with_min)
      std::snprintf(buf, sizeof buf, " [%2.2d%2.2dZ]", utc_h, utc_m);
    else
      std::snprintf(buf, sizeof buf, " [%2.2dZ]", utc_h);
    out += buf;
  }
  return out;
}

// One label form of DATE_decode_label: the fields its scan fills.
struct LabelScan {
  int hour = DATE_MISSING;
  int min = DATE_MISSING;
  int sec = DATE_MISSING;
  int day = DATE_MISSING;
  int year = DATE_MISSING;
  int month = DATE_MISSING;  // numeric month of the plain-number form
  char mon[4] = {};          // month name, "%3s"
};

// Tries the label forms in order; true when one of them filled every field.
// The scans read fields of at most two digits, which cannot overflow, and each
// checks the count of fields it filled: sscanf is safe on these labels.
bool ScanLabel(const char *text, LabelScan &r) {
  const std::size_t len = std::strlen(text);

  // "12Z 17 JAN 26" from the start.
  // NOLINTNEXTLINE(cert-err34-c): two-digit fields, count checked
  if (std::sscanf(text, "%2dZ %2d %3s %2d", &r.hour, &r.day, r.mon, &r.year) == 4) return true;
  r = LabelScan{};

  // "1230Z 17 JAN 26" at the end. A three-digit time (" 930Z") would scan as
  // 93:0, so a scan that starts on a blank reads the hour as one digit.
  if (len >= 15) {
    const char *p = text + len - 15;
    // NOLINTNEXTLINE(cert-err34-c): two-digit fields, count checked
    if (std::sscanf(p, "%2d%2dZ %2d %3s %2d", &r.hour, &r.min, &r.day, r.mon, &r.year) == 5) {
      int h = 0;
      int m = 0;
      // NOLINTNEXTLINE(cert-err34-c): two-digit fields, count checked
      if (*p == ' ' && std::sscanf(p, "%1d%2d", &h, &m) == 2) {
        r.hour = h;
        r.min = m;
      }
      return true;
    }
    r = LabelScan{};
  }

  // "12:30:45Z 17 JAN 26" at the end.
  if (len >= 19) {
    // NOLINTNEXTLINE(cert-err34-c): two-digit fields, count checked
    if (std::sscanf(text + len - 19, "%2d:%2d:%2dZ %2d %3s %2d", &r.hour, &r.min, &r.sec, &r.day,
                    r.mon, &r.year) == 6)
      return true;
    r = LabelScan{};
  }

  // "12Z 17 JAN 26" at the end, after some other text.
  if (len >= 13) {
    // NOLINTNEXTLINE(cert-err34-c): two-digit fields, count checked
    if (std::sscanf(text + len - 13, "%2dZ %2d %3s %2d", &r.hour, &r.day, r.mon, &r.year) == 4)
      return true;
    r = LabelScan{};
  }

  // Last resort, never written by DATE_make_label: "yy mm dd hh" as numbers.
  // NOLINTNEXTLINE(cert-err34-c): two-digit fields, count checked
  if (std::sscanf(text, "%2d %2d %2d %2d", &r.year, &r.month, &r.day, &r.hour) == 4) return true;
  r = LabelScan{};
  return false;
}

}  // namespace

int DATE_init(Date *date) {
  if (date == nullptr) return -1;
  *date = Date{DATE_MISSING, DATE_MISSING, DATE_MISSING, DATE_MISSING,
               DATE_MISSING, DATE_MISSING, DATE_MISSING, DATE_MISSING};
  return 0;
}

int DATE_print(M_type type, const Date *date) {
  if (date == nullptr) return -1;
  MESS_print(type, "%d/%d/%d %2.2d:%2.2d:%2.2d\n", date->year, date->month, date->day, date->hour,
             date->min, date->sec);
  return 0;
}

const char *DATE_month_lower(int month) {
  if (month < 1 || month > 12) return "";
  return months_lc[month - 1];
}

int DATE_is_leap(int year) {
  return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0;
}

// The record is normalised first, in this order: a negative year becomes 1980;
// two-digit years are expanded (0-49 -> 2000s, 50-199 -> 1950-2099); a month
// outside 1-12 becomes 1; a day below 0 or above 31 becomes 1 (day 0 stays and
// is the day before day 1; days past the month's end run into the next month);
// hour, minute and second out of range become 0.
//
// Leap days follow the every-fourth-year rule, which is the Gregorian rule for
// 1901 to 2099; from 2100 on the Gregorian rule is applied, so the seconds of
// later dates agree with the system's own UTC breakdown. All arithmetic is
// 64-bit, so no year of the record overflows.
std::int64_t DATE_num_sec(Date *date) {
  if (date == nullptr) return DATE_MISSING;
  Date &d = *date;
  if (d.year < 0) d.year = 1980;
  d.year = ExpandYear(d.year);
  if (d.month < 1 || d.month > 12) d.month = 1;
  if (d.day < 0 || d.day > 31) d.day = 1;
  if (d.hour < 0 || d.hour > 23) d.hour = 0;
  if (d.min < 0 || d.min > 59) d.min = 0;
  if (d.sec < 0 || d.sec > 59) d.sec = 0;

  const std::int64_t year = d.year;
  std::int64_t leap_days;
  if (year < 2100) {
    // Integer division truncates toward zero, also for years before 1900.
    leap_days = (year - 1900) / 4 - 17;
    if (d.month <= 2 && year % 4 == 0) --leap_days;
  } else {
    leap_days = GregorianLeapDaysBefore(year);
    if (d.month > 2 && DATE_is_leap(d.year)) ++leap_days;
  }
  return d.sec + 60 * std::int64_t{d.min} + 3600 * std::int64_t{d.hour} + kSecPerDay * (d.day - 1) +
         kSecPerDay * num_day[d.month - 1] + kSecPerDay * leap_days + kSecPerYear * (year - 1970);
}

std::int64_t DATE_get_time(std::int64_t *secs) {
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  if (secs != nullptr) *secs = now;
  return now;
}

int DATE_get_gmdate(const std::int64_t *secs, Date *date) {
  if (date == nullptr) return -1;
  const std::time_t t = secs != nullptr ? static_cast<std::time_t>(*secs) : std::time(nullptr);
  std::tm tm{};
  const bool ok = gmtime_r(&t, &tm) != nullptr;
  const std::int64_t year = std::int64_t{tm.tm_year} + 1900;
  if (!ok || year > std::numeric_limits<std::int32_t>::max()) {
    DATE_init(date);
    return -1;
  }
  date->year = static_cast<std::int32_t>(year);
  date->month = tm.tm_mon + 1;
  date->day = tm.tm_mday;
  date->jday = tm.tm_yday + 1;
  date->wday = tm.tm_wday;
  date->hour = tm.tm_hour;
  date->min = tm.tm_min;
  date->sec = tm.tm_sec;
  return 0;
}

char *DATE_get_current_str(char *buf) {
  if (buf == nullptr) return nullptr;
  Date now;
  if (DATE_get_gmdate(nullptr, &now) != 0) {
    buf[0] = '\0';
    return buf;
  }
  std::snprintf(buf, DATE_CURRENT_STR_SIZE, "%2.2d %s %2.2d  %2.2d:%2.2d:%2.2dZ", now.year % 100,
                months[now.month - 1], now.day, now.hour, now.min, now.sec);
  return buf;
}

// A day of year below 1 becomes 1, one past the end of the year becomes the
// last day. Day 60 of a leap year is 29 February.
int DATE_julian_monday(int year, int jday, int *month, int *day) {
  const int *table = DayTable(year);
  if (jday < 1) jday = 1;
  if (jday > table[12]) jday = table[12];
  int m = 1;
  while (m < 12 && table[m] < jday) ++m;
  if (month != nullptr) *month = m;
  if (day != nullptr) *day = jday - table[m - 1];
  return 0;
}

// The day is added as given, so day 0 is the last day of the month before and
// days past the month's end run on into the next month.
int DATE_monday_julian(int year, int month, int day, int *jday) {
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  if (jday != nullptr) *jday = DayTable(year)[month - 1] + day;
  return 0;
}

// "[sign]name:hours". The name (up to four characters before the colon) becomes
// the label suffix after a blank; a text with no name brings back the UTC
// suffix "Z" and no offset. The offset is 3600 x hours truncated toward zero
// (-5.5 gives -19800); without readable hours, or with hours too large for an
// offset, it is 0.
int DATE_set_TZ(const char *str) {
  if (str == nullptr) return 0;
  const char *p = str;
  if (*p == '-') {
    g_date.tz_pm = -1;
    ++p;
  } else if (*p == '+') {
    g_date.tz_pm = 1;
    ++p;
  }
  // The name: up to kTzNameMax characters before a colon; then, after the colon,
  // the hours (a number, read as a float).
  const std::size_t name_len = std::min(std::strcspn(p, ":"), static_cast<std::size_t>(kTzNameMax));
  char name[kTzNameMax + 1] = {};
  std::memcpy(name, p, name_len);
  float hours = 0.0f;
  int got = name_len > 0 ? 1 : 0;
  if (got == 1 && p[name_len] == ':') {
    const char *h = p + name_len + 1;
    while (zyp::is_space(*h)) ++h;
    double value = 0;
    if (zyp::read_double_prefix(h, value) != 0) {
      got = 2;
      // A number beyond a float's range gives no offset, as an infinite one would.
      hours = std::fabs(value) <= std::numeric_limits<float>::max()
                  ? static_cast<float>(value)
                  : std::numeric_limits<float>::infinity();
    }
  }
  if (got < 1) {
    // assign(1, 'Z') rather than = "Z": g++ 12 warns about the latter here
    // (-Wrestrict, a false positive of its string inlining).
    g_date.tz_str.assign(1, 'Z');
    g_date.tz_off = 0;
    return 0;
  }
  g_date.tz_str.assign(1, ' ');
  g_date.tz_str.append(name);
  g_date.tz_str.resize(std::min(g_date.tz_str.size(), kTzStrMax));

  g_date.tz_off = 0;
  if (got == 2 && std::isfinite(hours)) {
    const double off = std::trunc(3600.0 * static_cast<double>(hours));
    if (std::fabs(off) <= std::numeric_limits<std::int32_t>::max())
      g_date.tz_off = static_cast<std::int32_t>(off);
  }
  return 0;
}

// Rows, chosen on the displayed record D:
//   month missing   "26"
//   day missing     "JAN 26"
//   hour missing    "17 JAN 26"
//   minute missing  "12Z 17 JAN 26"
//   otherwise       "1230Z 17 JAN 26"
// With an offset set, the record's seconds are computed (normalising the
// caller's record) and D is their breakdown plus the offset, so every field is
// set and the full label is shown.
int DATE_make_label(Date *date, char *label) {
  if (label == nullptr || date == nullptr) return -1;
  Date d = *date;
  Date u = d;
  if (g_date.tz_off != 0) {
    const std::int64_t secs = DATE_num_sec(date);
    const std::int64_t local = secs + g_date.tz_off;
    DATE_get_gmdate(&secs, &u);
    DATE_get_gmdate(&local, &d);
  }

  const int yy = LabelYear(d.year);
  if (d.month == DATE_MISSING) {
    std::snprintf(label, DATE_LABEL_SIZE, "%2.2d", yy);
    return 0;
  }
  const char *mon = months[LabelMonth(d.month) - 1];
  if (d.day == DATE_MISSING) {
    std::snprintf(label, DATE_LABEL_SIZE, "%3s %2.2d", mon, yy);
    return 0;
  }
  const int day = LabelDay(d.day);
  if (d.hour == DATE_MISSING) {
    std::snprintf(label, DATE_LABEL_SIZE, "%2d %3s %2.2d", day, mon, yy);
    return 0;
  }
  const int hour = LabelHour(d.hour);
  const bool with_min = d.min != DATE_MISSING;
  const int min = with_min ? LabelMin(d.min) : 0;
  // Without an offset the UTC time in brackets is the displayed time itself.
  const int utc_h = g_date.tz_off != 0 ? LabelHour(u.hour) : hour;
  const int utc_m = g_date.tz_off != 0 ? LabelMin(u.min) : min;
  const std::string t = TimePart(hour, min, with_min, utc_h, utc_m);
  std::snprintf(label, DATE_LABEL_SIZE, "%s %2d %3s %2.2d", t.c_str(), day, mon, yy);
  return 0;
}

// Label forms, the first whose scan fills every field wins (n counts from the
// end of the text; such a form needs at least n characters):
//   1  start      "%2dZ %2d %3s %2d"          12Z 17 JAN 26
//   2  end - 15   "%2d%2dZ %2d %3s %2d"       1230Z 17 JAN 26 (or " 930Z ...")
//   3  end - 19   "%2d:%2d:%2dZ %2d %3s %2d"  12:30:45Z 17 JAN 26
//   4  end - 13   "%2dZ %2d %3s %2d"          ... 12Z 17 JAN 26
//   5  start      "%2d %2d %2d %2d"           year, month, day and hour as numbers
// Two-digit years are expanded as in DATE_num_sec. The month is the month
// name's number (0 when no name was read), or the number of form 5.
int DATE_decode_label(const char *label, Date *date) {
  if (date == nullptr) return 0;
  DATE_init(date);
  LabelScan r;
  if (label != nullptr) ScanLabel(label, r);
  date->year = r.year == DATE_MISSING ? DATE_MISSING : ExpandYear(r.year);
  date->month = r.month != DATE_MISSING ? r.month : DATE_decode_month(r.mon);
  date->day = r.day;
  date->hour = r.hour;
  date->min = r.min;
  date->sec = r.sec;
  return 0;
}

// The first letter alone decides F, S, O, N and D; "JA" is January; the first
// and third letters decide the rest. Letters compared together must have the
// same case: "JUN" and "jun" are June, "Jun" is not.
int DATE_decode_month(const char *str) {
  if (str == nullptr || str[0] == '\0') return 0;
  switch (str[0]) {
    // clang-format off
    case 'F': case 'f': return 2;
    case 'S': case 's': return 9;
    case 'O': case 'o': return 10;
    case 'N': case 'n': return 11;
    case 'D': case 'd': return 12;
    default: break;
  }
  // clang-format on
  auto pair = [](char a, char b, char upper_a, char upper_b) {
    return (a == upper_a && b == upper_b) || (a == upper_a - 'A' + 'a' && b == upper_b - 'A' + 'a');
  };
  const char c0 = str[0];
  const char c1 = str[1];
  if (pair(c0, c1, 'J', 'A')) return 1;
  if (c1 == '\0') return 0;
  const char c2 = str[2];
  struct Rule {
    char first;
    char third;
    int month;
  };
  static constexpr Rule kRules[] = {
      {'J', 'N', 6}, {'J', 'L', 7}, {'M', 'R', 3},  // JUN JUL MAR
      {'M', 'Y', 5}, {'A', 'R', 4}, {'A', 'G', 8},  // MAY APR AUG
  };
  for (const Rule &rule : kRules)
    if (pair(c0, c2, rule.first, rule.third)) return rule.month;
  return 0;
}

void DATE_reset_state() { g_date = DateState{}; }
