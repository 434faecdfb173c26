// The variable-list line (line format 6): every name of its table on one real
// report, unit conversion, print formats and their checks, missing values, the
// header, the flight category, the precipitation by time, and the dispatch.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "calc/calc.h"
#include "calc/calc_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/print_var.h"
#include "surface/report.h"
#include "var/var.h"
#include "var/var_testing.h"
#include "print_fixture.h"

namespace {

using print_fixture::Capture;
using print_fixture::DecodedKTVC;
using print_fixture::Fresh;
using print_fixture::PrinterTest;

// The station's elevation, 190 m (624 ft), as a station database or a converted
// file gives it; raw reports carry none.
constexpr float kKTVCElevation = 190.0f;

SFC_report KTVC(bool with_elevation = true) {
  SFC_report r = DecodedKTVC();
  if (with_elevation) r.elev = kKTVCElevation;
  return r;
}

class PrintVar : public PrinterTest {
 protected:
  // The row of `r` for the list `text`.
  static std::string Row(const std::string &text, const SFC_report &r) {
    VAR_setup(nullptr, text.c_str());
    return Capture([&] { SFC_print_var(M_PRINT & M_SUB_A, &r); });
  }
};

struct NameCase {
  const char *item;
  const char *column;  // as printed, with its blank
};

// Purpose: every name of the variable-list line on one real report, against
// values worked out by hand from the report (the derived quantities with the
// formulas of the calc module evaluated independently, in double precision).
TEST_F(PrintVar, EveryNameOnARealReport) {
  const SFC_report r = KTVC();
  // clang-format off
  const NameCase cases[] = {
      {"id", "KTVC   "},
      {"CITY", "KTVC   "},
      {"otime", "  2353 "},
      {"temp", "    32 "},                // "%4.0f" of 32 F
      {"temp::%.1f", "  32.0 "},
      {"dewp::%.2f", " 28.04 "},          // -2.2 C
      {"dewd::%.2f", "  3.96 "},          // 32 - 28.04
      {"wdir", "   240 "},
      {"wspd", "     8 "},
      {"wgst", "       "},                // no gust
      {"alt::%.2f", " 29.68 "},
      {"pres::%.1f", "1005.6 "},
      {"wx", "!-SN_B "},                  // the stored text, cut to six
      {"saowx", "    S- "},               // light snow
      {"txtwx", "light snow "},           // whole, then a blank
      {"vis::%.1f", "   1.0 "},
      {"cldcl", "    14 "},               // 1,400 ft in hundreds of feet
      {"cldcv", "   OVC "},
      {"ptend::%.1f", "  -0.2 "},
      {"prec1::%.2f", "  0.03 "},
      {"prec3", "       "},
      {"prec6::%.2f", "  0.09 "},
      {"prec12", "       "},
      {"prec24", "       "},
      {"prec::%.2f", "  0.09 "},          // no range: 24, else 12, else 6 hours
      {"extt", "       "},                // no 24-hour extremes
      {"maxt", "       "},
      {"maxt6::%.2f", " 33.08 "},         // 0.6 C
      {"mint", "       "},
      {"mint6::%.2f", " 30.92 "},         // -0.6 C
      {"snwdp", "     3 "},
      {"nlcld", "       "},               // codes not reported: blanks
      {"lcld", "       "},
      {"mcld", "       "},
      {"hcld", "       "},
      {"solar", "       "},
      {"sst", "       "},
      {"wavper", "       "},
      {"wavhgt", "       "},
      // Derived, from T = 273.15 K, Td = 270.95 K, wind 4.1152 m/s and the
      // station pressure 1004.786 mb x (1 - 0.0065 x 190 / 288.15)^5.2558 =
      // 982.358 mb.
      {"vpres::%.3f", " 5.194 "},         // 5.19383
      {"svpres::%.3f", " 6.103 "},        // 6.10314
      {"wchilt::%.2f", "266.28 "},        // 266.28057
      {"wchill2::%.2f", "268.79 "},       // 268.79431
      {"wchilf::%.1f", "1021.4 "},        // 1021.41444
      {"heat::%.2f", "269.58 "},          // 269.57524 (17.6 F + 0.0936 x 85.1)
      {"humit::%.2f", " 32.00 "},         // vapour pressure below 21 mb: T in F
      {"mrat::%.3f", " 3.306 "},          // 3.30606
      {"smrat::%.3f", " 3.888 "},         // 3.88849
      {"shum::%.3f", " 3.289 "},          // 3.28858
      {"rhum::%.2f", " 85.10 "},          // 85.10081
      {"wetblb::%.1f", " 272.3 "},        // 272.29086
      {"thetaw::%.1f", " 273.2 "},        // 273.22836
      {"thetae::%.1f", " 283.6 "},        // 283.58061
      {"thetav::%.2f", "275.10 "},        // 275.09683
      {"theta::%.2f", "274.54 "},         // 274.54406
      {"vtemp::%.2f", "273.70 "},         // 273.69996
      {"fr", "   IFR "},                  // 1 mile
      {"rmk", "AO2 SNINCR 1/3  "},        // whole, then a blank
      {"nosuch", "       "},
  };
  // clang-format on
  for (const NameCase &c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(Row(c.item, r), std::string(c.column) + "\n");
  }
}

// Purpose: conversion to the units asked for, through the shipped units file,
// on the same report.
TEST_F(PrintVar, UnitsOnARealReport) {
  const SFC_report r = KTVC();
  // clang-format off
  const NameCase cases[] = {
      {"temp:C::%.1f", "   0.0 "},
      {"dewp:C::%.1f", "  -2.2 "},
      {"temp:K::%.2f", "273.15 "},
      {"wspd:m/s::%.2f", "  4.12 "},      // x 0.5144444
      {"wspd:mph::%.1f", "   9.2 "},
      {"alt:mb::%.1f", "1005.1 "},        // x 33.86389
      {"pres:in_Hg::%.2f", " 29.70 "},
      {"vis:km::%.2f", "  1.61 "},
      {"cldcl:m", "   427 "},             // 14 x 30.48
      {"cldcl:ft", "  1400 "},
      {"prec6:mm::%.2f", "  2.29 "},
      {"maxt6:C::%.1f", "   0.6 "},
      {"wdir:rad::%.3f", " 4.189 "},
      {"thetae:C::%.1f", "  10.4 "},
      {"heat:F::%.1f", "  25.6 "},
      {"temp[C::%5.1f]", "   0.0 "},
      {"temp:c::%.1f", "   0.0 "},      // unit names in any case
  };
  // clang-format on
  for (const NameCase &c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(Row(c.item, r), std::string(c.column) + "\n");
  }
  // Several columns in several units in one row, twice: the same texts.
  const std::string row = Row("id,temp:C::%.1f,wspd:m/s::%.2f,vis:km::%.2f,cldcl:m", r);
  EXPECT_EQ(row, "KTVC      0.0   4.12   1.61    427 \n");
  EXPECT_EQ(Capture([&] { SFC_print_var(M_PRINT & M_SUB_A, &r); }), row);
}

// Purpose: without an elevation (raw reports) the station pressure is missing,
// and so is every quantity that needs it; the others still print.
TEST_F(PrintVar, NoElevationNoPressure) {
  const SFC_report r = KTVC(false);
  EXPECT_EQ(Row("mrat,smrat,shum,wetblb,thetaw,thetae,thetav,theta,vtemp", r),
            std::string(9 * 7, ' ') + "\n");
  EXPECT_EQ(Row("rhum,vpres::%.1f", r), "    85    5.2 \n");
}

// Purpose: the header: names, then units, each "%6.6s "; the edge case list
// id,temp,dewp,rhum with its row.
TEST_F(PrintVar, HeaderAndRow) {
  VAR_setup(nullptr, "id,temp:C,dewp:C,rhum,averyverylongname:abcdefghij");
  EXPECT_EQ(Capture([] { SFC_print_var(M_PRINT & M_SUB_C, nullptr); }),
            "    id   temp   dewp   rhum averyv \n"
            "            C      C        abcdef \n");
  EXPECT_EQ(Row("id,temp,dewp,rhum", KTVC()), "KTVC       32     28     85 \n");
  VAR_setup(nullptr, "");
  EXPECT_EQ(Capture([] { SFC_print_var(M_PRINT & M_SUB_C, nullptr); }), "\n\n");
}

// Purpose: missing values in every kind of column, with blanks and with dashes;
// an empty identifier.
TEST_F(PrintVar, MissingValues) {
  const SFC_report r = Fresh("");
  const std::string list = "id,otime,temp,thetae,nosuch,cldcv,fr,wx,txtwx,rmk,lcld";
  // clang-format off
  EXPECT_EQ(Row(list, r),
            "       " "       " "       " "       " "       " "     M " "   VFR " "       "
            " " " " "       \n");
  SFC_set_miss_dash(1);
  EXPECT_EQ(Row(list, r),
            " -     " "     - " "     - " "     - " "     - " "     M " "   VFR " "       "
            " " " " "       \n");
  // clang-format on
}

// Purpose: the format of a value: one float conversion with bounded width and
// precision, anything else "%4.0f" (so no text reaches printf unchecked).
TEST_F(PrintVar, FormatsAreChecked) {
  const struct {
    const char *format;
    bool ok;
  } cases[] = {
      {"%f", true},      {"%5.1f", true},       {"%-+8.3e", true}, {"%g", true},
      {"%G", true},      {"%E", true},          {"%F", true},      {"%lf", true},
      {"%.f", true},     {"%030.10f", true},    {"% #5.2f", true}, {"%30f", true},
      {"%s", false},     {"%n", false},         {"%d", false},     {"%%%f", false},
      {"%%", false},     {"%1000f", false},     {"%31f", false},   {"%.11f", false},
      {"%.100f", false}, {"%5.1f%5.1f", false}, {"%f%n", false},   {"%*f", false},
      {"%.*f", false},   {"%Lf", false},        {"%hf", false},    {"%5.1fC", false},
      {"x%f", false},    {"%", false},          {"%-", false},     {"", false},
      {"%1$f", false},   {"%a", false},         {"%c", false},     {"%p", false},
      {"%lld", false},   {"%ls", false},        {"%5..1f", false}, {"%.1.1f", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(SFC_float_format_ok(c.format), c.ok ? 1 : 0);
    char str[SFC_PRINT_STR_SIZE];
    SFC_set_print_str(12.5f, "F", "", c.format, str, sizeof str);
    if (!c.ok) {
      EXPECT_STREQ(str, "  12");  // "%4.0f": 12.5 rounds to even
    }
  }
  EXPECT_EQ(SFC_float_format_ok(nullptr), 0);
  EXPECT_EQ(Row("temp::%s,dewp::%n,wdir::%d,wspd::%1000f", KTVC()),
            "    32     28    240      8 \n");
}

// Purpose: SFC_set_print_str: missing values, no conversion without output units,
// conversion exactly as UNIT_cvt gives it for every value of several pairs met
// in turn, a small buffer, and the widest texts a checked format can make.
TEST_F(PrintVar, SetPrintStr) {
  char str[SFC_PRINT_STR_SIZE];
  EXPECT_EQ(SFC_set_print_str(-9999.0f, "F", "C", "%5.1f", str, sizeof str), 0);
  EXPECT_STREQ(str, "");
  SFC_set_miss_dash(1);
  SFC_set_print_str(-9999.0f, "F", "C", "%5.1f", str, sizeof str);
  EXPECT_STREQ(str, " -");
  SFC_set_print_str(72.0f, "F", "", "%5.1f", str, sizeof str);
  EXPECT_STREQ(str, " 72.0");
  SFC_set_print_str(72.0f, "F", nullptr, nullptr, str, sizeof str);
  EXPECT_STREQ(str, "  72");

  const char *pairs[][2] = {{"F", "C"}, {"knt", "m/s"},  {"mi", "km"},    {"100ft", "m"},
                            {"F", "K"}, {"in_Hg", "mb"}, {"100_ft", "ft"}};
  for (int k = 0; k < 200; ++k) {
    const float v = -40.0f + 0.37f * static_cast<float>(k);
    for (const auto &p : pairs) {
      SFC_set_print_str(v, p[0], p[1], "%.9g", str, sizeof str);
      char want[SFC_PRINT_STR_SIZE];
      std::snprintf(want, sizeof want, "%.9g", static_cast<double>(UNIT_cvt(v, p[0], p[1])));
      EXPECT_STREQ(str, want) << v << " " << p[0] << " " << p[1];
    }
  }

  char small[4];
  SFC_set_print_str(12345.0f, "F", "", "%f", small, sizeof small);
  EXPECT_STREQ(small, "123");
  SFC_set_print_str(3.0e38f, "F", "", "%-+#30.10f", str, sizeof str);
  EXPECT_EQ(std::strlen(str), 51u);  // sign, 39 digits, point, 10 decimals
}

// Purpose: values written without printf (plain "%W.Pf" formats) come out as
// printf writes them, for values of every size, signs, halves and all the
// precisions a format may have; the other checked formats go to printf itself.
TEST_F(PrintVar, FormatsWriteAsPrintf) {
  const char *formats[] = {"%4.0f",   "%f",     "%.f",     "%5.1f", "%-7.2f", "%.3f",
                           "%12.10f", "%30.1f", "%-30.0f", "%lf",   "%+5.1f", "%05.1f",
                           "% .2f",   "%#.0f",  "%8.3e",   "%g",    "%F",     "%.10f"};
  const float values[] = {0.0f,    -0.0f,    0.5f,         1.5f,   2.5f,     -2.5f,      0.05f,
                          0.125f,  0.375f,   29.92f,       -40.0f, 1013.25f, 272.29086f, 1e-7f,
                          3.0e38f, -3.0e38f, 123456789.0f, 0.045f, 99.995f,  -0.004f,    1e10f};
  for (const char *fmt : formats) {
    for (float v : values) {
      char got[SFC_PRINT_STR_SIZE], want[SFC_PRINT_STR_SIZE];
      SFC_set_print_str(v, "F", "", fmt, got, sizeof got);
      // The formats come from the fixed table above; printf itself gives the answer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      std::snprintf(want, sizeof want, fmt, static_cast<double>(v));
#pragma GCC diagnostic pop
      EXPECT_STREQ(got, want) << fmt << " " << v;
    }
  }
  char small[5];
  SFC_set_print_str(3.5f, "F", "", "%-10.1f", small, sizeof small);
  EXPECT_STREQ(small, "3.5 ");
  SFC_set_print_str(3.5f, "F", "", "%10.1f", small, sizeof small);
  EXPECT_STREQ(small, "    ");
}

// Purpose: "prec" takes the hours of the variable's time; without a range the
// first present of 24, 12 and 6 hours.
TEST_F(PrintVar, PrecipitationByTime) {
  SFC_report r = Fresh();
  r.rain3 = 0.03f;
  r.rain6 = 0.06f;
  r.rain12 = 0.12f;
  r.rain24 = 0.24f;
  const NameCase cases[] = {
      {"anal-3acc::prec::%.2f", "  0.03 "},  {"anal-6acc::prec::%.2f", "  0.06 "},
      {"anal-12acc::prec::%.2f", "  0.12 "}, {"anal-24acc::prec::%.2f", "  0.24 "},
      {"anal-1acc::prec::%.2f", "  0.24 "},  {"prec::%.2f", "  0.24 "},
      {"h6::prec::%.2f", "  0.24 "},  // a forecast hour, no range
  };
  for (const NameCase &c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(Row(c.item, r), std::string(c.column) + "\n");
  }
  r.rain24 = SFC_MISSING_F;
  EXPECT_EQ(Row("prec::%.2f", r), "  0.12 \n");
  r.rain12 = SFC_MISSING_F;
  EXPECT_EQ(Row("prec::%.2f", r), "  0.06 \n");
  r.rain6 = SFC_MISSING_F;
  EXPECT_EQ(Row("prec::%.2f", r), "       \n");
  EXPECT_EQ(Row("anal-3acc::prec::%.2f", r), "  0.03 \n");
}

// Purpose: the 24-hour extreme: maximum, else minimum, else missing.
TEST_F(PrintVar, Extreme) {
  SFC_report r = Fresh();
  EXPECT_EQ(Row("extt", r), "       \n");
  r.min_t = 10.0f;
  EXPECT_EQ(Row("extt", r), "    10 \n");
  r.max_t = 40.0f;
  EXPECT_EQ(Row("extt", r), "    40 \n");
}

// Purpose: the flight category by ceiling and visibility.
TEST_F(PrintVar, FlightCategory) {
  const struct {
    const char *why;
    char cover;  // one layer, ' ' for none
    float height;
    float vis;
    const char *want;
  } cases[] = {
      {"overcast at 800 ft", 'O', 800.0f, 10.0f, "IFR"},
      {"broken at 999 ft", 'B', 999.0f, 10.0f, "IFR"},
      {"broken at 1000 ft", 'B', 1000.0f, 10.0f, "MVFR"},
      {"overcast at 3000 ft", 'O', 3000.0f, 10.0f, "MVFR"},
      {"overcast at 3100 ft", 'O', 3100.0f, 10.0f, "VFR"},
      {"no ceiling, 4 miles", ' ', SFC_MISSING_F, 4.0f, "MVFR"},
      {"no ceiling, 5 miles", ' ', SFC_MISSING_F, 5.0f, "MVFR"},
      {"no ceiling, 6 miles", ' ', SFC_MISSING_F, 6.0f, "VFR"},
      {"no ceiling, 2.5 miles", ' ', SFC_MISSING_F, 2.5f, "IFR"},
      {"no ceiling, no visibility", ' ', SFC_MISSING_F, SFC_MISSING_F, "VFR"},
      {"ceiling, no visibility", 'O', 2000.0f, SFC_MISSING_F, "MVFR"},
      {"scattered is no ceiling", 'S', 500.0f, 10.0f, "VFR"},
      {"obscured is no ceiling", 'X', 200.0f, 10.0f, "VFR"},
      {"thin overcast is no ceiling", 'o', 500.0f, 10.0f, "VFR"},
      {"five oktas count", '5', 500.0f, 10.0f, "IFR"},
      {"six oktas do not", '6', 500.0f, 10.0f, "VFR"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.why);
    SFC_report r = Fresh();
    if (c.cover != ' ') {
      r.num_cld = 1;
      r.cld_cover[0] = c.cover;
      r.cld_height[0] = c.height;
    }
    r.vis = c.vis;
    char want[16];
    std::snprintf(want, sizeof want, "%6.6s \n", c.want);
    EXPECT_EQ(Row("fr", r), want);
  }
}

// Purpose: the ceiling cover as text, for every code.
TEST_F(PrintVar, CoverText) {
  const struct {
    char code;
    const char *text;
  } cases[] = {
      {' ', "M"},   {'B', "BKN"}, {'C', "CLR"},  {'F', "FEW"},  {'O', "OVC"},
      {'S', "SCT"}, {'X', "X"},   {'b', "-BKN"}, {'o', "-OVC"}, {'s', "-SCT"},
      {'x', "-X"},  {'f', "f/8"}, {'3', "3/8"},  {'9', "9/8"},  {'\0', "M"},
  };
  for (const auto &c : cases) {
    SFC_report r = Fresh();
    r.num_cld = 1;
    r.cld_cover[0] = c.code;
    r.cld_height[0] = 1000.0f;
    char want[16];
    std::snprintf(want, sizeof want, "%6.6s \n", c.text);
    EXPECT_EQ(Row("cldcv", r), want) << c.code;
  }
}

// Purpose: a row longer than a line buffer (60 remarks columns) comes out whole,
// in one line; unterminated text fields are read within their sizes.
TEST_F(PrintVar, LongRowsAndUnterminatedFields) {
  SFC_report r = Fresh();
  std::memset(r.comment, 'c', sizeof r.comment);
  std::memset(r.id, 'I', sizeof r.id);
  std::memset(r.weather, 'R', sizeof r.weather);
  std::string list = "id,wx";
  for (int i = 0; i < 58; ++i) list += ",rmk";
  const std::string out = Row(list, r);
  const std::string remark = std::string(sizeof r.comment, 'c') + " ";
  std::string want = "IIIIII RRRRRR ";
  for (int i = 0; i < 58; ++i) want += remark;
  EXPECT_EQ(out, want + "\n");
}

// Purpose: the dispatch: format 6 prints nothing without the "variable" resource;
// with it the list is built once, from the first resource found, with the
// definitions of the default variable file; a hidden class prints nothing; the
// other formats do not look at the list.
TEST_F(PrintVar, Dispatch) {
  const SFC_report r = KTVC();
  SFC_set_print(6);
  EXPECT_EQ(Capture([] { SFC_print_line(M_PRINT & M_SUB_C, nullptr); }), "");
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }), "");

  RES_put("variable", "id,temp:C::%.1f");
  MESS_set(MESS_USER_REMOVE, M_PRINT);
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }), "");
  EXPECT_EQ(VAR_get_num(), 0);  // not even built
  MESS_reset_state();
  testing::internal::CaptureStderr();
  EXPECT_EQ(Capture([] { SFC_print_line(M_PRINT & M_SUB_C, nullptr); }),
            "    id   temp \n"
            "            C \n");
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }), "KTVC      0.0 \n");
  RES_put("variable", "temp");  // the list is kept for the run
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }), "KTVC      0.0 \n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "VAR_open_file: Unable to open var file: " SOURCE_DIR "/share/ZYP.var\n");

  // A list item named in the shipped variable file (the tests have no program
  // name, so the default file is "ZYP.var": the shipped one is named with "fi:").
  SFC_print_reset_state();
  VAR_reset_state();
  RES_put("variable", "fi:sfcparse.var:aviation");
  SFC_set_print(6);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }),
            "KTVC     2353    IFR     14    OVC    1.0     S-    240      8         29.68 \n");
  testing::internal::GetCapturedStderr();  // the default file's warning

  // Format 2 with a list: unchanged.
  SFC_set_print(2);
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }).substr(0, 12), "KTVC   2353 ");
}

}  // namespace
