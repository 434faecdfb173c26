// Dates and times: the calendar record shared by the whole system, seconds since
// 1 January 1970 UTC, day of year <-> month and day, and the short date labels
// ("1230Z 17 JAN 26") shown to the user and stored in file headers.
//
// All dates are UTC. The only state is the process-wide time-zone setting
// (offset, 12-hour clock, suffix), which changes only how labels are printed;
// it starts as UTC with the suffix "Z" and changes only through DATE_set_TZ.
//
// Nothing here reports an error: out-of-range fields are replaced by fixed
// values, and functions return 0 unless their line says otherwise.
#pragma once

#include <cstdint>

#include "messages/messages.h"

/// The calendar record. Any field may hold the missing value DATE_MISSING.
struct Date {
  std::int32_t year;   // four digits, e.g. 2026
  std::int32_t month;  // 1 to 12
  std::int32_t day;    // 1 to 31
  std::int32_t jday;   // day of the year, 1 to 366
  std::int32_t wday;   // day of the week, Sunday = 0
  std::int32_t hour;   // 0 to 23
  std::int32_t min;    // 0 to 59
  std::int32_t sec;    // 0 to 59
};

/// The missing value of a field.
constexpr std::int32_t DATE_MISSING = -9999;
/// Buffer size for DATE_make_label; the longest label is well under it.
constexpr int DATE_LABEL_SIZE = 40;
/// Buffer size for DATE_get_current_str: "26 DEC 07  08:51:59Z" and the terminator.
constexpr int DATE_CURRENT_STR_SIZE = 21;

/// Sets all eight fields to DATE_MISSING. Returns -1 for a null record.
int DATE_init(Date *date);
/// Prints "year/month/day hh:mm:ss" with MESS_print class `type`. Returns -1 for a
/// null record (nothing printed).
int DATE_print(M_type type, const Date *date);
/// "jan" to "dec" for months 1 to 12; "" for any other number.
const char *DATE_month_lower(int month);
/// 1 for a Gregorian leap year, else 0.
int DATE_is_leap(int year);
/// Normalises the record in place (two-digit years, out-of-range fields) and returns
/// its seconds since 1970-01-01 00:00:00 UTC; jday and wday are not read.
/// Returns DATE_MISSING for a null record.
std::int64_t DATE_num_sec(Date *date);
/// Reads the system clock into *secs (when not null) and returns it.
std::int64_t DATE_get_time(std::int64_t *secs);
/// Fills all eight fields from the UTC breakdown of *secs, or of the current time
/// when `secs` is null. Returns -1, with the record all missing, when the seconds
/// cannot be broken down (or the record is null).
int DATE_get_gmdate(const std::int64_t *secs, Date *date);
/// Writes the current UTC time as "26 DEC 07  08:51:59Z" into `buf`, which holds at
/// least DATE_CURRENT_STR_SIZE (21) bytes. Returns `buf` (null for a null buffer).
char *DATE_get_current_str(char *buf);
/// Day of year to month and day; the day of year is first brought into the year.
int DATE_julian_monday(int year, int jday, int *month, int *day);
/// Month and day to day of year; the month is first brought into 1 to 12.
int DATE_monday_julian(int year, int month, int day, int *jday);
/// Sets the time zone of labels from "[sign]name:hours" ("-EST:-5", "+CST:-6",
/// "UTC:0"): '-' 12-hour clock with the UTC time in brackets, '+' 12-hour clock,
/// no sign keeps the clock. Without readable hours the offset is 0. A null text
/// changes nothing.
int DATE_set_TZ(const char *str);
/// Writes the label of the record into `label` (at least DATE_LABEL_SIZE bytes),
/// showing as much of the date as is present. With a time-zone offset set, the
/// record is normalised in place (DATE_num_sec). Returns -1 for a null buffer or
/// record, writing nothing.
int DATE_make_label(Date *date, char *label);
/// Reads a date label into the record, which is first set all missing. Always
/// returns 0; a text that fits no label form leaves only the month set, to 0.
int DATE_decode_label(const char *label, Date *date);
/// Month number 1 to 12 from a month name ("JUN", "jun"); 0 when not recognised.
int DATE_decode_month(const char *str);
