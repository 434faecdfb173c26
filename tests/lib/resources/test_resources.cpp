#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "date/date.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

// A command line kept alive for the store, which remembers argv.
struct Args {
  explicit Args(std::vector<std::string> a) : words(std::move(a)) {
    for (std::string &w : words) ptrs.push_back(w.data());
    ptrs.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words.size()); }
  char **argv() { return ptrs.data(); }
  std::vector<std::string> words;
  std::vector<char *> ptrs;
};

const res_type parser_keys[] = {RES_help,      RES_batch,    RES_message,    RES_file_path,
                                RES_city_file, RES_num_hour, RES_identifier, RES_hour,
                                RES_parameter, RES_null};
const res_type parser_pos[] = {RES_filenames, RES_null};

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset_state();
    MESS_reset_state();
    DEF_reset_state();
    FILE_reset_state();
    char tmpl[] = "/tmp/res_testXXXXXX";
    dir_ = mkdtemp(tmpl);
    setenv("zypdefault", dir_.c_str(), 1);  // never read the working directory's files
    for (const char *v :
         {"zypident", "zypmess", "zypsfc.identifier", "zypidentifier", "zypnumhour", "zyptz"})
      unsetenv(v);
  }
  void TearDown() override {
    unsetenv("zypdefault");
    unsetenv("zypident");
    unsetenv("zypidentifier");
    std::system(("rm -rf " + dir_).c_str());
    RES_reset_state();
    MESS_reset_state();
    DEF_reset_state();
    FILE_reset_state();
  }
  void write(const std::string &name, const std::string &text) {
    std::ofstream(dir_ + "/" + name) << text;
  }
  void init(std::vector<std::string> words) {
    args_ = std::make_unique<Args>(std::move(words));
    RES_init(args_->argc(), args_->argv(), parser_keys, parser_pos);
  }
  std::string get(const char *name) {
    const char *v = RES_get(name);
    return v ? v : "(null)";
  }
  std::string dir_;
  std::unique_ptr<Args> args_;
};

// ---- the store ----

TEST_F(Resources, NewReplacesAppendAccumulates) {
  RES_new(3, "identifier", "KDEN", CV_string);
  RES_new(5, "identifier", "KBOU", CV_int);
  EXPECT_EQ(get("identifier"), "KBOU");
  RES_append(1, "list", "a", CV_strings);
  RES_append(2, "list", "b", CV_string);
  RES_append(2, "list", "c", CV_string);
  RES_append(2, "list", nullptr, CV_string);
  EXPECT_EQ(get("list"), "a\nb\nc");
  ParsedList items;
  EXPECT_EQ(RES_getvals("list", items), 3);  // still CV_strings: split at newlines
  RES_new(1, "empty", nullptr, CV_string);
  EXPECT_EQ(get("empty"), "");
  EXPECT_EQ(RES_get("never"), nullptr);
  RES_append(1, "empty", "now", CV_string);
  EXPECT_EQ(get("empty"), "now");
}

TEST_F(Resources, GetvalsSplitsByKind) {
  ParsedList items;
  RES_new(1, "ids", "KDEN,KBOU", CV_string);
  EXPECT_EQ(RES_getvals("ids", items), 2);
  RES_new(1, "files", "a,b\nc", CV_strings);
  ASSERT_EQ(RES_getvals("files", items), 2);
  EXPECT_EQ(items[0], "a,b");
  EXPECT_EQ(RES_getvals("missing", items), 0);
  EXPECT_TRUE(items.empty());
}

TEST_F(Resources, ListInOrderOfFirstStorage) {
  RES_put("zeta", "1");
  RES_put("alpha", nullptr);
  RES_put("zeta", "2");
  MESS_set_str("print");
  testing::internal::CaptureStdout();
  RES_list();
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "zeta: 2\nalpha:\n");
}

TEST_F(Resources, ProgramName) {
  struct Case {
    const char *word;
    const char *name;
  };
  for (const Case &c : {Case{"/usr/local/bin/sfcparse", "sfcparse"}, Case{"sfcparse", "sfcparse"},
                        Case{"dir/", ""}}) {
    char *argv[] = {const_cast<char *>(c.word), nullptr};
    RES_setCL(1, argv);
    EXPECT_EQ(RES_get_progname(), c.name);
    EXPECT_STREQ(RES_get_prog(), c.word);
  }
}

// ---- start-up ----

TEST_F(Resources, OptionForms) {
  init({"sfcparse", "-id", "KDEN", "--num_hour=3,2", "-par", "dec", "file1", "-ho", "-5"});
  EXPECT_EQ(get("identifier"), "KDEN");
  EXPECT_EQ(get("num_hour"), "3,2");
  EXPECT_EQ(get("parameter"), "dec");  // abbreviation of the resource name
  EXPECT_EQ(get("filename"), "file1");
  EXPECT_EQ(get("hour"), "-5");  // a negative number is a value
}

TEST_F(Resources, AbbreviationTakesFirstRowInTableOrder) {
  init({"sfcparse", "-i", "KDEN"});
  EXPECT_EQ(get("identifier"), "KDEN");
  init({"sfcparse", "--IDENTIFIER", "KBOU"});
  EXPECT_EQ(get("identifier"), "KBOU");
}

TEST_F(Resources, SwitchGivesItsArgumentBack) {
  init({"sfcparse", "-h", "file.wmo", "-ba", "other"});
  EXPECT_EQ(FLAG_help(), 1);
  EXPECT_EQ(FLAG_batch(), 1);
  EXPECT_EQ(get("help"), "");
  EXPECT_EQ(get("filename"), "file.wmo\nother");
  init({"sfcparse", "-h=no"});  // any value still switches it on
  EXPECT_EQ(FLAG_help(), 1);
}

TEST_F(Resources, OptionWithoutValueAndLooseOptions) {
  init({"sfcparse", "-zzunknown", "val", "-id", "-ba", "-other"});
  EXPECT_EQ(get("zzunknown"), "val");
  EXPECT_EQ(get("identifier"), "");
  EXPECT_EQ(get("other"), "");
}

TEST_F(Resources, LongOptionNamesAreCut) {
  std::string longname(80, 'q');
  init({"sfcparse", "-" + longname + "=v"});
  EXPECT_EQ(get(std::string(49, 'q').c_str()), "v");
}

TEST_F(Resources, NameAndDefaultOptions) {
  write("site/zyp.cfg", "");
  std::system(("mkdir -p " + dir_ + "/site && printf '*identifier: FROMSITE\\n' > " + dir_ +
               "/site/zyp.cfg")
                  .c_str());
  init({"sfcparse", "-df", dir_ + "/site", "-name", "title"});
  EXPECT_EQ(get("identifier"), "FROMSITE");
  EXPECT_EQ(get("default"), dir_ + "/site");
  EXPECT_EQ(get("name"), "title");
  // With two dashes neither has an effect; the value is still consumed.
  RES_reset_state();
  DEF_reset_state();
  init({"sfcparse", "--df", dir_ + "/site", "--na", "x"});
  EXPECT_EQ(get("identifier"), "(null)");
  EXPECT_EQ(get("default"), dir_);
  EXPECT_EQ(get("name"), "(null)");
  EXPECT_EQ(get("filename"), "(null)");
}

TEST_F(Resources, PrecedenceFileEnvironmentCommandLine) {
  write("zyp.cfg", "*identifier: FILE\n*parameter: dec\n");
  init({"sfcparse"});
  EXPECT_EQ(get("identifier"), "FILE");
  setenv("zypident", "ENV", 1);
  RES_reset_state();
  init({"sfcparse"});
  EXPECT_EQ(get("identifier"), "ENV");
  RES_reset_state();
  init({"sfcparse", "-id", "CMD"});
  EXPECT_EQ(get("identifier"), "CMD");
  EXPECT_EQ(get("parameter"), "dec");
}

TEST_F(Resources, EnvironmentNames) {
  setenv("zypidentifier", "BYNAME", 1);
  init({"sfcparse"});
  EXPECT_EQ(get("identifier"), "BYNAME");
  setenv("zypsfcparse.identifier", "QUALIFIED", 1);
  RES_reset_state();
  init({"sfcparse"});
  EXPECT_EQ(get("identifier"), "QUALIFIED");
  unsetenv("zypsfcparse.identifier");
}

TEST_F(Resources, LaterFileOnThePathWins) {
  std::system(("mkdir -p " + dir_ + "/a " + dir_ + "/b").c_str());
  write("a/zyp.cfg", "*identifier: A\n*city_file: a.cty\n");
  write("b/.zypdef", "sfcparse.identifier: B\nother.city_file: nope\n");
  setenv("zypdefault", (dir_ + "/a:" + dir_ + "/b:" + dir_ + "/missing").c_str(), 1);
  init({"sfcparse"});
  EXPECT_EQ(get("identifier"), "B");
  EXPECT_EQ(get("city_file"), "a.cty");
}

TEST_F(Resources, LooseEntriesFromFilesAndTags) {
  write("zyp.cfg",
        "# comment\n"
        "*extra_thing: loose\n"
        "IF site\n*identifier: SITE\nELSE\n*identifier: OTHER\nEND\n");
  setenv("zypdefault", ("+site:" + dir_).c_str(), 1);
  init({"sfcparse"});
  EXPECT_EQ(get("extra_thing"), "loose");
  EXPECT_EQ(get("identifier"), "SITE");
}

TEST_F(Resources, CompanionItemWarns) {
  setenv("zypdefault", "#1234", 1);
  testing::internal::CaptureStderr();
  init({"sfcparse"});
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ROVedoz window: 1234 not running or no message queue exists\n");
}

TEST_F(Resources, PositionalArgumentsAccumulate) {
  init({"sfcparse", "a", "--", "b", "-"});
  ParsedList items;
  ASSERT_EQ(RES_getvals("filename", items), 3);
  EXPECT_EQ(items[0], "a");
  EXPECT_EQ(items[1], "b");
  EXPECT_EQ(items[2], "-");
}

TEST_F(Resources, UnknownIdentifierRowMatchesNothing) {
  const res_type keys[] = {static_cast<res_type>(RES_age), RES_identifier, RES_null};
  Args a({"sfcparse", "-id", "X", "-age", "3"});
  testing::internal::CaptureStdout();
  RES_init(a.argc(), a.argv(), keys, parser_pos);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\n");
  EXPECT_EQ(get("identifier"), "X");
  EXPECT_EQ(get("age"), "3");  // loose
}

TEST_F(Resources, MessageAndBatchConversions) {
  init({"sfcparse", "-me", "mess", "-ba"});
  EXPECT_EQ(MESS_get(), 0xFFFu);  // the user's level stays
  MESS_reset_state();
  RES_reset_state();
  init({"sfcparse", "-ba"});
  EXPECT_EQ(MESS_get(), 0xFFu);
  EXPECT_EQ(MESS_check_set(), 1);
}

TEST_F(Resources, HourConversion) {
  struct Case {
    const char *text;
    int year, month, day, hour, min;
  };
  const Case cases[] = {
      {"#202601071230", 2026, 1, 7, 12, 30},
      {"#2026", 2026, -9999, -9999, -9999, -9999},
      {"010712", -9999, 1, 7, 12, -9999},
      {"0712", -9999, -9999, 7, 12, -9999},
      {"712", -9999, -9999, 7, 12, -9999},
      {"3d12:30", -9999, -9999, 3, 12, 30},
      {":45", -9999, -9999, -9999, -9999, 45},
      {"-:30", -9999, -9999, -9999, -9999, -30},
      {"-0:30", -9999, -9999, -9999, -9999, -30},
      {"-2:15", -9999, -9999, -9999, -2, 15},
      {"14", -9999, -9999, -9999, 14, -9999},
      // Counts beyond a million are no time (their negation used to overflow).
      {"-0:2147483648", -9999, -9999, -9999, -9999, -9999},
      {"-:2147483648", -9999, -9999, -9999, -9999, -9999},
      {"2147483647:5", -9999, -9999, -9999, -9999, 5},
      {"-0:1000000", -9999, -9999, -9999, -9999, -1000000},
      {"1d99999999999999999999:5", -9999, -9999, 1, -9999, 5},  // beyond any int
      {":-99999999999999999999", -9999, -9999, -9999, -9999, -9999},
      {"2d 3: 4", -9999, -9999, 2, 3, 4},  // blanks before the numbers
  };
  for (const Case &c : cases) {
    FILE_reset_state();
    RES_conv_data(c.text, nullptr, CV_hour);
    const Date &d = FILE_get_set_time();
    EXPECT_EQ(d.year, c.year) << c.text;
    EXPECT_EQ(d.month, c.month) << c.text;
    EXPECT_EQ(d.day, c.day) << c.text;
    EXPECT_EQ(d.hour, c.hour) << c.text;
    EXPECT_EQ(d.min, c.min) << c.text;
  }
}

// Numbers at the limits of their types: a value that fits reads as before; one
// that does not leaves the output as it was (it used to be undefined or wrapped).
TEST_F(Resources, NumericConversionsAtTheirLimits) {
  struct Case {
    const char *text;
    DEF_convert cvt;
    double before;  // the output's value before the conversion
    double after;
  } const cases[] = {
      {"2147483647", CV_int, 1, 2147483647.0},
      {"-2147483648", CV_int, 1, -2147483648.0},
      {"2147483648", CV_int, 1, 1},
      {"-99999999999999999999", CV_int, 1, 1},
      {"0x7fffffff", CV_int, 1, 2147483647.0},
      {"0x80000000", CV_int, 1, 1},
      {"0xffffffffffffffffff", CV_int, 1, 1},
      {"0xZ", CV_int, 1, 0},     // "0" and no hexadecimal digits
      {"+x5", CV_int, 1, 0},     // no digits at all
      {"12abc", CV_int, 1, 12},  // the number before other text
      {"32767", CV_short, 1, 32767},
      {"32768", CV_short, 1, 1},
      {"99999999999999999999", CV_short, 1, 1},
      {"9223372036854775807", CV_long, 1, 9223372036854775807.0},
      {"9223372036854775808", CV_long, 1, 1},
      {"77 mm", CV_long, 1, 77},
      {" 12", CV_color, 1, 12},  // white space before the number
      {"99999999999999999999", CV_color, 1, 1},
      {"none", CV_color, 1, 0},
      {"3.4e38", CV_float, 1, 3.4e38},
      {"3.5e38", CV_float, 1, 1},
      {"-1e400", CV_float, 1, 1},
      {" \t-2.5e1x", CV_float, 1, -25},
      {".5", CV_float, 1, 0.5},
      {"inf", CV_float, 1, 0},  // no number: 0, as a word
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    switch (c.cvt) {
      case CV_int: {
        int v = static_cast<int>(c.before);
        RES_conv_data(c.text, &v, c.cvt);
        EXPECT_EQ(v, static_cast<int>(c.after));
        break;
      }
      case CV_short: {
        short v = static_cast<short>(c.before);
        RES_conv_data(c.text, &v, c.cvt);
        EXPECT_EQ(v, static_cast<short>(c.after));
        break;
      }
      case CV_long:
      case CV_color: {
        long v = static_cast<long>(c.before);
        RES_conv_data(c.text, &v, c.cvt);
        if (c.after > 9e18)
          EXPECT_EQ(v, 9223372036854775807L);
        else
          EXPECT_EQ(v, static_cast<long>(c.after));
        break;
      }
      case CV_float: {
        float v = static_cast<float>(c.before);
        RES_conv_data(c.text, &v, c.cvt);
        EXPECT_FLOAT_EQ(v, static_cast<float>(c.after));
        break;
      }
      default: FAIL();
    }
  }
}

TEST_F(Resources, TypedConversions) {
  int b = 7;
  EXPECT_EQ(RES_conv_data("YES", &b, CV_bool), 1);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(RES_conv_data("off", &b, CV_bool), 1);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(RES_conv_data("maybe", &b, CV_bool), 1);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(RES_conv_data(nullptr, &b, CV_bool), 1);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(RES_conv_data("x", nullptr, CV_bool), 0);

  int i = 3;
  RES_conv_data("0x10", &i, CV_int);
  EXPECT_EQ(i, 16);
  RES_conv_data("-5", &i, CV_int);
  EXPECT_EQ(i, -5);
  RES_conv_data("a5", &i, CV_int);
  EXPECT_EQ(i, -5);
  EXPECT_EQ(RES_conv_data(nullptr, &i, CV_int), 0);

  short s = 1;
  RES_conv_data("-4", &s, CV_short);
  EXPECT_EQ(s, 1);
  RES_conv_data("42", &s, CV_short);
  EXPECT_EQ(s, 42);
  float f = 1;
  RES_conv_data("abc", &f, CV_float);
  EXPECT_EQ(f, 0.0f);
  RES_conv_data("2.5", &f, CV_float);
  EXPECT_EQ(f, 2.5f);

  std::string path;
  RES_conv_data("NONE", &path, CV_path);
  EXPECT_EQ(path, "");
  RES_conv_data("/data", &path, CV_path);
  EXPECT_EQ(path, "/data/");
  RES_conv_data("/data/", &path, CV_path);
  EXPECT_EQ(path, "/data/");

  const char *text = nullptr;
  const char *value = "stored";
  RES_conv_data(value, &text, CV_string);
  EXPECT_EQ(text, value);
}

TEST_F(Resources, FlagConversions) {
  FLAG_reset(-9999);
  RES_conv_data("APP", nullptr, CV_file_param);
  EXPECT_EQ(FLAG_get(15), 2);
  RES_conv_data("overwrite", nullptr, CV_file_param);
  EXPECT_EQ(FLAG_get(15), 2);
  RES_conv_data("reuse", nullptr, CV_file_param);
  EXPECT_EQ(FLAG_get(15), 3);
  RES_conv_data("Skewt", nullptr, CV_plot_type);
  EXPECT_EQ(FLAG_get(11), 62);
  RES_conv_data("nothing", nullptr, CV_plot_type);
  EXPECT_EQ(FLAG_get(11), 62);

  const char *second = nullptr;
  const char *dev = "ps,out.ps";
  RES_conv_data(dev, &second, CV_device);
  EXPECT_EQ(FLAG_get(2), 4);
  EXPECT_STREQ(second, "out.ps");
  RES_conv_data("xterm", &second, CV_device);
  EXPECT_EQ(FLAG_get(2), 1);
  EXPECT_EQ(RES_set_device("Hp"), 5);
  EXPECT_EQ(RES_set_device("q"), 5);
  EXPECT_EQ(RES_set_device("meta"), 3);
  EXPECT_EQ(RES_set_device("Win"), 6);
}

TEST_F(Resources, DrawSwitches) {
  FLAG_resetplot(1);
  RES_conv_data("map,grid", nullptr, CV_draw);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(FLAG_getplot(k), (k == 8 || k == 9) ? 1 : 0) << k;
  FLAG_resetplot(0);
  RES_conv_data("+data", nullptr, CV_draw);
  EXPECT_EQ(FLAG_getplot(7), 1);
  EXPECT_EQ(FLAG_getplot(8), 0);
  RES_conv_data("+text,-data", nullptr, CV_draw);
  EXPECT_EQ(FLAG_getplot(0), 6);
  EXPECT_EQ(FLAG_getplot(11), 1);
  EXPECT_EQ(FLAG_getplot(7), 0);
  RES_conv_data("-all", nullptr, CV_draw);  // "all" switches everything on whatever the sign
  EXPECT_EQ(FLAG_getplot(12), 17);
  FLAG_resetplot(1);
}

// ---- defaults files ----

class Defaults : public Resources {
 protected:
  std::vector<std::pair<std::string, std::string>> read_all(const std::string &name) {
    std::vector<std::pair<std::string, std::string>> out;
    EXPECT_EQ(DEF_open((dir_ + "/" + name).c_str()), 0);
    std::string r, v;
    while (DEF_get(r, v) == 1) out.emplace_back(r, v);
    DEF_close();
    return out;
  }
};

TEST_F(Defaults, SectionsTagsAndQuotes) {
  write("f",
        "IF a\nX.one: 1\nELSE\nX.one: 2\nELSE\nX.one: 3\nEND\n"
        "DEF b\nIF b\nIF c\nX.two: no\nELIF b\nX.two: yes\nEND\nEND\n"
        "UNDEF B\nIF b\nX.three: hidden\nEND\n"
        "X.Quoted: \"with blanks\" trailing\n"
        "lonely\nIF\n");
  DEF_clr_tag();
  auto e = read_all("f");
  std::vector<std::pair<std::string, std::string>> want = {
      {"x.one", "2"}, {"x.two", "yes"}, {"x.quoted", "with blanks"}};
  EXPECT_EQ(e, want);
}

TEST_F(Defaults, MisplacedSectionEndsWarn) {
  write("f", "ELSE\nEND\nELIF x\nX.a: 1\n");
  testing::internal::CaptureStderr();
  auto e = read_all("f");
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      "DEF_get: else without an if\nDEF_get: end without an if\nDEF_get: elif without an if\n");
  EXPECT_EQ(e.size(), 1u);
}

TEST_F(Defaults, DeepNestingAndManyTagsAreRefused) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += "DEF t" + std::to_string(i) + "\n";
  for (int i = 0; i < 12; ++i) text += "IF t0\n";
  text += "X.deep: 1\n";
  for (int i = 0; i < 12; ++i) text += "END\n";
  text += "X.after: 2\n";
  write("f", text);
  testing::internal::CaptureStderr();
  auto e = read_all("f");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("too many tags"), std::string::npos);
  EXPECT_NE(err.find("nested too deeply"), std::string::npos);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].first, "x.after");
}

TEST_F(Defaults, UnmatchedSectionDoesNotHideTheNextFile) {
  write("f", "IF nothing\nX.a: 1\n");
  write("g", "X.b: 2\n");
  EXPECT_TRUE(read_all("f").empty());
  EXPECT_EQ(read_all("g").size(), 1u);
}

TEST_F(Defaults, LongLinesAndBinaryBytes) {
  std::string text = "X.long: " + std::string(400, 'v') + "\n";
  text += std::string("X.bin: a\x01\xff", 11) + "\n";
  text += std::string("X.nul: \0zz", 10) + "\n";
  write("f", text);
  auto e = read_all("f");
  ASSERT_GE(e.size(), 1u);
  EXPECT_EQ(e[0].first, "x.long");
  EXPECT_EQ(e[0].second.size(), static_cast<size_t>(DEF_LINE_MAX - 8));
}

TEST_F(Defaults, DirectoryAndMissingFiles) {
  std::system(("mkdir -p " + dir_ + "/d " + dir_ + "/empty").c_str());
  write("d/Zyp.res", "X.r: 1\n");
  EXPECT_EQ(DEF_open((dir_ + "/d").c_str()), 0);
  DEF_close();
  EXPECT_EQ(DEF_open((dir_ + "/empty").c_str()), -1);
  EXPECT_EQ(DEF_open((dir_ + "/missing").c_str()), -1);
  std::string r, v;
  EXPECT_EQ(DEF_get(r, v), -1);
}

TEST_F(Defaults, PatternMatching) {
  char argv0[] = "/bin/sfcparse";
  char *argv[] = {argv0, nullptr};
  RES_setCL(1, argv);
  DEF_prog();
  struct Case {
    const char *resrc;
    const char *pattern;
    int result;
  };
  const Case cases[] = {
      {"identifier", "*identifier", 1},
      {"identifier", "*.identifier", 1},
      {"identifier", "sfcparse.identifier", 1},
      {"identifier", "other.identifier", 0},
      {"data_path", "sfcparse.*path", 1},
      {"data_path", "sfcparse.*", 0},
      {"identifier", "identifier", 0},
      {"identifier", "sfcparse.Identifier", 0},
      {"file_path", "*a*path", 1},
  };
  for (const Case &c : cases) EXPECT_EQ(DEF_cmp(c.resrc, c.pattern), c.result) << c.pattern;
  EXPECT_EQ(DEF_valid("*anything"), 1);
  EXPECT_EQ(DEF_valid("other.anything"), 0);
  EXPECT_EQ(DEF_valid("anything"), 0);
  EXPECT_EQ(DEF_parse_name("sfcparse.*path"), "path");
  DEF_name("+sub");
  EXPECT_EQ(DEF_cmp("identifier", "sfcparse.sub.identifier"), 1);
  DEF_name("title");
  EXPECT_EQ(DEF_cmp("identifier", "title.identifier"), 1);
  EXPECT_EQ(DEF_cmp("identifier", "sfcparse.identifier"), 0);
}

// ---- help ----

TEST_F(Resources, HelpItems) {
  testing::internal::CaptureStdout();
  RES_help_item(RES_stat_prior);
  RES_help_item(RES_num_hour);
  RES_help_item(RES_age);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " -pr prior   Priority of stations used in the plot\n"
            " -nh hour[,step]  Number of hours to view\n"
            "1\n");
}

}  // namespace
