#include "date/date.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <ctime>
#include <regex>
#include <string>

#include "date/date_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"

namespace {

constexpr int M = DATE_MISSING;

Date MakeDate(int year, int month, int day, int hour = M, int min = M, int sec = M) {
  return Date{year, month, day, M, M, hour, min, sec};
}

// Seconds of a date from the C library, as an independent reference.
std::int64_t RefSeconds(int year, int month, int day, int hour = 0, int min = 0, int sec = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = min;
  tm.tm_sec = sec;
  return static_cast<std::int64_t>(timegm(&tm));
}

std::string Label(Date d) {
  char buf[DATE_LABEL_SIZE];
  EXPECT_EQ(DATE_make_label(&d, buf), 0);
  return buf;
}

std::string DateText(const Date &d) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%d/%d/%d j%d w%d %d:%d:%d", d.year, d.month, d.day, d.jday,
                d.wday, d.hour, d.min, d.sec);
  return buf;
}

class DateTest : public ::testing::Test {
 protected:
  void SetUp() override { DATE_reset_state(); }
  void TearDown() override { DATE_reset_state(); }
};

// Purpose: seconds of fixed dates, and the normalisation of the record in place.
TEST_F(DateTest, NumSecNormalisesAndCounts) {
  struct Case {
    Date in;
    std::int64_t secs;
    Date out;  // the record after normalisation (jday/wday untouched)
  };
  const Case cases[] = {
      {MakeDate(2026, 1, 1, 0, 0, 0), 1767225600, MakeDate(2026, 1, 1, 0, 0, 0)},
      {MakeDate(2026, 3, 1, 12, 30, 0), 1772368200, MakeDate(2026, 3, 1, 12, 30, 0)},
      // missing year is 1980
      {MakeDate(M, 1, 1, 0, 0, 0), 315532800, MakeDate(1980, 1, 1, 0, 0, 0)},
      // two-digit and three-digit years
      {MakeDate(26, 1, 1, 0, 0, 0), 1767225600, MakeDate(2026, 1, 1, 0, 0, 0)},
      {MakeDate(0, 1, 1, 0, 0, 0), 946684800, MakeDate(2000, 1, 1, 0, 0, 0)},
      {MakeDate(49, 1, 1, 0, 0, 0), RefSeconds(2049, 1, 1), MakeDate(2049, 1, 1, 0, 0, 0)},
      {MakeDate(50, 1, 1, 0, 0, 0), RefSeconds(1950, 1, 1), MakeDate(1950, 1, 1, 0, 0, 0)},
      {MakeDate(99, 1, 1, 0, 0, 0), 915148800, MakeDate(1999, 1, 1, 0, 0, 0)},
      {MakeDate(150, 1, 1, 0, 0, 0), RefSeconds(2050, 1, 1), MakeDate(2050, 1, 1, 0, 0, 0)},
      {MakeDate(199, 1, 1, 0, 0, 0), RefSeconds(2099, 1, 1), MakeDate(2099, 1, 1, 0, 0, 0)},
      // day 0 is the day before day 1
      {MakeDate(2026, 3, 0, 0, 0, 0), RefSeconds(2026, 2, 28), MakeDate(2026, 3, 0, 0, 0, 0)},
      {MakeDate(2024, 3, 0, 0, 0, 0), RefSeconds(2024, 2, 29), MakeDate(2024, 3, 0, 0, 0, 0)},
      // a day past the end of the month runs into the next month
      {MakeDate(2026, 2, 31, 0, 0, 0), RefSeconds(2026, 3, 3), MakeDate(2026, 2, 31, 0, 0, 0)},
      // out-of-range fields
      {MakeDate(2026, 13, 32, 24, 60, 60), 1767225600, MakeDate(2026, 1, 1, 0, 0, 0)},
      {MakeDate(2026, 0, -1, -1, -1, -1), 1767225600, MakeDate(2026, 1, 1, 0, 0, 0)},
      {MakeDate(M, M, M, M, M, M), 315532800, MakeDate(1980, 1, 1, 0, 0, 0)},
      {MakeDate(2026, 12, 31, 23, 59, 59), RefSeconds(2026, 12, 31, 23, 59, 59),
       MakeDate(2026, 12, 31, 23, 59, 59)},  // last second of a year
      // past the 32-bit range of seconds
      {MakeDate(2038, 1, 19, 3, 14, 8), 2147483648LL, MakeDate(2038, 1, 19, 3, 14, 8)},
      {MakeDate(1902, 1, 1, 0, 0, 0), RefSeconds(1902, 1, 1), MakeDate(1902, 1, 1, 0, 0, 0)},
      // 2100 is no leap year
      {MakeDate(2100, 3, 1, 0, 0, 0), RefSeconds(2100, 3, 1), MakeDate(2100, 3, 1, 0, 0, 0)},
      {MakeDate(2400, 2, 29, 0, 0, 0), RefSeconds(2400, 2, 29), MakeDate(2400, 2, 29, 0, 0, 0)},
  };
  for (const Case &c : cases) {
    Date d = c.in;
    SCOPED_TRACE(DateText(c.in));
    d.jday = 77;  // not read, not changed
    d.wday = 5;
    EXPECT_EQ(DATE_num_sec(&d), c.secs);
    Date want = c.out;
    want.jday = 77;
    want.wday = 5;
    EXPECT_EQ(DateText(d), DateText(want));
  }
}

// Purpose: the leap-day count agrees with the C library over the years in use
// and beyond the century boundaries.
TEST_F(DateTest, NumSecAgreesWithLibrary) {
  for (int year = 1902; year <= 2500; ++year) {
    for (int month = 1; month <= 12; ++month) {
      const int days = DATE_is_leap(year) && month == 2 ? 29 : (month == 2 ? 28 : 31);
      for (int day : {1, 15, days}) {
        if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) day = 30;
        Date d = MakeDate(year, month, day, 13, 7, 42);
        ASSERT_EQ(DATE_num_sec(&d), RefSeconds(year, month, day, 13, 7, 42))
            << year << "-" << month << "-" << day;
      }
    }
  }
}

// Purpose: extreme years do not overflow (checked under the sanitizers).
TEST_F(DateTest, NumSecExtremeYear) {
  Date d = MakeDate(INT_MAX, 12, 31, 23, 59, 59);
  EXPECT_GT(DATE_num_sec(&d), 0);
  EXPECT_EQ(DATE_num_sec(nullptr), DATE_MISSING);
}

// Purpose: the Gregorian leap-year rule.
TEST_F(DateTest, IsLeap) {
  struct Case {
    int year;
    int leap;
  };
  const Case cases[] = {
      {1900, 0},  // century
      {2000, 1},  // 400th year
      {2024, 1},  // fourth year
      {2026, 0},  // common year
      {2100, 0},  // century
      {0, 1},     // divisible by 400
  };
  for (const Case &c : cases) EXPECT_EQ(DATE_is_leap(c.year), c.leap) << c.year;
}

// Purpose: day of year to month and day, including the clamping of the day.
TEST_F(DateTest, JulianMonday) {
  struct Case {
    int year, jday, month, day;
  };
  const Case cases[] = {
      {2024, 60, 2, 29},    // leap day
      {2026, 60, 3, 1},     // no leap day
      {2026, 59, 2, 28},    // end of February
      {2026, 365, 12, 31},  // last day
      {2026, 0, 1, 1},      // below 1
      {2026, -50, 1, 1},    // below 1
      {2026, 400, 12, 31},  // past the end of a common year
      {2026, 366, 12, 31},  // past the end of a common year
      {2024, 366, 12, 31},  // last day of a leap year
      {2024, 400, 12, 31},  // past the end of a leap year
      {2026, 31, 1, 31},    // month boundary
      {2026, 32, 2, 1},     // month boundary
  };
  for (const Case &c : cases) {
    int month = 0;
    int day = 0;
    EXPECT_EQ(DATE_julian_monday(c.year, c.jday, &month, &day), 0);
    EXPECT_EQ(month, c.month) << c.year << " " << c.jday;
    EXPECT_EQ(day, c.day) << c.year << " " << c.jday;
  }
}

// Purpose: month and day to day of year; the day is taken as given.
TEST_F(DateTest, MondayJulian) {
  struct Case {
    int year, month, day, jday;
  };
  const Case cases[] = {
      {2024, 3, 1, 61},    // after a leap day
      {2026, 3, 1, 60},    // common year
      {2026, 3, 0, 59},    // day 0
      {2026, 0, 5, 5},     // month below 1 is January
      {2026, -3, 5, 5},    // month below 1 is January
      {2026, 13, 1, 335},  // month above 12 is December
      {2026, 1, 40, 40},   // day not checked
  };
  for (const Case &c : cases) {
    int jday = 0;
    EXPECT_EQ(DATE_monday_julian(c.year, c.month, c.day, &jday), 0);
    EXPECT_EQ(jday, c.jday) << c.year << " " << c.month << " " << c.day;
  }
}

// Purpose: the two day-of-year conversions are inverse over whole years.
TEST_F(DateTest, DayOfYearRoundTrip) {
  for (int year : {2024, 2026}) {
    const int last = DATE_is_leap(year) ? 366 : 365;
    for (int jday = 1; jday <= last; ++jday) {
      int month = 0;
      int day = 0;
      int back = 0;
      DATE_julian_monday(year, jday, &month, &day);
      DATE_monday_julian(year, month, day, &back);
      ASSERT_EQ(back, jday) << year;
    }
  }
}

// Purpose: lower-case month names and the empty text outside 1 to 12.
TEST_F(DateTest, MonthLower) {
  EXPECT_STREQ(DATE_month_lower(1), "jan");
  EXPECT_STREQ(DATE_month_lower(7), "jul");
  EXPECT_STREQ(DATE_month_lower(12), "dec");
  EXPECT_STREQ(DATE_month_lower(0), "");
  EXPECT_STREQ(DATE_month_lower(13), "");
  EXPECT_STREQ(DATE_month_lower(M), "");
}

TEST_F(DateTest, InitSetsAllMissing) {
  Date d = MakeDate(2026, 1, 2, 3, 4, 5);
  EXPECT_EQ(DATE_init(&d), 0);
  EXPECT_EQ(DateText(d), DateText(MakeDate(M, M, M, M, M, M)));
  EXPECT_EQ(DATE_init(nullptr), -1);
}

// Purpose: the UTC breakdown fills all eight fields.
TEST_F(DateTest, GetGmdate) {
  struct Case {
    std::int64_t secs;
    Date want;
  };
  const Case cases[] = {
      {1767225600, Date{2026, 1, 1, 1, 4, 0, 0, 0}},       // a Thursday
      {1796633519, Date{2026, 12, 7, 341, 1, 8, 51, 59}},  // a Monday
      {1709164800, Date{2024, 2, 29, 60, 4, 0, 0, 0}},     // leap day
      {0, Date{1970, 1, 1, 1, 4, 0, 0, 0}},                // the epoch
      {2147483648LL, Date{2038, 1, 19, 19, 2, 3, 14, 8}},  // past 32 bits
  };
  for (const Case &c : cases) {
    Date d;
    DATE_init(&d);
    EXPECT_EQ(DATE_get_gmdate(&c.secs, &d), 0);
    EXPECT_EQ(DateText(d), DateText(c.want)) << c.secs;
  }
  // Seconds and breakdown agree.
  Date d = MakeDate(2026, 12, 7, 8, 51, 59);
  EXPECT_EQ(DATE_num_sec(&d), 1796633519);
}

TEST_F(DateTest, GetGmdateCurrentAndImpossible) {
  Date d;
  std::int64_t now = 0;
  const std::int64_t got = DATE_get_time(&now);
  EXPECT_EQ(got, now);
  EXPECT_GE(DATE_get_time(nullptr), now);
  EXPECT_EQ(DATE_get_gmdate(nullptr, &d), 0);
  EXPECT_GE(d.year, 2024);
  EXPECT_GE(d.jday, 1);

  const std::int64_t huge = INT64_MAX;
  EXPECT_EQ(DATE_get_gmdate(&huge, &d), -1);
  EXPECT_EQ(DateText(d), DateText(MakeDate(M, M, M, M, M, M)));
}

// Purpose: the shape of the current-time text used to stamp log lines.
TEST_F(DateTest, CurrentStr) {
  char buf[DATE_CURRENT_STR_SIZE];
  EXPECT_EQ(DATE_get_current_str(buf), buf);
  EXPECT_TRUE(std::regex_match(
      buf, std::regex("[0-9]{2} (JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC) [0-9]{2}  "
                      "[0-9]{2}:[0-9]{2}:[0-9]{2}Z")))
      << buf;
  EXPECT_EQ(DATE_get_current_str(nullptr), nullptr);
}

TEST_F(DateTest, Print) {
  MESS_reset_state();
  Date d = MakeDate(2026, 1, 7, 8, 5, 9);
  testing::internal::CaptureStdout();
  EXPECT_EQ(DATE_print(M_PRINT, &d), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "2026/1/7 08:05:09\n");
  EXPECT_EQ(DATE_print(M_PRINT, nullptr), -1);
}

// Purpose: label rows chosen by the missing fields, with the UTC clock.
TEST_F(DateTest, MakeLabelRows) {
  struct Case {
    Date in;
    const char *label;
  };
  const Case cases[] = {
      {MakeDate(2026, M, M), "26"},                        // row 1
      {MakeDate(2026, 1, M), "JAN 26"},                    // row 2
      {MakeDate(2026, 1, 17), "17 JAN 26"},                // row 3
      {MakeDate(2026, 1, 17, 12), "12Z 17 JAN 26"},        // row 4
      {MakeDate(2026, 1, 17, 12, 30), "1230Z 17 JAN 26"},  // row 5
      {MakeDate(2026, 1, 7, 9, 5), "0905Z  7 JAN 26"},     // day padded with a blank
      {MakeDate(2026, 1, 7, 0), "00Z  7 JAN 26"},          // midnight
      {MakeDate(26, 12, 31, 23, 59), "2359Z 31 DEC 26"},   // two-digit year
      {MakeDate(1999, 6, 1), " 1 JUN 99"},                 // year modulo 100
      {MakeDate(2000, 6, M), "JUN 00"},                    // year modulo 100
      {MakeDate(M, M, M), "80"},                           // no year
      {MakeDate(-5, 3, M), "MAR 80"},                      // negative year
      {MakeDate(2026, 13, M), "JAN 26"},                   // month out of range
      {MakeDate(2026, 0, 40), " 1 JAN 26"},                // month and day out of range
      {MakeDate(2026, 5, 0), " 0 MAY 26"},                 // day 0 is shown as it is
      {MakeDate(2026, 5, 2, 24, 60), "0000Z  2 MAY 26"},   // hour, minute out of range
      {MakeDate(2026, 5, 2, -3), "00Z  2 MAY 26"},         // hour out of range
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Label(c.in), c.label);
  }
}

TEST_F(DateTest, MakeLabelNullBuffer) {
  Date d = MakeDate(26, 1, 17, 12, 30);
  DATE_set_TZ("-EST:-5");
  EXPECT_EQ(DATE_make_label(&d, nullptr), -1);
  EXPECT_EQ(d.year, 26);  // nothing done
  char buf[DATE_LABEL_SIZE];
  EXPECT_EQ(DATE_make_label(nullptr, buf), -1);
}

// Purpose: labels under time-zone settings: offsets, both 12-hour clocks and
// the UTC time in brackets.
TEST_F(DateTest, MakeLabelTimeZones) {
  struct Case {
    const char *tz;
    Date in;
    const char *label;
  };
  const Case cases[] = {
      {"-EST:-5", MakeDate(2026, 1, 17, 17, 30), "12:30 PM EST [1730Z] 17 JAN 26"},
      {"+CST:-6", MakeDate(2026, 1, 17, 17, 30), "11:30 AM CST 17 JAN 26"},
      {"UTC:0", MakeDate(2026, 1, 17, 17, 30), "1730 UTC 17 JAN 26"},             // no shift
      {"UTC:0", MakeDate(2026, 1, 17, 17), "17 UTC 17 JAN 26"},                   // row 4 kept
      {"UTC:0", MakeDate(2026, M, M), "26"},                                      // row 1 kept
      {"IST:5.5", MakeDate(2026, 1, 17, 12, 0), "1730 IST 17 JAN 26"},            // half hour
      {"X:-5.5", MakeDate(2026, 1, 17, 12, 0), "0630 X 17 JAN 26"},               // half hour west
      {"-EST:-5", MakeDate(2026, 1, 1, 3, 0), "10:00 PM EST [0300Z] 31 DEC 25"},  // year back
      {"+JST:9", MakeDate(2026, 12, 31, 20, 5), "5:05 AM JST  1 JAN 27"},         // year on
      {"+CET:1", MakeDate(2024, 2, 28, 23, 0), "12:00 AM CET 29 FEB 24"},         // leap day
      // With an offset every field is filled in, so the full label is shown.
      {"-EST:-5", MakeDate(2026, M, M), "7:00 PM EST [0000Z] 31 DEC 25"},
      {"-EST:-5", MakeDate(2026, 1, 17, 17), "12:00 PM EST [1700Z] 17 JAN 26"},
      // 12-hour clock without offset, both rows, around noon and midnight.
      {"+UTC:0", MakeDate(2026, 1, 17, 0), "12 AM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 1), "1 AM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 11), "11 AM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 12), "12 PM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 13), "1 PM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 23), "11 PM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 0, 5), "12:05 AM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 9, 5), "9:05 AM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 12, 5), "12:05 PM UTC 17 JAN 26"},
      {"+UTC:0", MakeDate(2026, 1, 17, 23, 59), "11:59 PM UTC 17 JAN 26"},
      // brackets from the displayed time itself when there is no offset
      {"-UTC:0", MakeDate(2026, 1, 17, 17), "5 PM UTC [17Z] 17 JAN 26"},
      {"-UTC:0", MakeDate(2026, 1, 17, 0, 7), "12:07 AM UTC [0007Z] 17 JAN 26"},
      {"-UTC:0", MakeDate(2026, 1, 17, 25, 70), "12:00 AM UTC [0000Z] 17 JAN 26"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.tz) + " -> " + c.label);
    DATE_reset_state();
    DATE_set_TZ(c.tz);
    EXPECT_EQ(Label(c.in), c.label);
  }
}

// Purpose: with an offset the caller's record is normalised in place.
TEST_F(DateTest, MakeLabelWithOffsetNormalisesRecord) {
  DATE_set_TZ("EST:-5");
  Date d = MakeDate(26, 1, 17, 17, M);
  char buf[DATE_LABEL_SIZE];
  DATE_make_label(&d, buf);
  EXPECT_STREQ(buf, "1200 EST 17 JAN 26");
  EXPECT_EQ(DateText(d), DateText(MakeDate(2026, 1, 17, 17, 0, 0)));

  DATE_reset_state();
  Date e = MakeDate(26, 1, 17, 17, M);
  DATE_make_label(&e, buf);
  EXPECT_EQ(DateText(e), DateText(MakeDate(26, 1, 17, 17, M, M)));  // untouched without offset
}

// Purpose: reading of the time-zone text, seen through the labels it gives.
TEST_F(DateTest, SetTzText) {
  struct Case {
    const char *tz;
    const char *label;  // of 17 January 2026 12:00 UTC
  };
  const Case cases[] = {
      {"ABCDE:5", "1200 ABCD 17 JAN 26"},              // name cut to four, colon not reached
      {"EST", "1200 EST 17 JAN 26"},                   // no hours: no offset
      {"EST:", "1200 EST 17 JAN 26"},                  // no hours: no offset
      {"EST:x", "1200 EST 17 JAN 26"},                 // no hours: no offset
      {"", "1200Z 17 JAN 26"},                         // no name: back to UTC
      {":-5", "1200Z 17 JAN 26"},                      // no name: back to UTC
      {"X:inf", "1200 X 17 JAN 26"},                   // not a usable offset
      {"X:nan", "1200 X 17 JAN 26"},                   // not a usable offset
      {"X:1e9", "1200 X 17 JAN 26"},                   // too large for an offset
      {"X:0.0001", "1200 X 17 JAN 26"},                // truncated to 0 seconds
      {"X:1", "1300 X 17 JAN 26"},                     // whole hour
      {"X: -2", "1000 X 17 JAN 26"},                   // blank before the number
      {"X:+2.75", "1445 X 17 JAN 26"},                 // signed fraction
      {"X:1e39", "1200 X 17 JAN 26"},                  // beyond a float: no offset
      {"X:-1e400", "1200 X 17 JAN 26"},                // beyond any number: no offset
      {"X:99999999999999999999", "1200 X 17 JAN 26"},  // too large for an offset
      {"X:2.5h", "1430 X 17 JAN 26"},                  // the number before other text
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.tz);
    DATE_reset_state();
    DATE_set_TZ(c.tz);
    EXPECT_EQ(Label(MakeDate(2026, 1, 17, 12, 0)), c.label);
  }
}

// Purpose: the clock setting persists when a later text has no sign.
TEST_F(DateTest, SetTzSignPersists) {
  DATE_set_TZ("-EST:-5");
  DATE_set_TZ("PST:-8");
  EXPECT_EQ(Label(MakeDate(2026, 1, 17, 17, 30)), "9:30 AM PST [1730Z] 17 JAN 26");
  DATE_set_TZ("+PST:-8");
  EXPECT_EQ(Label(MakeDate(2026, 1, 17, 17, 30)), "9:30 AM PST 17 JAN 26");
  EXPECT_EQ(DATE_set_TZ(nullptr), 0);  // nothing changes
  EXPECT_EQ(Label(MakeDate(2026, 1, 17, 17, 30)), "9:30 AM PST 17 JAN 26");
  DATE_reset_state();
  EXPECT_EQ(Label(MakeDate(2026, 1, 17, 17, 30)), "1730Z 17 JAN 26");
}

// Purpose: the label forms the reader accepts, and what it leaves missing.
TEST_F(DateTest, DecodeLabel) {
  struct Case {
    const char *text;
    Date want;  // jday and wday always missing
  };
  const Case cases[] = {
      {"1230Z 17 JAN 26", MakeDate(2026, 1, 17, 12, 30, M)},            // form 2, row 5
      {"12Z 07 JAN 26", MakeDate(2026, 1, 7, 12, M, M)},                // form 1
      {"12Z  7 JAN 26", MakeDate(2026, 1, 7, 12, M, M)},                // row 4 of day 7
      {"0905Z  7 JAN 26", MakeDate(2026, 1, 7, 9, 5, M)},               // row 5 of day 7
      {" 930Z 17 JAN 26", MakeDate(2026, 1, 17, 9, 30, M)},             // three-digit time
      {"DATE: 930Z 17 JAN 26", MakeDate(2026, 1, 17, 9, 30, M)},        // three-digit, after text
      {"12:30:45Z 17 JAN 26", MakeDate(2026, 1, 17, 12, 30, 45)},       // form 3
      {"at 1230Z 17 JAN 26", MakeDate(2026, 1, 17, 12, 30, M)},         // form 2 after text
      {"time 12:30:45Z 17 JAN 26", MakeDate(2026, 1, 17, 12, 30, 45)},  // form 3 after text
      {"DATE 12Z 17 JAN 26", MakeDate(2026, 1, 17, 12, M, M)},          // form 4
      {"1230Z 17 JAN 50", MakeDate(1950, 1, 17, 12, 30, M)},            // year 50 is 1950
      {"1230Z 17 JAN 49", MakeDate(2049, 1, 17, 12, 30, M)},            // year 49 is 2049
      {"1230Z 17 jan 26", MakeDate(2026, 1, 17, 12, 30, M)},            // small letters
      {"1230Z 17 Jan 26", MakeDate(2026, 0, 17, 12, 30, M)},            // mixed case: month 0
      {"26 01 17 12", MakeDate(2026, 1, 17, 12, M, M)},                 // plain numbers
      {"17 JAN 26", MakeDate(M, 0, M, M, M, M)},                        // row 3 does not read back
      {"JAN 26", MakeDate(M, 0, M, M, M, M)},                           // row 2 does not read back
      {"12:30 PM EST [1730Z] 17 JAN 26", MakeDate(M, 0, M, M, M, M)},   // 12-hour clock
      {"12Z 17 XX", MakeDate(M, 0, M, M, M, M)},  // partial scan leaves nothing
      {"26 01 17", MakeDate(M, 0, M, M, M, M)},   // three numbers only
      {"garbage", MakeDate(M, 0, M, M, M, M)},    // nothing
      {"", MakeDate(M, 0, M, M, M, M)},           // empty
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    Date d = MakeDate(1, 2, 3, 4, 5, 6);
    d.jday = 7;
    d.wday = 1;
    EXPECT_EQ(DATE_decode_label(c.text, &d), 0);
    EXPECT_EQ(DateText(d), DateText(c.want));
  }
  Date d;
  EXPECT_EQ(DATE_decode_label(nullptr, &d), 0);
  EXPECT_EQ(DateText(d), DateText(MakeDate(M, 0, M, M, M, M)));
  EXPECT_EQ(DATE_decode_label("1230Z 17 JAN 26", nullptr), 0);
}

// Purpose: labels of rows 4 and 5 read back to the same date.
TEST_F(DateTest, LabelRoundTrip) {
  for (int month = 1; month <= 12; ++month) {
    for (int day : {1, 9, 10, 28}) {
      for (int hour : {0, 9, 12, 23}) {
        for (int min : {M, 0, 7, 59}) {
          const Date in = MakeDate(2026, month, day, hour, min, M);
          const std::string label = Label(in);
          Date out;
          DATE_decode_label(label.c_str(), &out);
          ASSERT_EQ(DateText(out), DateText(in)) << label;
        }
      }
    }
  }
}

// Purpose: month names by their first and third letters, with matching case.
TEST_F(DateTest, DecodeMonth) {
  struct Case {
    const char *name;
    int month;
  };
  const Case cases[] = {
      {"JAN", 1},  {"FEB", 2}, {"MAR", 3}, {"APR", 4}, {"MAY", 5},  // capitals
      {"JUN", 6},  {"JUL", 7}, {"AUG", 8}, {"SEP", 9}, {"OCT", 10}, {"NOV", 11},
      {"DEC", 12}, {"jan", 1}, {"feb", 2}, {"mar", 3}, {"apr", 4},  {"may", 5},  // small letters
      {"jun", 6},  {"jul", 7}, {"aug", 8}, {"sep", 9}, {"oct", 10}, {"nov", 11},
      {"dec", 12}, {"Aug", 0},  // mixed case
      {"Jun", 0},               // mixed case
      {"Jan", 0},               // mixed case
      {"Feb", 2},               // first letter alone
      {"Dxx", 12},              // first letter alone
      {"JUNE", 6},              // longer text
      {"MaR", 3},               // second letter not compared
      {"mAY", 0},               // first and third differ in case
      {"JA", 1},                // two letters suffice for January
      {"JU", 0},                // no third letter
      {"J", 0},                 // one letter
      {"X", 0},                 // unknown
      {"ABC", 0},               // unknown third letter
      {"", 0},                  // empty
  };
  for (const Case &c : cases) EXPECT_EQ(DATE_decode_month(c.name), c.month) << c.name;
  EXPECT_EQ(DATE_decode_month(nullptr), 0);
}

}  // namespace
