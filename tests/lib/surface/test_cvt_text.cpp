// The record lines of the two text forms of converted surface files, field by field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "surface/cvt_reader.h"

namespace {

constexpr float kMiss = SFC_MISSING_F;

SFC_report Old(const std::string &line, int hour = 0, int rep_type = SFC_CVT_FULL) {
  SFC_report r;
  EXPECT_EQ(SFC_cvt_parse_old(line, hour, rep_type, &r), 0) << line;
  return r;
}

SFC_report New(const std::string &line, int hour = 0, int rep_type = SFC_CVT_FULL) {
  SFC_report r;
  EXPECT_EQ(SFC_cvt_parse_new(line, hour, rep_type, &r), 0) << line;
  return r;
}

// One float field of a record line and the value it must read as.
struct FloatCase {
  const char *line;
  int hour;
  float SFC_report::*field;
  float expected;
};

void CheckFloats(const FloatCase *cases, std::size_t n, bool new_form) {
  for (std::size_t k = 0; k < n; ++k) {
    const FloatCase &c = cases[k];
    SCOPED_TRACE(c.line);
    const SFC_report r = new_form ? New(c.line, c.hour) : Old(c.line, c.hour);
    if (c.expected == kMiss)
      EXPECT_EQ(r.*c.field, kMiss);
    else
      EXPECT_NEAR(r.*c.field, c.expected, 1e-3);
  }
}

// Purpose: every numeric field rule of the old form, with its edge values.
TEST(CvtOldForm, NumericFields) {
  // clang-format off
  const FloatCase cases[] = {
      {"KDEN   35. 19.1614.008.190.100.120F. .", 0, &SFC_report::t, 35},
      {"KDEN   35. 19.1614.008.190.100.120F. .", 0, &SFC_report::td, 19},
      {"KDEN  -99.-99.1614.008.190.100.120F. .", 0, &SFC_report::t, kMiss},      // -99 is missing
      {"KDEN  -99.-99.1614.008.190.100.120F. .", 0, &SFC_report::td, kMiss},
      {"PAKU  -42.-99.2606.034.-99. 30.110F.H.", 0, &SFC_report::t, -42},       // a real negative temperature
      {"KDEN   35. 19.2715.008.190.100.120F. .", 0, &SFC_report::w_dir, 270},   // dddff: tens of degrees
      {"KDEN   35. 19.2715.008.190.100.120F. .", 0, &SFC_report::w_spd, 15},
      {"KDEN   35. 19.   0.008.190.100.120F. .", 0, &SFC_report::w_dir, 0},     // calm
      {"KDEN   35. 19.   0.008.190.100.120F. .", 0, &SFC_report::w_spd, 0},
      {"KDEN   35. 19.3699.008.190.100.120F. .", 0, &SFC_report::w_spd, 99},    // the fastest the form holds
      {"KDEN   35. 19. -99.008.190.100.120F. .", 0, &SFC_report::w_dir, kMiss}, // negative is missing
      {"KDEN   35. 19. -99.008.190.100.120F. .", 0, &SFC_report::w_spd, kMiss},
      {"KDEN   35. 19.1614.992.190.100.120F. .", 0, &SFC_report::alt, 29.92f},  // 501 to 999: 20 + a/100
      {"KDEN   35. 19.1614.013.190.100.120F. .", 0, &SFC_report::alt, 30.13f},  // 0 to 500: 30 + a/100
      {"KDEN   35. 19.1614.500.190.100.120F. .", 0, &SFC_report::alt, 35.00f},  // the boundary
      {"KDEN   35. 19.1614.501.190.100.120F. .", 0, &SFC_report::alt, 25.01f},
      {"KDEN   35. 19.1614.000.190.100.120F. .", 0, &SFC_report::alt, 30.00f},
      {"KDEN   35. 19.1614.-99.190.100.120F. .", 0, &SFC_report::alt, kMiss},
      {"KDEN   35. 19.1614.008.132.100.120F. .", 0, &SFC_report::pmb, 1013.2f}, // 0 to 500: 1000 + p/10
      {"KDEN   35. 19.1614.008.982.100.120F. .", 0, &SFC_report::pmb, 998.2f},  // 501 to 999: 900 + p/10
      {"KDEN   35. 19.1614.008.500.100.120F. .", 0, &SFC_report::pmb, 1050.0f},
      {"KDEN   35. 19.1614.008.501.100.120F. .", 0, &SFC_report::pmb, 950.1f},
      {"KDEN   35. 19.1614.008.-99.100.120F. .", 0, &SFC_report::pmb, kMiss},
      {"KDEN   35. 19.1614.008.190.100.120F. .", 0, &SFC_report::vis, 10.0f},    // tenths of a mile
      {"KDEN   35. 19.1614.008.190.  5.120F. .", 0, &SFC_report::vis, 0.5f},
      {"KDEN   35. 19.1614.008.190.-99.120F. .", 0, &SFC_report::vis, kMiss},
      {"KDEN   35. 19.1614.008.190.100.120F. .P201.", 0, &SFC_report::ptend, 0.1f},   // rising
      {"KDEN   35. 19.1614.008.190.100.120F. .P615.", 0, &SFC_report::ptend, -1.5f},  // a of 5 to 8: falling
      {"KDEN   35. 19.1614.008.190.100.120F. .P045.", 0, &SFC_report::ptend, 4.5f},
      {"KDEN   35. 19.1614.008.190.100.120F. .r25.", 0, &SFC_report::rain6, 0.25f},   // hundredths
      {"KDEN   35. 19.1614.008.190.100.120F. .r1.05.", 0, &SFC_report::rain6, 1.05f}, // inches and hundredths
      {"KDEN   35. 19.1614.008.190.100.120F. .r1.5.", 0, &SFC_report::rain6, 1.05f},  // "5" is 5 hundredths
      {"KDEN   35. 19.1614.008.190.100.120F. .R3.00.", 0, &SFC_report::rain24, 3.0f},
      {"KDEN   35. 19.1614.008.190.100.120F. .r-5.", 0, &SFC_report::rain6, kMiss},   // no negative amount
      {"KDEN   95. 70.1614.008.190.100.120F. .T5.", 0, &SFC_report::max_t, 105},   // 0..29 with t above 70: +100
      {"KDEN   10.  5.1614.008.190.100.120F. .T95.", 23, &SFC_report::max_t, -5},  // 61..99 with t below 30: -100
      {"KDEN   50. 40.1614.008.190.100.120F. .T95.", 0, &SFC_report::max_t, 95},   // no change in between
      {"KDEN   10.  5.1614.008.190.100.120F. .T95.", 12, &SFC_report::min_t, -5},  // hours 10 to 21: minimum
      {"KDEN   10.  5.1614.008.190.100.120F. .T95.", 12, &SFC_report::max_t, kMiss},
      {"KDEN   10.  5.1614.008.190.100.120F. .T95.", 21, &SFC_report::min_t, -5},
      {"KDEN   10.  5.1614.008.190.100.120F. .T95.", 22, &SFC_report::max_t, -5},
      {"KDEN   10.  5.1614.008.190.100.120F. .T95.", 9, &SFC_report::max_t, -5},
      {"KDEN  -99.  5.1614.008.190.100.120F. .T95.", 0, &SFC_report::max_t, 95},  // no temperature: as written
      {"KDEN   35. 19.1614.008.190.100.120F. .S3.", 0, &SFC_report::scover, 3},
      {"KDEN   35. 19.1614.008.190.100.120F. .G22.", 0, &SFC_report::w_gust, 22},
      {"SHIP1  55. 50.2715.013.132.100.120F. .L123.-456.", 0, &SFC_report::lat, 12.3f},  // a ship's position
      {"SHIP1  55. 50.2715.013.132.100.120F. .L123.-456.", 0, &SFC_report::lon, -45.6f},
      {"SHIP1  55. 50.2715.013.132.100.120F. .L123.-456.", 0, &SFC_report::elev, 0},
      {"SHIP1  55. 50.2715.013.132.100.120F. .L999.-456.", 0, &SFC_report::lat, kMiss},  // off the globe
  };
  // clang-format on
  CheckFloats(cases, std::size(cases), false);
}

// Purpose: the identifier, the WMO number, the cloud layer, the weather and the
// lettered groups of the old form.
TEST(CvtOldForm, TextFieldsAndLayer) {
  SFC_report r = Old("KDEN   35. 19.1614.008.190.100.120F.RW-F.C8-5.");
  EXPECT_STREQ(r.id, "KDEN");
  EXPECT_EQ(r.wmo, SFC_MISSING);  // four characters: no number
  EXPECT_EQ(r.type, 0);
  EXPECT_EQ(r.time, SFC_MISSING);  // the old form has no time
  EXPECT_STREQ(r.area, "");
  ASSERT_EQ(r.num_cld, 1);
  EXPECT_EQ(r.cld_cover[0], 'F');
  EXPECT_EQ(r.cld_height[0], 12000);
  EXPECT_STREQ(r.weather, "RW-F");
  EXPECT_EQ(std::string(r.cld_type, 3), "8-5");

  r = Old("72565  35. 19.1614.008.190.100.-99C. .");
  EXPECT_EQ(r.wmo, 72565);  // more than four characters: also a number
  ASSERT_EQ(r.num_cld, 1);  // a clear sky is one layer without height
  EXPECT_EQ(r.cld_cover[0], 'C');
  EXPECT_EQ(r.cld_height[0], kMiss);
  EXPECT_STREQ(r.weather, " ");  // a blank weather is none

  EXPECT_EQ(Old("KDEN   35. 19.1614.008.190.100.-99 . .").num_cld, 0);  // blank cover: no layer
  EXPECT_EQ(Old("KDEN   35. 19.1614.008.190.100.120Q. .").num_cld, 0);  // not a cover code
  EXPECT_EQ(Old("KDEN   35. 19.1614.008.190.100.0058. .").cld_height[0],
            500);  // "005" and cover '8'
  EXPECT_STREQ(Old("KDEN   35. 19.1614.008.190.100.120F.  S- .").weather, "S-");
  EXPECT_STREQ(Old("KDEN   35. 19.1614.008.190.100.120F.#.").weather, "#");

  r = Old("SHIP1  55. 50.2715.013.132.100.120F. .L123.-456.");
  EXPECT_STREQ(r.area, "SHIP");
  r = Old("KDEN   35. 19.1614.008.190.100.120F. .C8-5.G22.");
  EXPECT_EQ(std::string(r.cld_type, 3), "8-5");
  EXPECT_EQ(r.w_gust, 22);
  r = Old("KDEN   35. 19.1614.008.190.100.120F. .C8.G22.");  // "%3s" takes any three non-blanks
  EXPECT_EQ(std::string(r.cld_type, 3), "8.G");
  EXPECT_EQ(r.w_gust, kMiss);
  r = Old("KDEN   35. 19.1614.008.190.100.120F. .C8 G22.");  // a shorter word keeps the rest blank
  EXPECT_EQ(std::string(r.cld_type, 3), "8  ");
}

// Purpose: a line that stops matching keeps what was read and leaves the rest
// missing; groups are read in their order.
TEST(CvtOldForm, CutShortAndOutOfOrder) {
  SFC_report r = Old("KDEN   35. 1");
  EXPECT_EQ(r.t, 35);
  EXPECT_EQ(r.td, 1);  // the number was read before the missing '.'
  EXPECT_EQ(r.w_spd, kMiss);
  r = Old("KDEN   35");
  EXPECT_EQ(r.t, 35);
  EXPECT_EQ(r.td, kMiss);
  r = Old("KDEN");
  EXPECT_STREQ(r.id, "KDEN");
  EXPECT_EQ(r.t, kMiss);
  r = Old("KDEN   35. 19.1614.008.190.100.120");  // no cover character
  EXPECT_EQ(r.vis, 10);
  EXPECT_EQ(r.num_cld, 0);
  r = Old("KDEN   35. 19.1614.008.190.100.120F.RAINANDSNOW.P201.");  // weather of more than 9
  EXPECT_STREQ(r.weather, "RAINANDSN");
  EXPECT_EQ(r.ptend, kMiss);
  r = Old("KDEN   35. 19.1614.008.190.100.120F. .G22.P201.");  // P after G is not read
  EXPECT_EQ(r.w_gust, 22);
  EXPECT_EQ(r.ptend, kMiss);
  r = Old("KDEN   35. 19.1614.008.190.100.120F. .P2r25.");  // a group without its '.' ends the line
  EXPECT_EQ(r.ptend, kMiss);
  EXPECT_EQ(r.rain6, kMiss);
  r = Old("KDEN   35. 19.1614.008.190.100.120F. .r99999999999.G22.");  // an overflowing number
  EXPECT_EQ(r.rain6, kMiss);
  EXPECT_EQ(r.w_gust, kMiss);
  r = Old("ABCDEFGHIJKLM 35.");  // the identifier takes ten characters
  EXPECT_STREQ(r.id, "ABCDEFGHIJ");
  EXPECT_EQ(r.t, kMiss);
  r = Old("KD$N   35. 19.");
  EXPECT_STREQ(r.id, "KD$N");
  EXPECT_EQ(r.td, 19);

  SFC_report e;
  EXPECT_EQ(SFC_cvt_parse_old("", 0, SFC_CVT_FULL, &e), -1);
  EXPECT_EQ(SFC_cvt_parse_old("   \t ", 0, SFC_CVT_FULL, &e), -1);
  EXPECT_EQ(SFC_cvt_parse_old("KDEN", 0, SFC_CVT_FULL, nullptr), -1);
}

// Purpose: reading only the identifier, or the identifier and location.
TEST(CvtTextForms, RepTypes) {
  const char *old_line = "SHIP12 55. 50.2715.013.132.100.120F. .L123.-456.G22.";
  SFC_report r = Old(old_line, 0, SFC_CVT_ID);
  EXPECT_STREQ(r.id, "SHIP12");
  EXPECT_EQ(r.wmo, SFC_MISSING);
  EXPECT_EQ(r.t, kMiss);
  EXPECT_EQ(r.lat, kMiss);
  r = Old(old_line, 0, SFC_CVT_LOCATION);
  EXPECT_STREQ(r.id, "SHIP12");
  EXPECT_FLOAT_EQ(r.lat, 12.3f);
  EXPECT_FLOAT_EQ(r.lon, -45.6f);
  EXPECT_EQ(r.elev, 0);
  EXPECT_EQ(r.t, kMiss);
  EXPECT_EQ(r.w_gust, kMiss);
  EXPECT_STREQ(r.area, "");

  const char *new_line = "72565 35.1 19.0 1614 3008 10190 10 120F - @2353 L123,-456 #AO2 $";
  r = New(new_line, 0, SFC_CVT_ID);
  EXPECT_STREQ(r.id, "72565");
  EXPECT_EQ(r.type, 0);
  EXPECT_EQ(r.time, SFC_MISSING);
  r = New(new_line, 0, SFC_CVT_LOCATION);
  EXPECT_EQ(r.wmo, 72565);
  EXPECT_FLOAT_EQ(r.lat, 12.3f);
  EXPECT_EQ(r.time, SFC_MISSING);
  EXPECT_STREQ(r.comment, "");
}

// Purpose: every numeric field rule of the new form, with its edge values.
TEST(CvtNewForm, NumericFields) {
  // clang-format off
  const FloatCase cases[] = {
      {"KDEN 35.1 19.0 1614 3008 10190 10 120F -", 0, &SFC_report::t, 35.1f},
      {"KDEN 35.1 19.0 1614 3008 10190 10 120F -", 0, &SFC_report::td, 19.0f},
      {"KDEN -99 -99 1614 3008 10190 10 120F -", 0, &SFC_report::t, kMiss},
      {"KDEN -99.0 -99 1614 3008 10190 10 120F -", 0, &SFC_report::td, kMiss},
      {"KDEN -99.5 -99 1614 3008 10190 10 120F -", 0, &SFC_report::t, -99.5f},  // only -99 itself is missing
      {"KDEN 35 19 2715 3008 10190 10 120F -", 0, &SFC_report::w_dir, 270},      // dddff
      {"KDEN 35 19 2715 3008 10190 10 120F -", 0, &SFC_report::w_spd, 15},
      {"KDEN 35 19 270105 3008 10190 10 120F -", 0, &SFC_report::w_dir, 270},    // above 4999: dddfff
      {"KDEN 35 19 270105 3008 10190 10 120F -", 0, &SFC_report::w_spd, 105},
      {"KDEN 35 19 275015 3008 10190 10 120F -", 0, &SFC_report::w_dir, 275},    // whole degrees
      {"KDEN 35 19 4999 3008 10190 10 120F -", 0, &SFC_report::w_spd, 99},       // still dddff
      {"KDEN 35 19 5000 3008 10190 10 120F -", 0, &SFC_report::w_dir, 5},        // the first dddfff
      {"KDEN 35 19 5000 3008 10190 10 120F -", 0, &SFC_report::w_spd, 0},
      {"KDEN 35 19 -99 3008 10190 10 120F -", 0, &SFC_report::w_spd, kMiss},
      {"KDEN 35 19 1614 2992 10190 10 120F -", 0, &SFC_report::alt, 29.92f},     // 1000 and above: a/100
      {"KDEN 35 19 1614 992 10190 10 120F -", 0, &SFC_report::alt, 29.92f},
      {"KDEN 35 19 1614 13 10190 10 120F -", 0, &SFC_report::alt, 30.13f},
      {"KDEN 35 19 1614 -99 10190 10 120F -", 0, &SFC_report::alt, kMiss},
      {"KDEN 35 19 1614 3008 10132 10 120F -", 0, &SFC_report::pmb, 1013.2f},   // 1000 and above: p/10
      {"KDEN 35 19 1614 3008 132 10 120F -", 0, &SFC_report::pmb, 1013.2f},
      {"KDEN 35 19 1614 3008 982 10 120F -", 0, &SFC_report::pmb, 998.2f},
      {"KDEN 35 19 1614 3080 982 10 120F -", 0, &SFC_report::pmb, 1098.2f},     // altimeter above 30.7: +100
      {"KDEN -15 -20 1614 3008 982 10 120F -", 0, &SFC_report::pmb, 1098.2f},   // temperature below -10: +100
      {"KDEN -99 -20 1614 -99 982 10 120F -", 0, &SFC_report::pmb, 998.2f},     // neither known: as coded
      {"KDEN 35 19 1614 2830 132 10 120F -", 0, &SFC_report::pmb, 913.2f},      // altimeter below 28.4: -100
      {"KDEN 35 19 1614 -99 132 10 120F -", 0, &SFC_report::pmb, 1013.2f},      // no altimeter: as coded
      {"KDEN 35 19 1614 3008 -99 10 120F -", 0, &SFC_report::pmb, kMiss},
      {"KDEN 35 19 1614 3008 10190 0.25 120F -", 0, &SFC_report::vis, 0.25f},   // miles
      {"KDEN 35 19 1614 3008 10190 -99 120F -", 0, &SFC_report::vis, kMiss},
      {"KDEN 35 19 1614 3008 10190 10 120F - P2015", 0, &SFC_report::ptend, 1.5f},
      {"KDEN 35 19 1614 3008 10190 10 120F - P7-15", 0, &SFC_report::ptend, -1.5f},
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 Q3 r4 q5 R6", 0, &SFC_report::rain1, 0.02f},
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 Q3 r4 q5 R6", 0, &SFC_report::rain3, 0.03f},
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 Q3 r4 q5 R6", 0, &SFC_report::rain6, 0.04f},
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 Q3 r4 q5 R6", 0, &SFC_report::rain12, 0.05f},
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 Q3 r4 q5 R6", 0, &SFC_report::rain24, 0.06f},
      {"KDEN 35 19 1614 3008 10190 10 120F - r-4", 0, &SFC_report::rain6, kMiss},
      {"KDEN 35 19 1614 3008 10190 10 120F - X44.5 x44 N35 n36", 0, &SFC_report::max_t, 44.5f},
      {"KDEN 35 19 1614 3008 10190 10 120F - X44.5 x44 N35 n36", 0, &SFC_report::max6_t, 44},
      {"KDEN 35 19 1614 3008 10190 10 120F - X44.5 x44 N35 n36", 0, &SFC_report::min_t, 35},
      {"KDEN 35 19 1614 3008 10190 10 120F - X44.5 x44 N35 n36", 0, &SFC_report::min6_t, 36},
      {"KDEN 35 19 1614 3008 10190 10 120F - T-5", 0, &SFC_report::max_t, -5},   // as written, by the hour
      {"KDEN 35 19 1614 3008 10190 10 120F - T-5", 15, &SFC_report::min_t, -5},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::scover, 2},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::w_gust, 25},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::solar, 120},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::sst, 55.5f},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::wav_per, 7},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::wav_hgt, 2.5f},
      {"KDEN 35 19 1614 3008 10190 10 120F - S2 G25 s120 t55.5 p7 h2.5", 0, &SFC_report::rain1, kMiss},
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 s1 p7", 0, &SFC_report::rain1, 0.02f},   // the first p
      {"KDEN 35 19 1614 3008 10190 10 120F - p2 s1 p7", 0, &SFC_report::wav_per, 7},     // the second p
      {"SHIP1 55 50 2715 3013 10132 10 120F - L-123,1456", 0, &SFC_report::lat, -12.3f},
      {"SHIP1 55 50 2715 3013 10132 10 120F - L-123,1456", 0, &SFC_report::lon, 145.6f},
      {"KDEN 1e39 19 1614 3008 10190 10 120F -", 0, &SFC_report::t, kMiss},          // beyond a float
      {"KDEN 1e39 19 1614 3008 10190 10 120F -", 0, &SFC_report::td, kMiss},         // and the rest too
      {"KDEN 35 19 99999999999 3008 10190 10 120F -", 0, &SFC_report::w_spd, kMiss}, // beyond an int
      {"KDEN 35 19 99999999999 3008 10190 10 120F -", 0, &SFC_report::alt, kMiss},
      {"KDEN nan 19 1614 3008 10190 10 120F -", 0, &SFC_report::t, kMiss},           // no number
      {"KDEN 35.1 $ 19.0 1614 3008 10190 10 120F -", 0, &SFC_report::td, kMiss},     // the line ends at '$'
      {"KDEN 35.1 19.0 1614 3008 10190 10 120F - $ G25", 0, &SFC_report::w_gust, kMiss},
  };
  // clang-format on
  CheckFloats(cases, std::size(cases), true);
}

// Purpose: the cloud list, the weather word, the time, the tendency and the comment
// of the new form.
TEST(CvtNewForm, CloudsWeatherTimeComment) {
  SFC_report r =
      New("KDEN 35.1 19.0 1614 3008 10190 10 120F,220F - @2353 P6-15 x44.06 n35.06 #AO2 SLP190 $");
  EXPECT_STREQ(r.id, "KDEN");
  EXPECT_EQ(r.type, 1);
  EXPECT_EQ(r.time, 2353);
  EXPECT_EQ(r.ptend_t, 6);
  EXPECT_FLOAT_EQ(r.ptend, -1.5f);
  ASSERT_EQ(r.num_cld, 2);
  EXPECT_EQ(r.cld_height[0], 12000);
  EXPECT_EQ(r.cld_cover[1], 'F');
  EXPECT_EQ(r.cld_height[1], 22000);
  EXPECT_STREQ(r.weather, " ");  // '-' is no weather
  EXPECT_STREQ(r.comment, "AO2 SLP190 ");

  struct CloudCase {
    const char *list;
    int layers;
    const char *covers;
    float first_height;
  };
  // clang-format off
  const CloudCase clouds[] = {
      {"-99M", 0, "", kMiss},                    // no clouds
      {"M", 0, "", kMiss},                       // no height either
      {"-99C", 1, "C", kMiss},                   // clear: one layer without height
      {"35:4,120B", 2, "4B", 3500},              // a digit cover after ':'
      {"5F,10S,20B,30O,40X,50O", 5, "FSBOX", 500},  // at most five layers
      {"35B,xx,120O", 1, "B", 3500},             // an item that is no layer ends the list
      {"35Q", 0, "", kMiss},                     // not a cover code
      {"35", 0, "", kMiss},                      // no cover
      {"-99X,-99O", 2, "XO", kMiss},             // heights missing
      {"35B,,120O", 1, "B", 3500},               // an empty item
  };
  // clang-format on
  for (const CloudCase &c : clouds) {
    SCOPED_TRACE(c.list);
    r = New(std::string("KDEN 35 19 1614 3008 10190 10 ") + c.list + " -");
    ASSERT_EQ(r.num_cld, c.layers);
    EXPECT_EQ(std::string(r.cld_cover, r.num_cld), c.covers);
    EXPECT_EQ(r.cld_height[0], c.first_height);
  }

  EXPECT_STREQ(New("KDEN 35 19 1614 3008 10190 10 120F !-SHRA_BR").weather, "!-SHRA_BR");
  EXPECT_STREQ(New("KDEN 35 19 1614 3008 10190 10 120F #AB").weather,
               "#AB");  // '#' as a weather word
  r = New("KDEN 35 19 1614 3008 10190 10 120F ABCDEFGHIJKLMNOPQRSTUVW G25");
  EXPECT_STREQ(r.weather, "ABCDEFGHIJKLMNOPQRS");  // 19 characters; the rest is no group
  EXPECT_EQ(r.w_gust, kMiss);

  EXPECT_EQ(New("KDEN 35 19 1614 3008 10190 10 120F - @2400").time, SFC_MISSING);  // no such time
  EXPECT_EQ(New("KDEN 35 19 1614 3008 10190 10 120F - @1261").time, SFC_MISSING);
  EXPECT_EQ(New("KDEN 35 19 1614 3008 10190 10 120F - @5").time, 5);
  r = New("KDEN 35 19 1614 3008 10190 10 120F - P9 15");
  EXPECT_EQ(r.ptend_t, SFC_MISSING);  // 9 is no tendency characteristic
  EXPECT_FLOAT_EQ(r.ptend, 1.5f);
  r = New("KDEN 35 19 1614 3008 10190 10 120F - C8-5 G20");
  EXPECT_EQ(std::string(r.cld_type, 3), "8-5");
  EXPECT_EQ(r.w_gust, 20);

  const std::string long_comment(80, 'A');
  r = New("KDEN 35 19 1614 3008 10190 10 120F - #" + long_comment + "$");
  EXPECT_EQ(std::string(r.comment),
            std::string(SFC_CVT_COMMENT_LEN, 'A'));  // 69 characters at most
  EXPECT_STREQ(New("KDEN 35 19 1614 3008 10190 10 120F - #$").comment, "");
  EXPECT_STREQ(New("KDEN 35 19 1614 3008 10190 10 120F - #A#B#C $").comment, "A#B#C ");
  EXPECT_STREQ(New("KDEN 35 19 1614 3008 10190 10 120F - #no end").comment, "no end");
}

// Purpose: a new-form line cut short at every length keeps a terminated record with
// its layers in range.
TEST(CvtNewForm, EveryPrefixOfARealLine) {
  const std::string line =
      "KYNG  32.0 24.1 1907 2990 10139 9 21F,47B,65O !-SN @2351 P8-22 p0 r0 x32 n30.02 S1 #AO2 "
      "SNB36 $";
  for (std::size_t n = 1; n <= line.size(); ++n) {
    SCOPED_TRACE(n);
    SFC_report r;
    ASSERT_EQ(SFC_cvt_parse_new(line.substr(0, n), 0, SFC_CVT_FULL, &r), 0);
    EXPECT_LE(std::strlen(r.id), 10u);
    EXPECT_LE(std::strlen(r.weather), 20u);
    EXPECT_LE(std::strlen(r.comment), 99u);
    EXPECT_GE(r.num_cld, 0);
    EXPECT_LE(r.num_cld, 3);
  }
  const SFC_report whole = New(line);
  EXPECT_EQ(whole.num_cld, 3);
  EXPECT_FLOAT_EQ(whole.ptend, -2.2f);
  EXPECT_EQ(whole.rain1, 0);
  EXPECT_FLOAT_EQ(whole.min6_t, 30.02f);
  EXPECT_EQ(whole.scover, 1);
  EXPECT_STREQ(whole.comment, "AO2 SNB36 ");
}

}  // namespace
