// File times and stepping: "num_hour" spans and steps, the current and latest file,
// and the list and stepping modes of FILE_first / FILE_get_next.
#include <string>
#include <vector>

#include "files_fixture.h"
#include "resources/resources_testing.h"

namespace {

constexpr int M = DATE_MISSING;
constexpr int H = 3600;

class SteppingTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    setenv("zypcurtime", "202601071120", 1);
  }

  static std::string Current(const char *text, std::int64_t *t = nullptr) {
    char out[FILE_NAME_SIZE];
    std::int64_t r = FILE_set_current(text, out);
    if (t) *t = r;
    return out;
  }

  // Starts stepping from the date of the last file named and collects every name.
  // Before each step FILE_count_files tells how many names are still to come.
  static std::vector<std::string> Walk() {
    Date fd;
    FILE_get_date(&fd);
    FILE_reset_time();
    FILE_first(&fd);
    std::vector<std::string> names;
    std::vector<int> counts;
    char out[FILE_NAME_SIZE];
    for (;;) {
      counts.push_back(FILE_count_files());
      if (names.size() >= 1000 || !FILE_get_next(out)) break;
      names.push_back(out);
    }
    for (std::size_t k = 0; k < counts.size() && names.size() < 1000; ++k)
      EXPECT_EQ(counts[k], static_cast<int>(names.size() - k)) << "before name " << k;
    return names;
  }

  static void SetFilenames(const char *values) {
    RES_new(RES_filenames, "filename", values, CV_strings);
  }

  static std::int64_t Secs(int year, int month, int day, int hour, int min = 0) {
    Date d{year, month, day, M, M, hour, min, 0};
    return DATE_num_sec(&d);
  }
};

struct SpanCase {
  const char *text;  // null: resource not set
  int span;
  int skip;
};

TEST_F(SteppingTest, SpanAndStepTable) {
  FILE_set_name("@%y%m%d%h");
  Current("");  // the hourly period of the template
  const SpanCase cases[] = {
      {nullptr, 0, H},
      {"-6", -6 * H, H},
      {"6", 6 * H, H},
      {"-0:30", -1800, H},
      {":30", 1800, H},
      {"-:30", -1800, H},
      {"2:30", 9000, H},
      {"12,6", 12 * H, 6 * H},
      {"-3,1", -3 * H, H},
      {"2:30,0:30", 9000, 1800},
      {"6,:30", 6 * H, 1800},
      {"abc", 0, H},
      {"99999999999", 2147483647, H},
  };
  for (const SpanCase &c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(unset)");
    RES_reset_state();
    if (c.text) RES_put("num_hour", c.text);
    EXPECT_EQ(FILE_num_hour(), c.span);
    EXPECT_EQ(FILE_get_skip(), c.skip);
  }
}

struct CurrentCase {
  const char *text;
  const char *expected;
};

TEST_F(SteppingTest, CurrentTexts) {
  FILE_set_name("@%y%m%d%h%n");
  const CurrentCase cases[] = {
      {"", "2601071120"},
      {"3", "2601070820"},
      {"-3", "2601070820"},
      {"+1", "2601071220"},
      {"1d", "2601061120"},
      {"1d6:30", "2601060450"},
      {"+0:40", "2601071200"},
      {"#2026010712", "2601071200"},
      {"#202601071230", "2601071230"},
      {"#2026", "2512310000"},  // a year alone: the day before 1 January
      {"#", "2601071120"},      // no time after "#": now
      {"#20260107122", "2601071202"},
  };
  for (const CurrentCase &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Current(c.text), c.expected);
  }
}

TEST_F(SteppingTest, CurrentIsRoundedToTheFilePeriod) {
  FILE_set_name("@%y%m%d%h");
  std::int64_t t = 0;
  EXPECT_EQ(Current("", &t), "26010711");
  EXPECT_EQ(t, Secs(2026, 1, 7, 11));
  FILE_set_name("@%y%m%d");
  EXPECT_EQ(Current("", &t), "260107");
  EXPECT_EQ(t, Secs(2026, 1, 7, 0));
  // Without a period the time is not rounded.
  FILE_set_name("@fixed.dat");
  EXPECT_EQ(Current("", &t), "fixed.dat");
  EXPECT_EQ(t, Secs(2026, 1, 7, 11, 20));
}

// The parts of a text in order: base, sign, offset, sign, latest, sign, offset. Each
// sign turns the part after it; without one the part goes back. The clock is 11:20
// on 7 January 2026.
TEST_F(SteppingTest, CurrentGrammarTable) {
  FILE_set_name("@%y%m%d%h%n");
  const CurrentCase cases[] = {
      {"#2026010712+1d", "2601081200"},  // base, sign, offset in days
      {"+1d2:30", "2601081350"},         // days, hours and minutes
      {"3+2", "2601071020"},             // the sign after an offset turns the next one
      {"3-3", "2601070520"},
      {"3 2", "2601070820"},        // a blank ends the text
      {"1d1d", "2601061020"},       // one day and one hour; the second "d" ends it
      {"2:", "2601070920"},         // a ":" without minutes is left over
      {"++3", "2601071120"},        // two signs: nothing more is read
      {"3x2", "2601070820"},        // the rest after "x" is ignored
      {"#x", "2601071120"},         // "#" without a time: now
      {"#20260107", "2601070000"},  // parts not given are 0
  };
  for (const CurrentCase &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Current(c.text), c.expected);
  }
}

TEST_F(SteppingTest, ClockFromEnvironment) {
  FILE_set_name("@%y%m%d%h");
  setenv("zypcurtime", "#2025123123", 1);
  EXPECT_EQ(Current(""), "25123123");
  EXPECT_EQ(Current("+1"), "26010100");
  // An unreadable clock text falls back to the system clock.
  setenv("zypcurtime", "soon", 1);
  EXPECT_EQ(Current("").size(), 8u);
}

struct FixedCase {
  Date set;
  const char *tpl;
  const char *expected;
};

TEST_F(SteppingTest, FixedFieldsMoveTheBaseBack) {
  const FixedCase cases[] = {
      {Date{M, M, M, M, M, 12, M, 0}, "@%y%m%d%h", "26010612"},
      {Date{M, M, M, M, M, 9, M, 0}, "@%y%m%d%h", "26010709"},
      {Date{M, 3, M, M, M, M, M, 0}, "@%y%m%d%h", "25030711"},
      {Date{M, M, 10, M, M, M, M, 0}, "@%y%m%d%h", "25121011"},
      {Date{M, M, M, M, M, M, 30, 0}, "@%y%m%d%h%n", "2601071030"},
      {Date{M, M, M, M, M, M, 10, 0}, "@%y%m%d%h%n", "2601071110"},
  };
  for (const FixedCase &c : cases) {
    SCOPED_TRACE(c.expected);
    FILE_set_name(c.tpl);
    FILE_set_time(&c.set);
    EXPECT_EQ(Current(""), c.expected);
  }
}

TEST_F(SteppingTest, OddTextsNameSomeFile) {
  FILE_set_name("@%y%m%d%h");
  const char *texts[] = {"+",
                         "-",
                         "l",
                         "la#",
                         "la#-3",
                         "#9999999999999999",
                         "99999999999d99999999:9999",
                         "+99999999999",
                         "1d:",
                         "3:",
                         "xyz",
                         "la-la",
                         "##"};
  for (const char *text : texts) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(Current(text).empty());
  }
  EXPECT_EQ(Current("la-la").size(), 8u);
}

// ---- latest file ---------------------------------------------------------------------

class LatestTest : public SteppingTest {
 protected:
  void SetUp() override {
    SteppingTest::SetUp();
    RES_put("data_path", dir_.c_str());
    Write("26010708_sao.wmo", "0123456789");
    Write("26010710_sao.wmo", "");
    Write("26010703_sao.wmo", "0123456789");
    FILE_set_name("@%D/%y%m%d%h_sao.wmo");
  }
  std::string Path(const char *name) const { return dir_ + "/" + name; }
};

TEST_F(LatestTest, LatestTexts) {
  const CurrentCase cases[] = {
      {"la", "26010708_sao.wmo"},
      {nullptr, "26010708_sao.wmo"},
      {"LA", "26010708_sao.wmo"},
      {"la#2", "26010709_sao.wmo"},  // nothing within 2 periods: one period beyond
      {"la#0", "26010710_sao.wmo"},
      {"#2026010707la", "26010703_sao.wmo"},
      {"la3", "26010705_sao.wmo"},
      {"la+1", "26010709_sao.wmo"},
      {"2la", "26010708_sao.wmo"},
      {"6la", "26010703_sao.wmo"},
      {"+1la", "26010708_sao.wmo"},
  };
  for (const CurrentCase &c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    EXPECT_EQ(Current(c.text), Path(c.expected));
  }
}

// The files are at 03 and 08 (10 bytes) and 10 (empty); the clock is 11:20.
TEST_F(LatestTest, LatestGrammarTable) {
  const CurrentCase cases[] = {
      {"3+la", "26010708_sao.wmo"},    // from 08 forward: 08 itself
      {"4+la", "26010708_sao.wmo"},    // from 07 forward
      {"4la", "26010703_sao.wmo"},     // from 07 back
      {"la-1", "26010707_sao.wmo"},    // an hour before the one found
      {"la1", "26010707_sao.wmo"},     // no sign: back
      {"4+la+1", "26010709_sao.wmo"},  // the sign after "la" turns the offset
      {"4+la1", "26010707_sao.wmo"},
      {"lA#1", "26010710_sao.wmo"},  // only 11 tried: the name one period beyond
      {"la#", "26010708_sao.wmo"},   // "#" without a count: the default count
      {"L", "26010708_sao.wmo"},
  };
  for (const CurrentCase &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Current(c.text), Path(c.expected));
  }
}

TEST_F(LatestTest, NothingFoundNamesTheFileBeyondTheLastTried) {
  std::filesystem::remove(Path("26010708_sao.wmo"));
  std::filesystem::remove(Path("26010703_sao.wmo"));
  // 500 hours back from 11Z on 7 January is 15Z on 17 December.
  EXPECT_EQ(Current("la"), Path("25121715_sao.wmo"));
}

TEST_F(LatestTest, HugeCountIsBounded) {
  std::filesystem::remove(Path("26010708_sao.wmo"));
  std::filesystem::remove(Path("26010703_sao.wmo"));
  // At most 100000 periods are searched.
  EXPECT_EQ(Current("la#999999999999"), Path("14081119_sao.wmo"));
}

TEST_F(LatestTest, MinimumSizeOfTheConvention) {
  WriteConv("sfc_dat %D/%y%m%d%h_sao.wmo - 5\n");
  Write("26010709_sao.wmo", "abc");
  FILE_set_name("sfc_dat");
  EXPECT_EQ(Current("la"), Path("26010708_sao.wmo"));
  WriteConv("sfc_dat %D/%y%m%d%h_sao.wmo - 2\n");
  FILE_set_name("sfc_dat");
  EXPECT_EQ(Current("la"), Path("26010709_sao.wmo"));
}

TEST_F(LatestTest, TemplateWithoutDatesIsTriedOnce) {
  FILE_set_name("@never.dat");
  EXPECT_EQ(Current("la"), "never.dat");
  FILE_set_name("none");
  EXPECT_EQ(Current("la"), "filename");
}

// ---- stepping ----------------------------------------------------------------------------

TEST_F(SteppingTest, SpanBackGivesOldestFirst) {
  FILE_set_name("@%y%m%d%h");
  RES_put("num_hour", "-6");
  Typed("26010712");
  std::vector<std::string> expected = {"26010706", "26010707", "26010708", "26010709",
                                       "26010710", "26010711", "26010712"};
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(FILE_get_num_file(), -6 * H);
}

TEST_F(SteppingTest, SpanForward) {
  FILE_set_name("@%y%m%d%h");
  RES_put("num_hour", "6");
  Typed("26010712");
  std::vector<std::string> expected = {"26010712", "26010713", "26010714", "26010715",
                                       "26010716", "26010717", "26010718"};
  EXPECT_EQ(Walk(), expected);
}

TEST_F(SteppingTest, StepOfSixHours) {
  FILE_set_name("@%y%m%d%h");
  RES_put("num_hour", "12,6");
  Typed("26010712");
  std::vector<std::string> expected = {"26010712", "26010718", "26010800"};
  EXPECT_EQ(Walk(), expected);
}

TEST_F(SteppingTest, StepShorterThanThePeriodIsIgnored) {
  FILE_set_name("@%y%m%d%3h");
  RES_put("num_hour", "-3,1");
  Typed("26010712");
  std::vector<std::string> expected = {"26010709", "26010712"};
  EXPECT_EQ(Walk(), expected);
}

TEST_F(SteppingTest, StepRoundedToWholePeriods) {
  FILE_set_name("@%y%m%d%h");
  RES_put("num_hour", "5,2:30");  // 2.5 hours: two whole periods
  Typed("26010712");
  std::vector<std::string> expected = {"26010712", "26010714", "26010716"};
  EXPECT_EQ(Walk(), expected);
}

TEST_F(SteppingTest, HalfHourSpanOfMinuteFiles) {
  FILE_set_name("@%y%m%d%h%15n");
  RES_put("num_hour", "-0:30");
  Typed("2601071230");
  std::vector<std::string> expected = {"2601071200", "2601071215", "2601071230"};
  EXPECT_EQ(Walk(), expected);
}

TEST_F(SteppingTest, SpanZeroGivesTheChosenFile) {
  FILE_set_name("@%y%m%d%h");
  RES_put("current", "3");
  char out[FILE_NAME_SIZE];
  FILE_get_file_only("", out);
  EXPECT_STREQ(out, "26010708");
  std::vector<std::string> expected = {"26010708"};
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(FILE_get_num_file(), 0);
}

TEST_F(SteppingTest, ListModeHandsOutEachValueOnce) {
  FILE_set_name("@%y%m%d%h");
  SetFilenames("26010712\n26010815");
  RES_put("num_hour", "6");
  char out[FILE_NAME_SIZE];
  FILE_get_file_only("", out);
  EXPECT_STREQ(out, "26010712");
  std::vector<std::string> expected = {"26010712", "26010815"};
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(FILE_get_num_file(), 1);
  Date fd;
  FILE_get_date(&fd);
  EXPECT_EQ(fd.day, 8);
  EXPECT_EQ(fd.hour, 15);
}

TEST_F(SteppingTest, OneValueWithSpanSteps) {
  FILE_set_name("@%y%m%d%h");
  SetFilenames("26010712");
  RES_put("num_hour", "2");
  char out[FILE_NAME_SIZE];
  FILE_get_file_only("", out);
  std::vector<std::string> expected = {"26010712", "26010713", "26010714"};
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(FILE_get_num_file(), 2 * H);
}

TEST_F(SteppingTest, LatestValueSteps) {
  RES_put("data_path", dir_.c_str());
  Write("26010709_sao.wmo", "data");
  FILE_set_name("@%D/%y%m%d%h_sao.wmo");
  SetFilenames("la");
  RES_put("num_hour", "-2");
  char out[FILE_NAME_SIZE];
  EXPECT_EQ(FILE_get_file_only("", out), 1);
  EXPECT_EQ(std::string(out), dir_ + "/26010709_sao.wmo");
  std::vector<std::string> expected = {dir_ + "/26010707_sao.wmo", dir_ + "/26010708_sao.wmo",
                                       dir_ + "/26010709_sao.wmo"};
  EXPECT_EQ(Walk(), expected);
}

TEST_F(SteppingTest, TemplateWithoutPeriodStepsByTheDefault) {
  FILE_set_name("@fixed.dat");
  RES_put("num_hour", "-6");
  Typed("fixed.dat");
  Date d = MakeDate(2026, 1, 7, 12);
  FILE_first(&d);
  char out[FILE_NAME_SIZE];
  int n = 0;
  while (n < 10 && FILE_get_next(out)) ++n;
  EXPECT_EQ(n, 2);
  EXPECT_EQ(FILE_get_offset(), 100000);
}

TEST_F(SteppingTest, HourStepOfZeroIsNoStep) {
  FILE_set_name("@%y%m%d%h");
  Date set{M, M, M, M, M, -300, M, 0};
  FILE_set_time(&set);
  RES_put("num_hour", "2");
  Typed("26010712");
  EXPECT_EQ(FILE_get_late_off(), H);
  Date d = MakeDate(2026, 1, 7, 12);
  FILE_first(&d);
  char out[FILE_NAME_SIZE];
  std::vector<std::string> names;
  while (names.size() < 10 && FILE_get_next(out)) names.push_back(out);
  std::vector<std::string> expected = {"26010712", "26010713", "26010714"};
  EXPECT_EQ(names, expected);
}

TEST_F(SteppingTest, DateWithEveryFieldMissing) {
  FILE_set_name("@%y%m%d%h");
  RES_put("num_hour", "1");
  Date none{M, M, M, M, M, M, M, M};
  FILE_first(&none);
  char out[FILE_NAME_SIZE];
  std::vector<std::string> names;
  while (names.size() < 10 && FILE_get_next(out)) names.push_back(out);
  std::vector<std::string> expected = {"80010100", "80010101"};
  EXPECT_EQ(names, expected);
}

TEST_F(SteppingTest, DateOffset) {
  FILE_set_name("@%y%m%d%h");
  Date d = MakeDate(2026, 1, 7, 12);
  char out[FILE_NAME_SIZE];
  EXPECT_EQ(FILE_set_date_off(&d, -7200, out), -2);
  EXPECT_STREQ(out, "26010710");
  EXPECT_EQ(d.min, 0);  // normalised in place
}

TEST_F(SteppingTest, ResetTimeKeepsTheSeconds) {
  Date set{2026, 1, 7, M, M, 12, 30, 0};
  FILE_set_time(&set);
  FILE_reset_time();
  const Date &s = FILE_get_set_time();
  EXPECT_EQ(s.year, M);
  EXPECT_EQ(s.month, M);
  EXPECT_EQ(s.day, M);
  EXPECT_EQ(s.hour, M);
  EXPECT_EQ(s.min, M);
  EXPECT_EQ(s.sec, 0);
}

}  // namespace
