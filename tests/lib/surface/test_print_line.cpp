#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/print_line.h"
#include "surface/report.h"
#include "print_fixture.h"

namespace {

using Setter = std::function<void(SFC_report &)>;
using Columns = std::map<int, std::string>;

using print_fixture::Capture;
using print_fixture::Fresh;

std::string Print(const SFC_report &r, M_type level = 1) {
  return Capture([&] { EXPECT_EQ(SFC_print_line(level, &r), 0); });
}

std::string Header(M_type level = 4) {
  return Capture([&] { EXPECT_EQ(SFC_print_line(level, nullptr), 0); });
}

// A line made of the missing forms of a format's columns, with some columns
// replaced, and its line end.
std::string Line(const std::vector<std::string> &missing, const Columns &cols) {
  std::string s;
  for (std::size_t i = 0; i < missing.size(); ++i) {
    auto it = cols.find(static_cast<int>(i));
    s += it != cols.end() ? it->second : missing[i];
  }
  return s + "\n";
}

struct Case {
  const char *name;
  Setter set;
  Columns cols;  // the columns that do not print their missing form
};

class PrintLine : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_print_reset_state();
  }
  void TearDown() override {
    MESS_reset_state();
    SFC_print_reset_state();
  }
};

// ---- format 2 ("pln") ----------------------------------------------------------

// clang-format off
// id, time, t, td, rh, dir, spd, gst, alt, slp, vis, cil, cov, wx, max, min, pr6, pr24, sc
const std::vector<std::string> kBlank2 = {
    "KDEN   ", "     ", "    ", "    ", "    ", "    ", "    ", "    ", "    ", "    ",
    "    ", "    ", "     ", "    ", "    ", "    ", "     ", "     ", "  "};
const std::vector<std::string> kDash2 = {
    "KDEN   ", "   - ", "  - ", "  - ", "  - ", "  - ", "  - ", "  - ", "  - ", "  - ",
    "  - ", "  - ", "   - ", "-   ", "  - ", "  - ", "   - ", "   - ", " -"};
// clang-format on

// Purpose: every column of the one-line format, the coded pressures, the
// visibility forms and the ceiling reduction among them.
TEST_F(PrintLine, OneLineColumns) {
  // clang-format off
  const Case cases[] = {
      {"fresh report: identifier and blanks", [](SFC_report &) {}, {}},
      {"time with leading zeros", [](SFC_report &r) { r.time = 53; }, {{1, "0053 "}}},
      {"temperature below zero", [](SFC_report &r) { r.t = -40.0f; }, {{2, "-40 "}}},
      {"humidity from t and td", [](SFC_report &r) { r.t = 72.0f; r.td = 50.0f; },
       {{2, " 72 "}, {3, " 50 "}, {4, " 46 "}}},  // 45.8 %
      {"saturated air", [](SFC_report &r) { r.t = 50.0f; r.td = 50.0f; },
       {{2, " 50 "}, {3, " 50 "}, {4, "100 "}}},
      {"humidity needs both", [](SFC_report &r) { r.t = 72.0f; }, {{2, " 72 "}}},
      {"wind, speed and gust",
       [](SFC_report &r) { r.w_dir = 270.0f; r.w_spd = 15.0f; r.w_gust = 25.0f; },
       {{5, "270 "}, {6, " 15 "}, {7, " 25 "}}},
      {"calm wind", [](SFC_report &r) { r.w_dir = 0.0f; r.w_spd = 0.0f; },
       {{5, "  0 "}, {6, "  0 "}}},
      {"altimeter 29.92 codes 992", [](SFC_report &r) { r.alt = 29.92f; }, {{8, "992 "}}},
      {"altimeter 30.12 codes 012", [](SFC_report &r) { r.alt = 30.12f; }, {{8, "012 "}}},
      {"altimeter 30.00 codes 000", [](SFC_report &r) { r.alt = 30.00f; }, {{8, "000 "}}},
      {"altimeter 29.999 truncates to 000", [](SFC_report &r) { r.alt = 29.999f; },
       {{8, "000 "}}},  // 3000.1: the 0.002 pushes it over
      {"pressure 1009.8 codes 098", [](SFC_report &r) { r.pmb = 1009.8f; }, {{9, "098 "}}},
      {"pressure 1013.2 codes 132", [](SFC_report &r) { r.pmb = 1013.2f; }, {{9, "132 "}}},
      {"pressure 999.9 codes 999", [](SFC_report &r) { r.pmb = 999.9f; }, {{9, "999 "}}},
      {"pressure 1000.0 codes 000", [](SFC_report &r) { r.pmb = 1000.0f; }, {{9, "000 "}}},
      {"visibility 10 whole", [](SFC_report &r) { r.vis = 10.0f; }, {{10, " 10 "}}},
      {"visibility 3 whole", [](SFC_report &r) { r.vis = 3.0f; }, {{10, "  3 "}}},
      {"visibility 2.5 in tenths", [](SFC_report &r) { r.vis = 2.5f; }, {{10, "2.5 "}}},
      {"visibility 0 in tenths", [](SFC_report &r) { r.vis = 0.0f; }, {{10, "0.0 "}}},
      {"ceiling: broken above few",
       [](SFC_report &r) {
         r.num_cld = 2;
         r.cld_cover[0] = 'F'; r.cld_height[0] = 2000.0f;
         r.cld_cover[1] = 'B'; r.cld_height[1] = 5000.0f;
       },
       {{11, " 50 "}, {12, " BKN "}}},
      {"ceiling: overcast keeps the broken height",
       [](SFC_report &r) {
         r.num_cld = 2;
         r.cld_cover[0] = 'B'; r.cld_height[0] = 5000.0f;
         r.cld_cover[1] = 'O'; r.cld_height[1] = 8000.0f;
       },
       {{11, " 50 "}, {12, " OVC "}}},
      {"ceiling: few above broken does not lower it",
       [](SFC_report &r) {
         r.num_cld = 2;
         r.cld_cover[0] = 'B'; r.cld_height[0] = 1500.0f;
         r.cld_cover[1] = 'F'; r.cld_height[1] = 1700.0f;
       },
       {{11, " 15 "}, {12, " BKN "}}},
      {"clear sky: cover, no height",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'C'; }, {{12, " CLR "}}},
      {"vertical visibility",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'X'; r.cld_height[0] = 300.0f; },
       {{11, "  3 "}, {12, "  X  "}}},
      {"thin layer",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'x'; r.cld_height[0] = 900.0f; },
       {{11, "  9 "}, {12, " -X  "}}},
      {"oktas 9 as obscured",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = '9'; r.cld_height[0] = 500.0f; },
       {{11, "  5 "}, {12, "  X  "}}},
      {"oktas 4 in eighths, four characters",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = '4'; r.cld_height[0] = 2500.0f; },
       {{11, " 25 "}, {12, "4/8 "}}},
      {"'f' has no label here",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'f'; r.cld_height[0] = 2500.0f; },
       {{11, " 25 "}}},
      {"METAR weather as short code",
       [](SFC_report &r) { std::strcpy(r.weather, "!-SHRA_BR"); }, {{13, "RW- "}}},
      {"short code cut to three", [](SFC_report &r) { std::strcpy(r.weather, "TRW+A"); },
       {{13, "TRW "}}},
      {"WMO number as short code", [](SFC_report &r) { std::strcpy(r.weather, "61"); },
       {{13, "R-  "}}},
      {"weather without a short code", [](SFC_report &r) { std::strcpy(r.weather, "!VCSH"); },
       {}},
      {"maximum, else the 6-hour one",
       [](SFC_report &r) { r.max6_t = 85.0f; r.min_t = 60.0f; r.min6_t = 62.0f; },
       {{14, " 85 "}, {15, " 60 "}}},
      {"negative precipitation is a number here",
       [](SFC_report &r) { r.rain6 = -1.0f; r.rain24 = 0.25f; },
       {{16, "-1.00 "}, {17, "0.25 "}}},
      {"snow depth", [](SFC_report &r) { r.scover = 3.0f; }, {{18, " 3"}}},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SFC_report r = Fresh();
    c.set(r);
    EXPECT_EQ(Print(r), Line(kBlank2, c.cols));
  }
}

// Purpose: with dashes, every missing column of a fresh report shows its dash
// form, and an empty identifier its own.
TEST_F(PrintLine, OneLineDashes) {
  SFC_set_miss_dash();
  EXPECT_EQ(SFC_get_miss_dash(), 1);
  EXPECT_EQ(Print(Fresh()), Line(kDash2, {}));
  EXPECT_EQ(Print(Fresh("")), Line(kDash2, {{0, "  -   "}}));
  SFC_report r = Fresh();
  std::strcpy(r.weather, "!VCSH");  // converted to nothing: dashed
  EXPECT_EQ(Print(r), Line(kDash2, {}));
  std::strcpy(r.weather, "13");  // WMO 13 is " ": dashed
  EXPECT_EQ(Print(r), Line(kDash2, {}));
  r = Fresh();
  r.vis = 2.5f;
  r.num_cld = 1;
  r.cld_cover[0] = 'f';  // no label: missing
  EXPECT_EQ(Print(r), Line(kDash2, {{10, "2.5 "}}));
}

// Purpose: an identifier longer than six characters is cut; without dashes an
// empty identifier prints as blanks.
TEST_F(PrintLine, OneLineIdentifier) {
  EXPECT_EQ(Print(Fresh("ABCDEFGHIJ")), Line(kBlank2, {{0, "ABCDEF "}}));
  EXPECT_EQ(Print(Fresh("")), Line(kBlank2, {{0, "       "}}));
}

// ---- format 1 ("plns") ---------------------------------------------------------

// clang-format off
// id, type, mark, time, vis, wx, slp, t, td, wind+gust, alt, pt, max, min
const std::vector<std::string> kBlank1 = {
    "KDEN ", "--", " ", "     ", "       ", "      ", "        ", "    ", "    ",
    "    -      ", "      ", "      ", "    ", "    "};
const std::vector<std::string> kDash1 = {
    "KDEN ", "--", "-", "   - ", "    -  ", "    - ", "      - ", "  - ", "  - ",
    "   -  -  - ", "    - ", "    - ", "  - ", "  - "};
// indent, five layers, blanks, types, blanks, rn3, rn6, rn12, rn24, sc
const std::vector<std::string> kBlank1b = {
    "    ", "        ", "        ", "        ", "        ", "        ", "  ", " : : ", "  ",
    "     ", "     ", "     ", "     ", "  "};
const std::vector<std::string> kDash1b = {
    "    ", " -   -  ", " -   -  ", " -   -  ", " -   -  ", " -   -  ", "  ", " : : ", "  ",
    "     ", "   - ", "   - ", "   - ", "  "};
// clang-format on

struct TwoLineCase {
  const char *name;
  Setter set;
  Columns first;
  Columns second;
};

// Purpose: both lines of the two-line format, column by column.
TEST_F(PrintLine, TwoLineColumns) {
  SFC_set_print(1);
  // clang-format off
  const TwoLineCase cases[] = {
      {"fresh report", [](SFC_report &) {}, {}, {}},
      {"routine", [](SFC_report &r) { r.type = 1; }, {{1, "SA"}}, {}},
      {"special", [](SFC_report &r) { r.type = 2; }, {{1, "SP"}}, {}},
      {"record special", [](SFC_report &r) { r.type = 3; }, {{1, "RS"}}, {}},
      {"marked routine", [](SFC_report &r) { r.type = 5; }, {{1, "SA"}, {2, "*"}}, {}},
      {"time and visibility", [](SFC_report &r) { r.time = 1753; r.vis = 1.75f; },
       {{3, "1753 "}, {4, "  1.8  "}}, {}},  // 1.75 is a tie: to even
      {"negative visibility is missing", [](SFC_report &r) { r.vis = -1.0f; }, {}, {}},
      {"METAR weather after the '!'", [](SFC_report &r) { std::strcpy(r.weather, "!-SHRA_BR"); },
       {{5, "-SHRA "}}, {}},
      {"short weather code", [](SFC_report &r) { std::strcpy(r.weather, "RW-F"); },
       {{5, " RW-F "}}, {}},
      {"pressure, temperature, dew point",
       [](SFC_report &r) { r.pmb = 1013.2f; r.t = 72.0f; r.td = -5.0f; },
       {{6, " 1013.2 "}, {7, " 72 "}, {8, " -5 "}}, {}},
      {"calm wind joined by a dash, then the gust column",
       [](SFC_report &r) { r.w_dir = 0.0f; r.w_spd = 0.0f; }, {{9, "   0- 0    "}}, {}},
      {"wind with gust",
       [](SFC_report &r) { r.w_dir = 270.0f; r.w_spd = 15.0f; r.w_gust = 25.0f; },
       {{9, " 270-15 25 "}}, {}},
      {"direction without speed is no wind", [](SFC_report &r) { r.w_dir = 270.0f; }, {}, {}},
      {"altimeter and tendency", [](SFC_report &r) { r.alt = 29.92f; r.ptend = -1.5f; },
       {{10, "29.92 "}, {11, "-1.5  "}}, {}},
      {"24-hour extremes before 6-hour ones",
       [](SFC_report &r) { r.max_t = 90.0f; r.max6_t = 80.0f; r.min6_t = 55.0f; },
       {{12, " 90 "}, {13, " 55 "}}, {}},
      {"clear sky: one layer without height",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'C'; }, {}, {{1, "    CLR "}}},
      {"layers with heights",
       [](SFC_report &r) {
         r.num_cld = 3;
         r.cld_cover[0] = 'F'; r.cld_height[0] = 2500.0f;
         r.cld_cover[1] = 'b'; r.cld_height[1] = 12000.0f;
         r.cld_cover[2] = 'X'; r.cld_height[2] = 0.0f;
       },
       {}, {{1, " 25 FEW "}, {2, "120-BKN "}, {3, "  0 X   "}}},
      {"layers without heights",
       [](SFC_report &r) {
         r.num_cld = 5;
         const char codes[] = "FsoxO";
         std::memcpy(r.cld_cover, codes, 5);
       },
       {}, {{1, "   -FEW "}, {2, "   -SCT "}, {3, "   -OVC "}, {4, "   -X   "}, {5, "    OVC "}}},
      {"oktas and blank codes",
       [](SFC_report &r) {
         r.num_cld = 4;
         const char codes[] = "7f  ";
         std::memcpy(r.cld_cover, codes, 4);
         r.cld_height[0] = 3000.0f;
         r.cld_height[1] = 500.0f;
         r.cld_height[2] = 800.0f;
       },
       {}, {{1, " 30 7/8 "}, {2, "  5 f/8 "}, {3, "    M   "}, {4, "     /8 "}}},
      {"cloud types", [](SFC_report &r) { std::memcpy(r.cld_type, "8-2", 3); }, {},
       {{7, "8:-:2"}}},
      {"precipitation and snow",
       [](SFC_report &r) {
         r.rain3 = 0.05f; r.rain6 = 0.1f; r.rain12 = 1.25f; r.rain24 = 2.0f; r.scover = 12.0f;
       },
       {}, {{9, "0.05 "}, {10, "0.10 "}, {11, "1.25 "}, {12, "2.00 "}, {13, "12"}}},
      {"negative precipitation is missing",
       [](SFC_report &r) { r.rain3 = -1.0f; r.rain6 = -1.0f; r.rain24 = -0.5f; }, {}, {}},
  };
  // clang-format on
  for (const TwoLineCase &c : cases) {
    SCOPED_TRACE(c.name);
    SFC_report r = Fresh();
    c.set(r);
    EXPECT_EQ(Print(r), Line(kBlank1, c.first) + Line(kBlank1b, c.second));
  }
}

// Purpose: the dash forms of the two-line format; a calm wind keeps a blank
// between direction and speed; rain3 and snow depth have no dash form.
TEST_F(PrintLine, TwoLineDashes) {
  SFC_set_print(1);
  SFC_set_miss_dash(1);
  EXPECT_EQ(Print(Fresh()), Line(kDash1, {}) + Line(kDash1b, {}));
  EXPECT_EQ(Print(Fresh("")), Line(kDash1, {{0, " -   "}}) + Line(kDash1b, {}));
  SFC_report r = Fresh();
  r.w_dir = 0.0f;
  r.w_spd = 0.0f;
  r.num_cld = 1;
  r.cld_cover[0] = 'C';
  EXPECT_EQ(Print(r), Line(kDash1, {{9, "   0  0  - "}}) + Line(kDash1b, {{1, "    CLR "}}));
}

// Purpose: the remarks follow as a third line, only when there are any.
TEST_F(PrintLine, TwoLineComment) {
  SFC_set_print(1);
  SFC_report r = Fresh();
  SFC_add_remarks(&r, "AO2");
  SFC_add_remarks(&r, "SLP132");
  EXPECT_EQ(Print(r), Line(kBlank1, {}) + Line(kBlank1b, {}) + "   COMMENT: AO2 SLP132 \n");
}

// ---- format 4 ("psyn") ---------------------------------------------------------

// clang-format off
// id, layer, vis, wx, slp, t, td, wind, extreme, pt, rn6, rn24, sc, types
const std::vector<std::string> kBlank4 = {
    "KDEN  ", "       ", "       ", "    ", "        ", "    ", "    ", "   -      ",
    "    ", "    ", "      ", "     ", "  ", ""};
const std::vector<std::string> kDash4 = {
    "KDEN  ", "       ", "    -  ", "  - ", "      - ", "  - ", "  - ", "   -  -  - ",
    "  - ", "  - ", "    - ", "   - ", " -", ""};
// clang-format on

// Purpose: every column of the synoptic format.
TEST_F(PrintLine, SynopticColumns) {
  SFC_set_print(4);
  // clang-format off
  const Case cases[] = {
      {"fresh report", [](SFC_report &) {}, {}},
      {"lowest layer with height",
       [](SFC_report &r) {
         r.num_cld = 2;
         r.cld_cover[0] = 'B'; r.cld_height[0] = 2500.0f;
         r.cld_cover[1] = 'O'; r.cld_height[1] = 9000.0f;
       },
       {{1, "  25 B "}}},
      {"clear sky without height",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'C'; }, {{1, "     C "}}},
      {"visibility", [](SFC_report &r) { r.vis = 10.0f; }, {{2, " 10.0  "}}},
      {"weather as stored", [](SFC_report &r) { std::strcpy(r.weather, "!-SHRA"); },
       {{3, "!-SHRA"}}},
      {"short weather padded", [](SFC_report &r) { std::strcpy(r.weather, "F"); },
       {{3, "   F"}}},
      {"pressure and temperatures",
       [](SFC_report &r) { r.pmb = 998.4f; r.t = 5.0f; r.td = -3.0f; },
       {{4, "  998.4 "}, {5, "  5 "}, {6, " -3 "}}},
      {"wind without gust",
       [](SFC_report &r) { r.w_dir = 90.0f; r.w_spd = 8.0f; r.w_gust = -1.0f; },
       {{7, " 90- 8    "}}},
      {"wind with gust",
       [](SFC_report &r) { r.w_dir = 350.0f; r.w_spd = 22.0f; r.w_gust = 35.0f; },
       {{7, "350-22 35 "}}},
      {"extreme: 24-hour minimum before 6-hour maximum",
       [](SFC_report &r) { r.min_t = 20.0f; r.max6_t = 40.0f; }, {{8, "20 "}}},
      {"extreme: 6-hour minimum last", [](SFC_report &r) { r.min6_t = -5.0f; }, {{8, "-5 "}}},
      {"tendency", [](SFC_report &r) { r.ptend = 2.3f; }, {{9, " 2.3"}}},
      {"precipitation and snow",
       [](SFC_report &r) { r.rain6 = 0.12f; r.rain24 = 1.5f; r.scover = 4.0f; },
       {{10, " 0.12 "}, {11, "1.50 "}, {12, " 4"}}},
      {"negative precipitation is missing",
       [](SFC_report &r) { r.rain6 = -1.0f; r.rain24 = -1.0f; r.scover = -1.0f; }, {}},
      {"cloud types at the end", [](SFC_report &r) { std::memcpy(r.cld_type, "5-0", 3); },
       {{13, " 5:-:0"}}},
      {"no types when the low one is blank",
       [](SFC_report &r) { std::memcpy(r.cld_type, " 12", 3); }, {}},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SFC_report r = Fresh();
    c.set(r);
    EXPECT_EQ(Print(r), Line(kBlank4, c.cols));
  }
}

// Purpose: dash forms of the synoptic format; no cloud layer prints blanks
// whatever the setting.
TEST_F(PrintLine, SynopticDashes) {
  SFC_set_print(4);
  SFC_set_miss_dash(1);
  EXPECT_EQ(Print(Fresh()), Line(kDash4, {}));
  EXPECT_EQ(Print(Fresh("")), Line(kDash4, {{0, " -    "}}));
  SFC_report r = Fresh();
  r.w_dir = 90.0f;
  r.w_spd = 8.0f;
  EXPECT_EQ(Print(r), Line(kDash4, {{7, " 90  8   - "}}));
}

// ---- format 5 ("psimp") --------------------------------------------------------

// id, t, td, wind, slp, cil, cov, rn6, wx
const std::vector<std::string> kBlank5 = {
    " KDEN ", " --- ", " --- ", " ---    -- ", " ------ ", " --- ", "     ", " ---- ", ""};

// Purpose: every column of the simple format, with the weather in words.
TEST_F(PrintLine, SimpleColumns) {
  SFC_set_print(5);
  // clang-format off
  const Case cases[] = {
      {"fresh report", [](SFC_report &) {}, {}},
      {"temperatures", [](SFC_report &r) { r.t = 72.0f; r.td = -10.0f; },
       {{1, "  72 "}, {2, " -10 "}}},
      {"wind", [](SFC_report &r) { r.w_dir = 270.0f; r.w_spd = 15.0f; },
       {{3, " 270 at 15 "}}},
      {"pressure", [](SFC_report &r) { r.pmb = 1013.2f; }, {{4, " 1013.2 "}}},
      {"ceiling", [](SFC_report &r) {
         r.num_cld = 2;
         r.cld_cover[0] = 'S'; r.cld_height[0] = 3000.0f;
         r.cld_cover[1] = 'O'; r.cld_height[1] = 8000.0f;
       },
       {{5, "  80 "}, {6, " OVC "}}},
      {"oktas read as letters",
       [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = '7'; r.cld_height[0] = 1200.0f; },
       {{5, "  12 "}, {6, " OVC "}}},
      {"thin few", [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'f'; }, {{6, "-FEW "}}},
      {"unknown cover prints nothing", [](SFC_report &r) { r.num_cld = 1; r.cld_cover[0] = 'Q'; },
       {{6, ""}}},
      {"precipitation", [](SFC_report &r) { r.rain6 = 0.5f; }, {{7, " 0.50 "}}},
      {"negative precipitation is missing", [](SFC_report &r) { r.rain6 = -1.0f; }, {}},
      {"weather in words", [](SFC_report &r) { std::strcpy(r.weather, "!-SHRA_BR"); },
       {{8, "light rain showers"}}},
      {"WMO weather in words", [](SFC_report &r) { std::strcpy(r.weather, "95"); },
       {{8, "light thunderstorm"}}},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SFC_report r = Fresh();
    c.set(r);
    EXPECT_EQ(Print(r), Line(kBlank5, c.cols));
  }
}

// Purpose: the simple format prints its dashes whatever the setting; only the
// cover and weather columns change with it.
TEST_F(PrintLine, SimpleDashes) {
  SFC_set_print(5);
  SFC_set_miss_dash(1);
  EXPECT_EQ(Print(Fresh()), Line(kBlank5, {{6, "   - "}, {8, " - "}}));
  EXPECT_EQ(Print(Fresh("")), Line(kBlank5, {{0, "      "}, {6, "   - "}, {8, " - "}}));
}

// ---- headers and dispatch ------------------------------------------------------

// Purpose: the column header of each format, printed for a null report.
TEST_F(PrintLine, Headers) {
  struct HeaderCase {
    int format;
    std::string want;
  };
  const HeaderCase cases[] = {
      {1,
       "  ID Tp Time  Vis    PWx   SLPres   T  Td   WD-WS WG  Alt   PT  Max Min\n"
       "     CHt CCv CHt CCv CHt CCv CHt CCv CHt CCv  L:M:H  Rn3  Rn6 Rn12 Rn24 SC\n"},
      {2, "ID     TIME   T  TD  RH DIR SPD GST ALT SLP VIS CIL  COV WX  MAX MIN  PR6 PR24 SC\n"},
      {3, ""},  // the full text has no header
      {4, " ID   Cht Cv  Vis   PWx  SLPres   T  Td  WD-WS WG  Te  PT   Rn6 Rn24 SC L:M:H\n"},
      {5,
       " ID   Temp  Dew  Winds       Press   Clouds   Prec  Weather\n"
       "        F    F   deg   knt     mb  100ft cov   in\n"},
      {6, ""},  // no variable list
      {0, ""},  // no such format
  };
  for (const HeaderCase &c : cases) {
    SCOPED_TRACE(c.format);
    SFC_set_print(c.format);
    EXPECT_EQ(SFC_get_print(), c.format);
    EXPECT_EQ(Header(), c.want);
  }
}

// Purpose: a class that is not shown prints nothing, not even the header; a
// shown class prints with that class.
TEST_F(PrintLine, HiddenClassPrintsNothing) {
  MESS_set(MESS_USER_REMOVE, M_PRINT);  // no print classes at all
  for (int format = 1; format <= 6; ++format) {
    SCOPED_TRACE(format);
    SFC_set_print(format);
    EXPECT_EQ(Header(), "");
    EXPECT_EQ(Print(Fresh()), "");
  }
  SFC_print_reset_state();
  MESS_reset_state();
  MESS_set(MESS_USER_REMOVE, M_PRINT & M_SUB_C);  // header class hidden, row class shown
  EXPECT_EQ(Header(4), "");
  EXPECT_EQ(Print(Fresh(), 1), Line(kBlank2, {}));
}

// Purpose: format 3 prints the full report text (class 15 even when called with
// class 1); format 6 without a variable list prints nothing.
TEST_F(PrintLine, FullTextAndVariableFormats) {
  SFC_report r = Fresh();
  r.t = 72.0f;
  SFC_set_print(3);
  EXPECT_EQ(Print(r),
            "Data for: KDEN\n-----------------------------------\n"
            "Temperature:          72 F = 22.2 C\n");
  SFC_set_print(6);
  EXPECT_EQ(Print(r), "");
}

// Purpose: the record's text fields are read within their sizes even when a
// record from elsewhere has no terminators, and zero code bytes keep the line whole.
TEST_F(PrintLine, UnterminatedFields) {
  SFC_report r = Fresh();
  std::memset(r.id, 'I', sizeof r.id);
  std::memset(r.weather, 'R', sizeof r.weather);
  std::memset(r.comment, 'c', sizeof r.comment);
  std::memset(r.cld_type, 0, sizeof r.cld_type);
  r.num_cld = 9;  // more layers than the record holds
  for (int format = 1; format <= 5; ++format) {
    SCOPED_TRACE(format);
    SFC_set_print(format);
    const std::string out = Print(r);
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(out.find('\0'), std::string::npos);
    EXPECT_EQ(out.back(), '\n');
  }
  SFC_set_print(1);
  const std::string out = Print(r);
  EXPECT_NE(out.find("   COMMENT: " + std::string(sizeof r.comment, 'c') + "\n"),
            std::string::npos);
  EXPECT_EQ(out.substr(0, 12), std::string(sizeof r.id, 'I') + " ");
}

}  // namespace
