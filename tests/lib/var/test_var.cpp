// Variable lists: the list syntax, the variable file and its definitions, the
// variable table, the time and type words, and the limits on bad input.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "var/var.h"
#include "var/var_testing.h"

namespace {

constexpr int kMiss = -9999;

// What a test expects of one entry; null texts and kAny numbers are not checked.
constexpr int kAny = -12345;
struct Want {
  const char *name;
  const char *units = "";
  const char *format = "";
  int flag = 0;
  int time = kMiss;
  int type = kMiss;
};

class VarList : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    RES_reset_state();
    VAR_reset_state();
    RES_put("file_path", SOURCE_DIR "/share");
  }
  void TearDown() override {
    for (const std::string &f : files_) std::remove(f.c_str());
    VAR_reset_state();
    RES_reset_state();
    MESS_reset_state();
  }

  // Builds the list from `text` and returns what went to standard error.
  std::string Setup(const std::string &text, int *result = nullptr) {
    testing::internal::CaptureStderr();
    const int r = VAR_setup(nullptr, text.c_str());
    if (result) *result = r;
    return testing::internal::GetCapturedStderr();
  }

  // Definitions read from `text` as if it were the variable file.
  void Definitions(const std::string &text) {
    file_text_ = text;
    FILE *f = fmemopen(file_text_.data(), file_text_.size(), "r");
    ASSERT_NE(f, nullptr);
    VAR_read_file(f);
    std::fclose(f);
  }

  std::string TempFile(const std::string &text) {
    char name[] = "/tmp/var_test_XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    close(fd);
    std::ofstream(name) << text;
    files_.push_back(name);
    return name;
  }

  static void Expect(const std::vector<Want> &want) {
    ASSERT_EQ(VAR_get_num(), static_cast<int>(want.size()));
    const VAR_data *v = VAR_get_vars();
    for (std::size_t i = 0; i < want.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_STREQ(v[i].name, want[i].name);
      EXPECT_STREQ(v[i].units, want[i].units);
      EXPECT_STREQ(v[i].format, want[i].format);
      if (want[i].flag != kAny) {
        EXPECT_EQ(v[i].flag, want[i].flag);
      }
      if (want[i].time != kAny) {
        EXPECT_EQ(v[i].time, want[i].time);
      }
      if (want[i].type != kAny) {
        EXPECT_EQ(v[i].type, want[i].type);
      }
    }
  }

  std::string file_text_;
  std::vector<std::string> files_;
};

struct SyntaxCase {
  const char *text;
  std::vector<Want> want;
  const char *note;  // what goes to standard error
};

// Purpose: the item syntax: colon parts, parameter blocks, time and level parts,
// blanks and escapes, the heads of nested lists with their marks, and the
// texts that make no entry.
TEST_F(VarList, Syntax) {
  const SyntaxCase cases[] = {
      {"temp,dewp,rhum", {{"temp"}, {"dewp"}, {"rhum"}}, ""},
      {"temp:C", {{"temp", "C"}}, ""},
      {"temp[C::%5.1f]", {{"temp", "C", "%5.1f"}}, ""},
      {"temp:C::%6.1f", {{"temp", "C", "%6.1f"}}, ""},
      // the type slot is taken only by a type word or an empty part
      {"temp:C:%6.1f", {{"temp", "C", "%6.1f"}}, ""},
      {"temp:C:wind:%6.1f", {{"temp", "C", "%6.1f", 0, kMiss, 20}}, ""},
      {"temp[C:wind:%5.1f]", {{"temp", "C", "%5.1f", 0, kMiss, 20}}, ""},
      {"temp:::%5.1f:x", {{"temp", "", "%5.1f:x"}}, ""},
      {"temp[:C]", {{"temp", "", "C"}}, ""},  // "C" is no type word: the format
      {"temp:", {{"temp"}}, ""},
      {" t e m p , dewp ", {{"temp"}, {"dewp"}}, ""},
      {"anal-6acc::prec", {{"prec", "", "", 0, 4006000}}, ""},
      {"anal-24::prec:in", {{"prec", "in", "", 0, 2024000}}, ""},
      {"12:500:temp:C", {{"temp", "C", "", 0, 12}}, ""},
      {"temp:500:C", {{"temp", "500", "C", 0, kMiss}}, ""},  // "temp" is no time
      {"a\\,b,c", {{"a,b"}, {"c"}}, ""},
      {"a\\[x\\]", {{"a[x]"}}, ""},
      {"temp\\", {{"temp\\"}}, ""},
      {"+temp", {{"temp"}}, ""},
      {"#5", {{"#5", "", "", 0, kMiss, VAR_TYPE_NUMBER}}, ""},
      {"map,temp", {{"map", "", "", -1, kAny, -1}, {"temp"}}, ""},
      {"max(temp,dewp)[F]", {{"max", "F", "", 2}, {"temp", "", "", 10}, {"dewp", "", "", 10}}, ""},
      {"grp{temp,f(dewp)}",
       {{"grp", "", "", 5}, {"temp", "", "", 1}, {"f", "", "", 2}, {"dewp", "", "", 11}},
       ""},
      {"wind<u,v>,temp", {{"wind", "", "", 6}, {"u", "", "", 1}, {"v", "", "", 1}, {"temp"}}, ""},
      {"f(temp[C])", {{"f", "", "", 2}, {"temp", "", "", 10}}, ""},  // no blocks inside
      {"temp,[C]", {{"temp"}}, ""},  // a block with no entry of its own
      // edge cases that make nothing
      {"", {}, ""},
      {",,,", {}, ""},
      {"::::", {}, ""},
      {"[C]", {}, ""},
      {"+", {}, ""},
      // unmatched brackets stop with their note and keep what was made
      {"id,temp[C", {{"id"}, {"temp"}}, "Unmatched []\n"},
      {"id,f(temp,dewp", {{"id"}}, "Unmatched ()\n"},
      {"id,g{temp", {{"id"}}, "Unmatched {}\n"},
      {"id,v<temp", {{"id"}}, "Unmatched <>\n"},
      {"id,temp),dewp", {{"id"}}, "Unmatched ()\n"},
      {"id,temp]", {{"id"}}, "Unmatched []\n"},
      {"f(a,b)),c", {{"f", "", "", 2}, {"a", "", "", 10}, {"b", "", "", 10}}, "Unmatched ()\n"},
  };
  for (const SyntaxCase &c : cases) {
    SCOPED_TRACE(c.text);
    VAR_reset_state();
    int result = -1;
    EXPECT_EQ(Setup(c.text, &result), c.note);
    Expect(c.want);
    bool counted = false;
    for (const Want &w : c.want) counted |= w.flag >= 0;
    EXPECT_EQ(result, counted ? 1 : 0);
  }
}

// Purpose: names and texts are cut to their fields, never written past them.
TEST_F(VarList, LongTextsAreCut) {
  const std::string name(100, 'n');
  const std::string units(40, 'u');
  const std::string format = "%" + std::string(200, '9') + "f";
  Setup(name + ":" + units + "::" + format);
  ASSERT_EQ(VAR_get_num(), 1);
  const VAR_data &v = VAR_get_vars()[0];
  EXPECT_EQ(std::string(v.name), name.substr(0, VAR_NAME_SIZE - 1));
  EXPECT_EQ(std::string(v.units), units.substr(0, VAR_UNITS_SIZE - 1));
  EXPECT_EQ(std::string(v.format), format.substr(0, VAR_FORMAT_SIZE - 1));
}

// Purpose: the 60-entry limit: a text of 1,000 items keeps the first 60 and
// says once what it dropped.
TEST_F(VarList, SixtyEntries) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "v" + std::to_string(i) + ",";
  const std::string note = Setup(text);
  EXPECT_EQ(note, "VAR_process_var: More than 60 variables, v60 and later ones dropped\n");
  ASSERT_EQ(VAR_get_num(), VAR_MAX);
  EXPECT_STREQ(VAR_get_vars()[0].name, "v0");
  EXPECT_STREQ(VAR_get_vars()[VAR_MAX - 1].name, "v59");
  // Head entries count too; a new list starts empty again.
  Setup("a,b");
  EXPECT_EQ(VAR_get_num(), 2);
}

// Purpose: deep nesting stops with a note instead of exhausting the stack, and
// 10,000 unmatched openers end at once.
TEST_F(VarList, DeepNesting) {
  const std::string deep = std::string(10000, '(') + "temp" + std::string(10000, ')');
  EXPECT_EQ(Setup("id," + deep), "VAR_process: Brackets nested too deeply\n");
  EXPECT_EQ(VAR_get_num(), 1);  // id; the heads have no names
  EXPECT_EQ(Setup("id," + std::string(10000, '(')), "Unmatched ()\n");
  EXPECT_EQ(Setup(std::string(10000, '[')), "Unmatched []\n");
  EXPECT_EQ(Setup(std::string(10000, '{') + "x"), "Unmatched {}\n");
  // Named heads within the limit all count.
  std::string named;
  for (int i = 0; i < VAR_NEST_MAX; ++i) named += "f(";
  named += "temp" + std::string(VAR_NEST_MAX, ')');
  EXPECT_EQ(Setup(named), "");
  EXPECT_EQ(VAR_get_num(), VAR_NEST_MAX + 1);
  EXPECT_EQ(VAR_get_vars()[VAR_NEST_MAX].flag, 10 * VAR_NEST_MAX);
}

// Purpose: definitions of the variable file replace the items that name them,
// with the time of the item passed on, continuation lines joined, comments and
// empty lines skipped, and a last line without its newline read.
TEST_F(VarList, Definitions) {
  Definitions(
      "# comment line\n"
      "\n"
      "std   sfc value  temp:C::%5.1f, \\\n"
      "                 dewp\n"
      "Pr6   sfc value  prec:in::%4.2f\r\n"
      "two   sfc value  std,rhum\n"
      "empty sfc value\n"
      "last  sfc value  fr");
  std::string def;
  EXPECT_EQ(VAR_lookup("STD", def), 1);
  EXPECT_EQ(def, "temp:C::%5.1f, dewp");
  EXPECT_EQ(VAR_lookup("pr6", def), 1);
  EXPECT_EQ(def, "prec:in::%4.2f");
  EXPECT_EQ(VAR_lookup("last", def), 1);
  EXPECT_EQ(def, "fr");
  EXPECT_EQ(VAR_lookup("nothing", def), 0);
  EXPECT_EQ(def, "");
  EXPECT_EQ(VAR_lookup("#", def), 0);

  Setup("id,two,anal-6acc::pr6,+std,empty,last");
  Expect({{"id"},
          {"temp", "C", "%5.1f"},
          {"dewp"},
          {"rhum"},
          {"prec", "in", "%4.2f", 0, 4006000},
          {"std"},
          {"fr"}});
}

// Purpose: a definition that names itself, directly or through another, ends
// with one note after a bounded depth; many expansions end too.
TEST_F(VarList, SelfReferenceEnds) {
  Definitions("loop sfc value temp,loop\na x y b\nb x y a\n");
  EXPECT_EQ(Setup("loop"), "VAR_process_var: Definitions nested too deeply at loop\n");
  EXPECT_EQ(VAR_get_num(), VAR_BASE_MAX - 1);
  EXPECT_EQ(Setup("a,temp"), "VAR_process_var: Definitions nested too deeply at b\n");
  Expect({{"temp"}});

  // Each level multiplies the items by ten: expansions stop at VAR_EXPAND_MAX.
  // q -> r,r,... (ten times); r -> s,...; ... x -> (nothing)
  std::string file;
  for (char c = 'q'; c < 'x'; ++c) {
    file += std::string(1, c) + " x y ";
    for (int k = 0; k < 10; ++k) file += std::string(1, static_cast<char>(c + 1)) + ",";
    file += "\n";
  }
  file += "x x y\n";
  Definitions(file);
  EXPECT_EQ(Setup("id,q,temp"),
            "VAR_process_var: More than 1000 definitions expanded, x and later ones dropped\n");
  Expect({{"id"}});
}

// Purpose: "fi:NAME:" reads the definitions of another file; a missing variable
// file gives its warning and the list is built all the same.
TEST_F(VarList, VariableFiles) {
  const std::string path = TempFile("std sfc value temp,dewp\n");
  Setup("fi:" + path + ":id,std");
  Expect({{"id"}, {"temp"}, {"dewp"}});

  testing::internal::CaptureStderr();
  EXPECT_EQ(VAR_open_file("/nonexistent/none.var"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "VAR_open_file: Unable to open var file: /nonexistent/none.var\n");
  Setup("id,std");
  Expect({{"id"}, {"std"}});  // the earlier definitions are gone

  // The default file is named after the program, in the file path.
  RES_put("file_path", "/nonexistent");
  testing::internal::CaptureStderr();
  EXPECT_EQ(VAR_open_file(nullptr), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "VAR_open_file: Unable to open var file: /nonexistent/ZYP.var\n");

  // "fi:" without a closing colon: the whole rest names the file, no items.
  int result = -1;
  Setup("fi:" + path, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(VAR_get_num(), 0);
}

// Purpose: the variable table fills the entry's numbers; a missing table warns
// once and names still make entries.
TEST_F(VarList, VariableTable) {
  Setup("TEMP,thetae,nosuch");
  const VAR_data *v = VAR_get_vars();
  EXPECT_EQ(v[0].var[0], 4);
  EXPECT_EQ(v[0].var[1], 0);
  EXPECT_EQ(v[1].var[0], 54);
  EXPECT_EQ(v[2].var[0], kMiss);
  int num = 0;
  const VAR_desc *table = VAR_get_table(&num);
  EXPECT_EQ(num, 57);
  EXPECT_STREQ(table[0].abbr, "id");
  EXPECT_STREQ(table[0].name, "Station identifier");

  VAR_reset_state();
  RES_put("file_path", "/nonexistent");
  EXPECT_EQ(Setup("temp"), "VAR_setup: Unable to open variable table: /nonexistent/variable.lup\n");
  EXPECT_EQ(Setup("temp"), "");  // once
  Expect({{"temp"}});
}

// Purpose: the debug note of the list and of an empty one.
TEST_F(VarList, DebugNotes) {
  MESS_set(MESS_USER_SET, M_DEBUG);
  testing::internal::CaptureStdout();
  VAR_setup(nullptr, "temp:C::%5.1f");
  VAR_setup(nullptr, ",,");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "VAR 0: temp units=C type=-9999 time=-9999 level=-9999 format=%5.1f flag=0\n"
            "Unable to determine variables\n");
}

// Purpose: every type word and its code, in any case.
TEST(VarWords, Types) {
  const struct {
    const char *word;
    int type;
  } cases[] = {
      {"data", 1},   {"value", 2},  {"text", 3},   {"mark", 4},   {"mk", 4},     {"cont", 11},
      {"ln", 12},    {"dln", 13},   {"ndln", 14},  {"cf", 15},    {"lcf", 16},   {"gvalue", 17},
      {"wind", 20},  {"vect", 21},  {"barb", 22},  {"strm", 23},  {"track", 23}, {"plot", 30},
      {"cloud", 31}, {"wbarb", 32}, {"cbarb", 33}, {"dbarb", 34}, {"vbarb", 35}, {"symb", 36},
      {"wx", 36},    {"line", 37},  {"WIND", 20},  {"", -1},      {"winds", -1}, {"%5.1f", -1},
  };
  for (const auto &c : cases) EXPECT_EQ(VAR_dec_type(c.word), c.type) << c.word;
  EXPECT_EQ(VAR_dec_type(nullptr), -1);
}

// Purpose: the time forms and their codes, the range hours that "prec" reads.
TEST(VarWords, Times) {
  // clang-format off
  const struct {
    const char *text;
    int ok;
    int time;
  } cases[] = {
      {"anal", 1, 0},           {"anal-6acc", 1, 4006000}, {"ANAL-24max", 1, 6024000},
      {"anal-12", 1, 2012000},  {"anal-3rng", 1, 2003000}, {"anal-6avg", 1, 3006000},
      {"anal-6dif", 1, 5006000}, {"anal-6min", 1, 7006000}, {"anal-6iavg", 1, 13006000},
      {"anal-6var", 1, 18006000}, {"anal-6uavg", 1, 23006000}, {"anal-6xyz", 1, 2006000},
      {"anal-99999999999acc", 1, 4999000}, {"anal-", 0, kMiss}, {"analysis", 0, kMiss},
      {"time", 1, -1},          {"init", 1, -2},          {"in", 1, -3},
      {"miss", 1, kMiss},       {"h12", 1, 12},           {"d2", 1, 48},
      {"e1", 1, 36},            {"3day", 1, 72},          {"2.5day", 1, 60},
      {"36", 1, 36},            {"5000", 1, 999},         {"h", 0, kMiss},
      {"h12x", 0, kMiss},       {"12x", 0, kMiss},        {"", 0, kMiss},
      {"temp", 0, kMiss},       {"-6", 0, kMiss},
  };
  // clang-format on
  for (const auto &c : cases) {
    int time = 0;
    char tunits[VAR_TUNITS_SIZE];
    EXPECT_EQ(VAR_dec_time(c.text, &time, tunits), c.ok) << c.text;
    EXPECT_EQ(time, c.time) << c.text;
  }
}

// Purpose: the level forms.
TEST(VarWords, Levels) {
  int ltype = 0, level = 0;
  char lunits[VAR_TUNITS_SIZE];
  EXPECT_EQ(VAR_dec_level("sfc", &ltype, &level, lunits), 1);
  EXPECT_EQ(ltype, 1);
  EXPECT_EQ(VAR_dec_level("500", &ltype, &level, lunits), 1);
  EXPECT_EQ(ltype, 100);
  EXPECT_EQ(level, 500);
  EXPECT_STREQ(lunits, "mb");
  EXPECT_EQ(VAR_dec_level("xyz", &ltype, &level, lunits), 0);
  EXPECT_EQ(level, kMiss);
  EXPECT_EQ(VAR_dec_level("", &ltype, &level, lunits), 0);
}

}  // namespace
