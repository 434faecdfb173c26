#include "util/number.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "util/chars.h"

namespace {

struct IntCase {
  const char *text;
  bool ok;
  long value;
};

TEST(Number, ReadLongWholeText) {
  const IntCase cases[] = {
      {"42", true, 42},
      {"  -7", true, -7},
      {"+15", true, 15},
      {"12 \n", true, 12},
      {"", false, 0},
      {"  ", false, 0},
      {"-", false, 0},
      {"+-3", false, 0},
      {"--3", false, 0},
      {"12a", false, 0},
      {"1 2", false, 0},
      {"0x10", false, 0},
      {"9223372036854775807", true, LONG_MAX},
      {"-9223372036854775808", true, LONG_MIN},
      {"9223372036854775808", false, 0},
      {"-9223372036854775809", false, 0},
      {"99999999999999999999999", false, 0},
  };
  for (const IntCase &c : cases) {
    long v = -1;
    EXPECT_EQ(zyp::read_long(c.text, v), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(v, c.ok ? c.value : -1) << '"' << c.text << "\" left unchanged when refused";
  }
}

TEST(Number, ReadIntRefusesWhatDoesNotFitAnInt) {
  int v = 5;
  EXPECT_TRUE(zyp::read_int("2147483647", v));
  EXPECT_EQ(v, INT_MAX);
  EXPECT_FALSE(zyp::read_int("2147483648", v));
  EXPECT_FALSE(zyp::read_int("-2147483649", v));
  EXPECT_EQ(v, INT_MAX);
}

TEST(Number, PrefixReadersTellWhatTheyUsed) {
  long v = 0;
  EXPECT_EQ(zyp::read_long_prefix(" 12Z", v), 3u);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(zyp::read_long_prefix("Z12", v), 0u);
  EXPECT_EQ(zyp::read_long_prefix("ff", v, 16), 2u);
  EXPECT_EQ(v, 255);
  double d = 0;
  EXPECT_EQ(zyp::read_double_prefix("-1.5e2mb", d), 6u);
  EXPECT_DOUBLE_EQ(d, -150.0);
  EXPECT_EQ(zyp::read_double_prefix(".5", d), 2u);
  EXPECT_DOUBLE_EQ(d, 0.5);
}

TEST(Number, DoublesAreFiniteDecimals) {
  const struct {
    const char *text;
    bool ok;
    double value;
  } cases[] = {
      {"3.25", true, 3.25}, {" -0.5 ", true, -0.5}, {"+2", true, 2.0},   {"1e3", true, 1000.0},
      {"inf", false, 0},    {"nan", false, 0},      {"-inf", false, 0},  {"1e999", false, 0},
      {"", false, 0},       {".", false, 0},        {"1.2.3", false, 0}, {"0x1p3", false, 0},
  };
  for (const auto &c : cases) {
    double v = -9;
    EXPECT_EQ(zyp::read_double(c.text, v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
  float f = 0;
  EXPECT_FALSE(zyp::read_float("1e39", f));
  EXPECT_TRUE(zyp::read_float("1e38", f));
  // Too small for a float is refused too, zero itself and the smallest floats are not.
  struct FloatCase {
    const char *text;
    bool ok;
    float value;
  } const floats[] = {
      {"1e-50", false, 0},
      {"-1e-50", false, 0},
      {"0", true, 0},
      {"-0.0", true, 0},
      {"1e-40", true, 1e-40f},
      {"1.5e-45", true, 1.5e-45f},
      {"3.4028234e38", true, 3.4028234e38f},
  };
  for (const FloatCase &c : floats) {
    float v = -1;
    EXPECT_EQ(zyp::read_float(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : -1.0f) << c.text;
  }
}

TEST(Number, LeadingReadersActLikeAtoiWithoutItsOverflow) {
  EXPECT_EQ(zyp::leading_int("17abc"), 17);
  EXPECT_EQ(zyp::leading_int("abc"), 0);
  EXPECT_EQ(zyp::leading_int("99999999999"), 0);
  EXPECT_DOUBLE_EQ(zyp::leading_double(" 2.5in"), 2.5);
  EXPECT_DOUBLE_EQ(zyp::leading_double("x"), 0.0);
}

TEST(Number, ExactReadersTakeNothingButTheNumber) {
  struct Case {
    const char *text;
    bool is_long;
    long value;
    bool is_double;
    double dvalue;
  } const cases[] = {
      {"42", true, 42, true, 42},
      {"-7", true, -7, true, -7},
      {"+7", true, 7, true, 7},
      {"2.5", false, 0, true, 2.5},
      {" 42", false, 0, false, 0},  // white space before
      {"42 ", false, 0, false, 0},  // or after
      {"42\v", false, 0, false, 0},
      {"", false, 0, false, 0},
      {"9223372036854775807", true, 9223372036854775807L, true, 9223372036854775807.0},
      {"9223372036854775808", false, 0, true, 9223372036854775808.0},
      {"1e400", false, 0, false, 0},
      {"0x10", false, 0, false, 0},
  };
  for (const Case &c : cases) {
    long l = -1;
    double d = -1;
    EXPECT_EQ(zyp::read_long_exact(c.text, l), c.is_long) << c.text;
    EXPECT_EQ(l, c.is_long ? c.value : -1) << c.text;
    EXPECT_EQ(zyp::read_double_exact(c.text, d), c.is_double) << c.text;
    EXPECT_EQ(d, c.is_double ? c.dvalue : -1) << c.text;
  }
}

TEST(Chars, TwoKindsOfBlankAndNoHighBitClasses) {
  EXPECT_TRUE(zyp::is_blank('\t'));
  EXPECT_FALSE(zyp::is_blank('\n'));
  for (char c : std::string(" \t\n\v\f\r")) EXPECT_TRUE(zyp::is_space(c)) << int(c);
  const char high = static_cast<char>(0xC9);
  EXPECT_FALSE(zyp::is_alpha(high) || zyp::is_digit(high) || zyp::is_space(high) ||
               zyp::is_control(high));
  EXPECT_TRUE(zyp::is_control('\x1e'));
  EXPECT_TRUE(zyp::is_control('\x7f'));
}

}  // namespace
