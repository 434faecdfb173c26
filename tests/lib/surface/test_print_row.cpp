#include <gtest/gtest.h>

#include <cstdarg>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "surface/print_row.h"

namespace {

using sfc_print::FormatFixed;
using sfc_print::kFixedSize;
using sfc_print::Row;

std::string Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char *format, ...) {
  char buf[kFixedSize + 16];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  return buf;
}

std::string Fixed(double v, int prec) {
  char buf[kFixedSize];
  const std::size_t n = FormatFixed(v, prec, buf);
  return std::string(buf, n);
}

// Purpose: the fast writer of fixed-point numbers gives exactly what printf gives,
// ties (rounded to even), signs of values that round to zero and the fallback
// cases included.
TEST(FormatFixed, MatchesPrintfOnChosenValues) {
  // clang-format off
  const double values[] = {
      0.0, -0.0,                     // the sign of zero is kept: "-0"
      0.5, 1.5, 2.5, -0.5, -2.5,     // exact ties at precision 0 go to even
      0.25, 0.75, 0.125, 0.375,      // exact ties at precisions 1 and 2
      0.05f, 0.15f, 0.35f, 1.005f,   // near ties that are not exact
      -0.04, -0.004f,                // negatives that round to zero: "-0.0"
      29.92f, 1013.2f, 1009.8f,      // typical pressures
      -9999.0f, 9999.5, 99999.0f,    // the missing value; wider than any column
      1.0e14, 9.99e14, 1.0e15,       // the edge of the fast path
      3.4e38f, -3.4e38f, 1.0e300,    // far beyond it
      12.34, 0.1, 2.675,             // doubles that are no float: printf itself
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<float>::denorm_min(),
  };
  // clang-format on
  for (double v : values) {
    for (int prec = 0; prec <= 2; ++prec) {
      SCOPED_TRACE(Printf("%.17g", v) + " prec " + std::to_string(prec));
      EXPECT_EQ(Fixed(v, prec), Printf("%.*f", prec, v));
    }
  }
}

// Purpose: the same over many single-precision values of the ranges reports hold
// and over arbitrary bit patterns.
TEST(FormatFixed, MatchesPrintfOnManyFloats) {
  std::mt19937 gen(20240607);
  std::uniform_real_distribution<float> report_range(-2000.0f, 2000.0f);
  std::uniform_int_distribution<std::uint32_t> bits;
  int mismatches = 0;
  for (int i = 0; i < 200000 && mismatches < 5; ++i) {
    float v;
    if (i % 2 == 0) {
      v = report_range(gen);
    } else {
      const std::uint32_t b = bits(gen);
      std::memcpy(&v, &b, sizeof v);
    }
    // Values on a grid of hundredths and halves hit the exact ties.
    if (i % 5 == 0) v = std::round(v * 4.0f) / 8.0f;
    for (int prec = 0; prec <= 2; ++prec) {
      const std::string want = Printf("%.*f", prec, v);
      const std::string got = Fixed(v, prec);
      if (got != want) {
        ++mismatches;
        ADD_FAILURE() << Printf("%.9g", v) << " prec " << prec << ": " << got << " != " << want;
      }
    }
  }
}

// Purpose: integers with the precision, zero and left flags as printf writes them.
TEST(RowInt, MatchesPrintf) {
  const long long values[] = {0, 5, 53, 1753, 12345, -1, -53, -9999, INT_MAX, INT_MIN};
  for (long long v : values) {
    SCOPED_TRACE(v);
    char want[64];
    Row row;
    row.Int("%4.4d ", v);
    std::snprintf(want, sizeof want, "%4.4d ", static_cast<int>(v));
    EXPECT_EQ(row.view(), want);
    row.Clear();
    row.Int("%03d ", v);
    std::snprintf(want, sizeof want, "%03d ", static_cast<int>(v));
    EXPECT_EQ(row.view(), want);
    row.Clear();
    row.Int("[%-6d]", v);
    std::snprintf(want, sizeof want, "[%-6d]", static_cast<int>(v));
    EXPECT_EQ(row.view(), want);
    row.Clear();
    row.Int("level %d: ", v);
    std::snprintf(want, sizeof want, "level %d: ", static_cast<int>(v));
    EXPECT_EQ(row.view(), want);
  }
}

// Purpose: numbers padded to the width of the format, with its text around them.
TEST(RowNum, WidthAndSurroundingText) {
  struct Case {
    double v;
    const char *want;
  };
  const Case cases[] = {
      {1013.2f, " 1013.2 "},    // " %6.1f "
      {-9999.0f, " -9999.0 "},  // wider than the width: nothing is cut
      {5.0f, "    5.0 "},
  };
  for (const Case &c : cases) {
    Row row;
    row.Num(" %6.1f ", c.v);
    EXPECT_EQ(row.view(), c.want);
  }
  Row row;
  row.Num("[%-5.1f]", 2.5);
  row.Num("[%05.1f]", -2.5);
  EXPECT_EQ(row.view(), "[2.5  ][-02.5]");
}

// Purpose: text fields with width and precision, and code bytes.
TEST(RowStr, WidthPrecisionAndCodes) {
  Row row;
  row.Str("%-6.6s ", "KDEN");
  row.Str("%-6.6s ", "ABCDEFGHIJ");  // cut to six
  row.Str("%5.5s ", "-SHRA_BR");
  row.Str("%4s|", "");
  row.Char('\0');  // a zero byte shows as a blank
  row.Char('8');
  EXPECT_EQ(row.view(), "KDEN   ABCDEF -SHRA     | 8");
  EXPECT_STREQ(row.c_str(), "KDEN   ABCDEF -SHRA     | 8");
}

// Purpose: a line never grows past its buffer, however much is appended.
TEST(Row, StopsAtCapacity) {
  Row row;
  const std::string chunk(100, 'x');
  for (int i = 0; i < 20; ++i) row.Text(chunk);
  row.Num("%10.2f", 3.4e38f);
  row.Str("%30s", "tail");
  EXPECT_EQ(row.view().size(), Row::kCapacity);
  EXPECT_EQ(std::strlen(row.c_str()), Row::kCapacity);
}

}  // namespace
