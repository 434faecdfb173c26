// File name entry: typed names read against the template, and the choice of the
// first file from "filename", "current", batch mode or the prompt.
#include <cstdio>
#include <string>

#include "files_fixture.h"
#include "resources/resources_testing.h"

namespace {

constexpr int M = DATE_MISSING;

class EntryTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    setenv("zypcurtime", "202601071120", 1);
  }
  void TearDown() override {
    ZYP_set_input(nullptr);
    if (input_) std::fclose(input_);
    FilesTest::TearDown();
  }
  // Answers for the prompt.
  void Answer(const std::string &text) {
    answers_ = text;
    input_ = fmemopen(answers_.data(), answers_.size(), "r");
    ASSERT_NE(input_, nullptr);
    ZYP_set_input(input_);
  }
  static Date FileDate() {
    Date d;
    FILE_get_date(&d);
    return d;
  }
  std::string answers_;
  FILE *input_ = nullptr;
};

struct TypedCase {
  const char *tpl;
  const char *typed;
  const char *expected;
  int year, month, day, hour, min;
};

TEST_F(EntryTest, TypedNamesTable) {
  RES_put("data_path", "/data");
  FILE_set_key('i', "KDEN");
  const char *hourly = "@%D/%y%m%d%h_sao.wmo";
  const TypedCase cases[] = {
      {hourly, "26010712", "/data/26010712_sao.wmo", 2026, 1, 7, 12, M},
      {hourly, "/tmp/x/26010712_sao.wmo", "/tmp/x/26010712_sao.wmo", 2026, 1, 7, 12, M},
      {hourly, "./26010712_sao.wmo", "./26010712_sao.wmo", 2026, 1, 7, 12, M},
      {hourly, "26010712_sao.wmo", "/data/26010712_sao.wmo", 2026, 1, 7, 12, M},
      {hourly, "26010712.xyz", "/data/26010712.xyz", 2026, 1, 7, 12, M},
      {hourly, "myfile.dat", "/data/myfile.dat", M, M, M, M, M},
      {hourly, "260107", "/data/260107", 2026, 1, 7, M, M},
      {hourly, "2601071", "/data/2601071", 2026, 1, 7, M, M},
      {hourly, "99123112", "/data/99123112_sao.wmo", 1999, 12, 31, 12, M},
      {hourly, "49123112", "/data/49123112_sao.wmo", 2049, 12, 31, 12, M},
      {hourly, "50010100", "/data/50010100_sao.wmo", 1950, 1, 1, 0, M},
      {hourly, "myfile.dat#2026010712", "/data/myfile.dat", 2026, 1, 7, 12, M},
      {hourly, "none", "none", M, M, M, M, M},
      {hourly, "-", "-", M, M, M, M, M},
      {hourly, "", "-", M, M, M, M, M},
      {hourly, "@literal name", "literal name", M, M, M, M, M},
      {"@/abs/%y%m%d%h", "/other/26010712", "/other/26010712", M, M, M, M, M},
      {"@%D/%Y%j%h.dat", "202603212", "/data/202603212.dat", 2026, 2, 1, 12, M},
      {"@%D/%b%d%y.dat", "jan0726", "/data/jan0726.dat", 2026, 1, 7, M, M},
      {"@%D/%b%d%y.dat", "xyz0726", "/data/xyz0726", M, M, M, M, M},
      {"@%D/%y%m%d%h%n.dat", "2601071230", "/data/2601071230.dat", 2026, 1, 7, 12, 30},
      {"@{/fixed/dir/}%y%m%d%h.wmo", "26010712", "/fixed/dir/26010712.wmo", 2026, 1, 7, 12, M},
      {"@%D/%i_%y%m%d%h", "KDEN_26010712", "/data/KDEN_26010712", 2026, 1, 7, 12, M},
      {"@%D/%k_%y%m%d%h", "KDEN_26010712", "/data/KDEN_26010712", M, M, M, M, M},
      {"@%D/*", "any thing", "/data/any thing", M, M, M, M, M},
      {"@%D/%%%y", "%26", "/data/%26", 2026, M, M, M, M},
      {"@data/%y%m%d%h", "data/26010712", "data/26010712", 2026, 1, 7, 12, M},
      {"@%{raw_path}/%y", "26", "/26", 2026, M, M, M, M},
  };
  for (const TypedCase &c : cases) {
    SCOPED_TRACE(std::string(c.tpl) + " <- " + c.typed);
    FILE_set_name(c.tpl);
    FILE_reset_time();
    EXPECT_EQ(Typed(c.typed), c.expected);
    Date d = FileDate();
    EXPECT_EQ(d.year, c.year);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
    EXPECT_EQ(d.hour, c.hour);
    EXPECT_EQ(d.min, c.min);
  }
}

TEST_F(EntryTest, TypedNamePeriod) {
  FILE_set_name("@%y%m%d%h.wmo");
  Typed("26010712");
  EXPECT_EQ(FILE_get_late_off(), 3600);
  // With an hour step of 6 the period is six hours.
  Date set{M, M, M, M, M, -6, M, 0};
  FILE_set_time(&set);
  Typed("26010712");
  EXPECT_EQ(FILE_get_late_off(), 21600);
  // A name that does not fit still gets the template's period.
  FILE_reset_time();
  Typed("myfile");
  EXPECT_EQ(FILE_get_late_off(), 3600);
  FILE_set_name("@%y%m%d.wmo");
  Typed("260107");
  EXPECT_EQ(FILE_get_late_off(), 86400);
}

TEST_F(EntryTest, DateSuffixFixesFields) {
  FILE_set_name("@%y%m%d%h.wmo");
  EXPECT_EQ(Typed("26010712.wmo#2026010800"), "26010712.wmo");
  const Date &set = FILE_get_set_time();
  EXPECT_EQ(set.year, 2026);
  EXPECT_EQ(set.month, 1);
  EXPECT_EQ(set.day, 8);
  EXPECT_EQ(set.hour, 0);
  EXPECT_EQ(set.min, M);
  // Parts not given keep their earlier values.
  Typed("x#2025");
  EXPECT_EQ(FILE_get_set_time().year, 2025);
  EXPECT_EQ(FILE_get_set_time().day, 8);
}

TEST_F(EntryTest, ExtensionReadFromTheTypedName) {
  RES_put("data_path", "/d");
  FILE_set_name("@%D/%y%m%d%h.%e");
  EXPECT_EQ(Typed("26010712.abc"), "/d/26010712.abc");
  EXPECT_STREQ(FILE_get_ext(), "abc");
  // With the extension known it is written, and the typed one skipped.
  EXPECT_EQ(Typed("26010713.xyz"), "/d/26010713.abc");
  FILE_set_name("@%D/%e_%y.dat");
  EXPECT_EQ(Typed("metar_26.dat"), "/d/metar_26.dat");
  EXPECT_STREQ(FILE_get_ext(), "metar");
  FILE_set_name("@%D/%e_%y.dat");
  EXPECT_EQ(Typed("nounderscore"), "/d/nounderscore");
}

TEST_F(EntryTest, WithoutTemplateTheNameIsUsed) {
  FILE_set_name("none");
  EXPECT_EQ(Typed("some/file.dat"), "some/file.dat");
  RES_put("data_path", "/elsewhere");
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(Expand(&d), "some/file.dat");
}

TEST_F(EntryTest, CurrentRequestsInTypedNames) {
  FILE_set_name("@%y%m%d%h");
  testing::internal::CaptureStdout();
  EXPECT_EQ(Typed("cu3"), "26010708");
  EXPECT_EQ(Typed("#2026010712"), "26010712");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Current filename: 26010708\n"), std::string::npos);
  EXPECT_NE(out.find("Current filename: 26010712\n"), std::string::npos);
}

TEST_F(EntryTest, ExitEndsTheProgram) {
  FILE_set_name("@%y");
  EXPECT_EXIT(Typed("EXIT"), testing::ExitedWithCode(0), "");
}

// ---- choosing the first file ---------------------------------------------------------------

class FirstFileTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    RES_put("data_path", dir_.c_str());
    FILE_set_name("@%D/%y%m%d%h_sao.wmo");
    Write("26010709_sao.wmo", "data");
    Write("26010712_sao.wmo", "data");
  }
  std::string Path(const char *name) const { return dir_ + "/" + name; }
  std::string Choose(int expect_exists) {
    char out[FILE_NAME_SIZE];
    EXPECT_EQ(FILE_get_file_only("Enter the surface filename: ", out), expect_exists);
    return out;
  }
};

TEST_F(FirstFileTest, FromFilenameResource) {
  RES_new(RES_filenames, "filename", "26010712\n26010713", CV_strings);
  EXPECT_EQ(Choose(1), Path("26010712_sao.wmo"));
  Date d = FileDate();
  EXPECT_EQ(d.hour, 12);
  RES_new(RES_filenames, "filename", "26010713", CV_strings);
  EXPECT_EQ(Choose(0), Path("26010713_sao.wmo"));
}

TEST_F(FirstFileTest, FullPathNameKeepsItsDirectoryForLaterFiles) {
  RES_put("data_path", "/nowhere");
  std::string typed = Path("sub/26010712_sao.wmo");
  Write("sub/26010712_sao.wmo", "data");
  RES_new(RES_filenames, "filename", typed.c_str(), CV_strings);
  RES_put("num_hour", "1");
  EXPECT_EQ(Choose(1), typed);
  Date d = FileDate();
  FILE_reset_time();
  FILE_first(&d);
  char out[FILE_NAME_SIZE];
  ASSERT_EQ(FILE_get_next(out), 1);
  EXPECT_EQ(std::string(out), typed);
  ASSERT_EQ(FILE_get_next(out), 1);
  EXPECT_EQ(std::string(out), Path("sub/26010713_sao.wmo"));
  EXPECT_EQ(FILE_get_next(out), 0);
}

TEST_F(FirstFileTest, FilenameListListsAndExits) {
  RES_new(RES_filenames, "filename", "LIST", CV_strings);
  EXPECT_EXIT(Choose(1), testing::ExitedWithCode(0), "");
}

TEST_F(FirstFileTest, CurrentResource) {
  RES_put("current", "3");
  testing::internal::CaptureStdout();
  EXPECT_EQ(Choose(0), Path("26010708_sao.wmo"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  RES_put("current", "2");
  testing::internal::CaptureStdout();
  EXPECT_EQ(Choose(1), Path("26010709_sao.wmo"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Current filename: " + Path("26010709_sao.wmo") + "\n");
}

TEST_F(FirstFileTest, BatchModeTakesTheLatest) {
  FLAG_set_batch(1);
  testing::internal::CaptureStdout();
  EXPECT_EQ(Choose(1), Path("26010709_sao.wmo"));
  testing::internal::GetCapturedStdout();
}

struct PromptCase {
  const char *answer;
  const char *expected;  // relative to the directory; "-" and "" as they are
  int exists;
};

TEST_F(FirstFileTest, PromptAnswers) {
  const PromptCase cases[] = {
      {"26010712\n", "26010712_sao.wmo", 1},
      {"cu3\n", "26010708_sao.wmo", 0},
      {"CU2\n", "26010709_sao.wmo", 1},
      {"la\n", "26010709_sao.wmo", 1},
      {"#2026010712\n", "26010712_sao.wmo", 1},
      {"\n", "-", 1},
      {"", "-", 1},
  };
  for (const PromptCase &c : cases) {
    SCOPED_TRACE(c.answer);
    FILE_reset_state();
    FILE_set_name("@%D/%y%m%d%h_sao.wmo");
    Answer(c.answer);
    testing::internal::CaptureStdout();
    std::string got = Choose(c.exists);
    std::string out = testing::internal::GetCapturedStdout();
    ZYP_set_input(nullptr);
    std::fclose(input_);
    input_ = nullptr;
    EXPECT_EQ(got, c.expected[0] == '-' ? std::string("-") : Path(c.expected));
    EXPECT_EQ(out.rfind("List of available files:\n", 0), 0u);
    EXPECT_NE(out.find("Enter the surface filename: "), std::string::npos);
  }
}

TEST_F(FirstFileTest, PromptListShowsTheFilesAgain) {
  Answer("list\n");
  testing::internal::CaptureStdout();
  std::string got = Choose(1);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(got, "");
  size_t first = out.find("26010709_sao.wmo");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(out.find("26010709_sao.wmo", first + 1), std::string::npos);
}

TEST_F(FirstFileTest, PromptExit) {
  Answer("exit\n");
  EXPECT_EXIT(Choose(1), testing::ExitedWithCode(0), "");
}

}  // namespace
