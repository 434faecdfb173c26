#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "util/util.h"

namespace {

using EditFn = int (*)(char *);

struct EditCase {
  const char *name;
  EditFn fn;
  const char *in;
  const char *out;
};

int strip_a(char *s) { return strip_string(s, 'a'); }
int fill_ab(char *s) { return fill_string(s, 'a', 'b'); }

TEST(UtilEdit, InPlaceEditing) {
  const EditCase cases[] = {
      {"fill", fill_ab, "banana", "bbnbnb"},
      {"strip", strip_a, "banana", "bnn"},
      {"wstrim", wstrim_string, "a\rb\nc  \r\n", "abc"},
      {"trim", trim_string, "  ab \t  ", "  ab \t"},
      {"trim_cr", trim_cr_string, "ab\r\r", "ab"},
      {"strip_spaces", strip_spaces, "  KDEN   121756Z  ", " KDEN 121756Z"},
      {"strip_escape", strip_escape, "\\,a", ",a"},
      {"strip_escape_double", strip_escape, "a\\\\b", "a\\b"},
      {"strip_escape_trailing", strip_escape, "ab\\", "ab"},
      {"low", low_string, "KDEN-Ab", "kden-ab"},
  };
  for (const EditCase &c : cases) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s", c.in);
    c.fn(buf);
    EXPECT_STREQ(buf, c.out) << c.name;
  }
}

TEST(UtilEdit, LowStringResult) {
  char empty[1] = "";
  EXPECT_EQ(low_string(nullptr), 0);
  EXPECT_EQ(low_string(empty), 0);
}

TEST(UtilEdit, CleanLine) {
  // Trailing control bytes are cut; a high byte ending the text becomes a blank;
  // earlier control and high bytes become blanks; trailing blanks stay.
  unsigned char a[] = "KDEN\x01 12\xe9Z \r\r\n";
  EXPECT_EQ(clean_line(a), 1);
  EXPECT_STREQ(reinterpret_cast<char *>(a), "KDEN  12 Z ");
  unsigned char b[] = "AB\xff\r\n";
  clean_line(b);
  EXPECT_STREQ(reinterpret_cast<char *>(b), "AB ");
  unsigned char c[] = "\r\n";
  clean_line(c);
  EXPECT_STREQ(reinterpret_cast<char *>(c), "");
  unsigned char d[] = "";
  EXPECT_EQ(clean_line(d), 0);
}

TEST(UtilEdit, Strmcat) {
  char buf[16] = "abc";
  EXPECT_EQ(strmcat(buf, "defgh", 6), 1);
  EXPECT_STREQ(buf, "abcdef");
  EXPECT_EQ(strmcat(buf, "x", 6), 0);  // already m characters
  EXPECT_STREQ(buf, "abcdef");
  EXPECT_EQ(strmcat(nullptr, "x", 6), 0);
  EXPECT_EQ(strmcat(buf, "xy", 10), 1);
  EXPECT_STREQ(buf, "abcdefxy");
}

TEST(UtilCompare, Stricmp) {
  EXPECT_EQ(stricmp("all", "ALL"), 0);
  EXPECT_EQ(stricmp(nullptr, "a"), 1);
  EXPECT_EQ(stricmp("a", nullptr), 1);
  EXPECT_LT(stricmp("abc", "abd"), 0);
  EXPECT_GT(stricmp("abcd", "ABC"), 0);
}

TEST(UtilCompare, Strnicmp) {
  EXPECT_EQ(strnicmp("iden", "identifier", 4), 0);  // abbreviation
  EXPECT_NE(strnicmp("idx", "identifier", 3), 0);
  EXPECT_EQ(strnicmp("a", "abc", 0), 0);  // at least one character is compared
  EXPECT_NE(strnicmp("b", "abc", 0), 0);
  EXPECT_EQ(strnicmp("ab", "AB", 10), 0);
}

TEST(UtilLists, ParseString) {
  struct Case {
    const char *in;
    char delim;
    int result;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"a,,b,", ',', 0, {"a", "", "b"}},
      {",,,", ',', 0, {""}},
      {"", ',', -1, {}},
      {nullptr, ',', -1, {}},
      {",a", ',', 0, {"", "a"}},
      {" a , b", ',', 0, {" a ", " b"}},
      {"x,y\nz", '\n', 0, {"x,y", "z"}},
  };
  for (const Case &c : cases) {
    ParsedList items{"stale"};
    EXPECT_EQ(parse_string(c.in, c.delim, items), c.result) << (c.in ? c.in : "(null)");
    EXPECT_EQ(items, c.items) << (c.in ? c.in : "(null)");
  }
}

TEST(UtilLines, FgetnlineReadsPiecesAndEmptyLines) {
  FILE *f = std::tmpfile();
  std::fputs("0123456789\n\nabc\n", f);
  std::rewind(f);
  char buf[8];
  EXPECT_EQ(fgetnline(f, buf, 4), 4);
  EXPECT_STREQ(buf, "0123");
  EXPECT_EQ(fgetnline(f, buf, 4), 4);
  EXPECT_EQ(fgetnline(f, buf, 4), 2);
  EXPECT_STREQ(buf, "89");
  EXPECT_EQ(fgetnline(f, buf, 4), 0);  // the empty line
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(fgetnline(f, buf, 4), 3);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(fgetnline(f, buf, 4), -1);
  std::fclose(f);
}

TEST(UtilLines, FgetstringResults) {
  FILE *f = std::tmpfile();
  std::fputs("x\n\nlast", f);
  std::rewind(f);
  char buf[8];
  EXPECT_EQ(fgetstring(f, buf, 7), 1);
  EXPECT_EQ(fgetstring(f, buf, 7), 0);
  EXPECT_EQ(fgetstring(f, buf, 7), 1);
  EXPECT_STREQ(buf, "last");
  EXPECT_EQ(fgetstring(f, buf, 7), -1);
  std::fclose(f);
}

TEST(UtilSystem, SleepAndVersion) {
  EXPECT_EQ(ZYP_sleep(0), -1);
  EXPECT_EQ(ZYP_sleep(-1), -1);
  float before = ZYP_slept();
  EXPECT_EQ(ZYP_sleep(0.001f), 0);
  // The count is a float that earlier tests of the same process may have made large.
  EXPECT_NEAR(ZYP_slept() - before, 0.001f, 1e-4f);
  EXPECT_STREQ(ZYP_version(), "5.60.2-LINUX-X11");
}

// Purpose: the counted variant cleans what clean_line cleans, and treats NUL bytes
// inside the count as control bytes: an inner one becomes a blank, trailing ones
// are cut; nothing at or after the count is touched.
TEST(UtilEdit, CleanLineCounted) {
  const char *texts[] = {"KDEN\x01 12\xe9Z \r\r\n", "AB\xff\r\n", "\r\n", "KDEN 121853Z",
                         "\x7f\x1f"};
  for (const char *t : texts) {
    std::string a(t), b(t);
    clean_line(reinterpret_cast<unsigned char *>(a.data()));
    EXPECT_EQ(clean_line_n(reinterpret_cast<unsigned char *>(b.data()), b.size()), 1);
    EXPECT_STREQ(a.c_str(), b.c_str()) << t;
  }
  unsigned char inner[] = "AB\0CD\0\0\x05\x90XY";
  EXPECT_EQ(clean_line_n(inner, 8), 1);  // "AB", NUL, "CD", NUL, NUL, \x05
  EXPECT_EQ(std::memcmp(inner, "AB CD\0\0\0\x90XY", 11), 0);
  unsigned char high_last[] = "AB\0\xe9\x01";
  clean_line_n(high_last, 5);
  EXPECT_EQ(std::memcmp(high_last, "AB  \0", 6), 0);
  EXPECT_EQ(clean_line_n(nullptr, 3), 0);
  EXPECT_EQ(clean_line_n(inner, 0), 0);
}

}  // namespace
