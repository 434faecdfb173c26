// SA decoder: heading, sky, visibility, weather, the table of main groups, the
// United States remark groups and the completion of the abbreviated values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"
#include "surface/sa.h"
#include "surface/sa_testing.h"
#include "surface/scanner.h"

namespace {

constexpr float M = SFC_MISSING_F;
constexpr int kUS = SFC_ORIGIN_US;
constexpr int kCanada = SFC_ORIGIN_CANADA;
constexpr int kMexico = SFC_ORIGIN_MEXICO;
constexpr int kOther = SFC_ORIGIN_OTHER;

// A record as the driver hands it to the decoder.
SFC_report Fresh() {
  SFC_report r;
  SFC_initialize(&r);
  std::strcpy(r.area, "UN");
  return r;
}

struct Decoded {
  int rc;
  SFC_report r;
};

Decoded Decode(const std::string &text, int bulletin = kUS, int prhour = 0) {
  SFC_set_prhour(prhour);
  Decoded d{0, Fresh()};
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  d.rc = SFC_decode_SA(buf.data(), SFC_FMT_SA, bulletin, &d.r);
  return d;
}

// The notes a decode prints, with the decoder's message class shown.
std::string Notes(const std::string &text, int bulletin = kUS, int prhour = 0) {
  MESS_set(MESS_USER_ADD, SFC_SA_NOTE_CLASS);
  testing::internal::CaptureStdout();
  Decode(text, bulletin, prhour);
  std::string out = testing::internal::GetCapturedStdout();
  MESS_reset_state();
  return out;
}

std::string Covers(const SFC_report &r) { return std::string(r.cld_cover, SFC_MAX_CLD); }

// Values compare within a small tolerance; missing must be exactly missing.
void ExpectValue(float got, float want, const char *what) {
  if (want == M)
    EXPECT_EQ(got, M) << what;
  else
    EXPECT_NEAR(got, want, 1e-3) << what;
}

class SaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_raw_reset_state();
  }
  void TearDown() override {
    SFC_raw_reset_state();
    MESS_reset_state();
  }
};

// ---- the worked example and the conversions ------------------------------------

// Purpose: the United States report of the documented example, field by field.
TEST_F(SaTest, DenverExample) {
  const Decoded d = Decode("DEN SA 1750 25 SCT 250 -BKN 15 RW- 132/58/44/2710G20/992");
  ASSERT_EQ(d.rc, 0);
  const SFC_report &r = d.r;
  EXPECT_STREQ(r.id, "DEN");
  EXPECT_STREQ(r.area, "SA");
  EXPECT_EQ(r.type, 1);
  EXPECT_EQ(r.time, 1750);
  EXPECT_EQ(r.num_cld, 2);
  EXPECT_EQ(Covers(r), "Sb   ");
  EXPECT_FLOAT_EQ(r.cld_height[0], 2500);
  EXPECT_FLOAT_EQ(r.cld_height[1], 25000);
  EXPECT_EQ(r.cld_height[2], M);  // the 15 looked at as a height is not kept
  EXPECT_FLOAT_EQ(r.vis, 15);
  EXPECT_STREQ(r.weather, "RW-");
  EXPECT_NEAR(r.pmb, 1013.2, 1e-3);
  EXPECT_FLOAT_EQ(r.t, 58);
  EXPECT_FLOAT_EQ(r.td, 44);
  EXPECT_FLOAT_EQ(r.w_dir, 270);
  EXPECT_FLOAT_EQ(r.w_spd, 10);
  EXPECT_FLOAT_EQ(r.w_gust, 20);
  EXPECT_NEAR(r.alt, 29.92, 1e-4);
  EXPECT_STREQ(r.comment, "");
}

// Purpose: completion of three-digit pressure and altimeter, the 100 mb
// corrections, and the Celsius countries.
TEST_F(SaTest, Completion) {
  struct Case {
    const char *text;
    int bulletin;
    float pmb, t, td, alt;
  };
  // clang-format off
  const Case cases[] = {
      {"XXX SA 1200 CLR 7 132/58/44/2710/013", kUS, 1013.2f, 58, 44, 30.13f},       // altimeter below 5: 30.xx
      {"XXX SA 1200 CLR 7 132/58/44/2710/992", kUS, 1013.2f, 58, 44, 29.92f},       // above 5: 29.xx
      {"XXX SA 1200 CLR 7 982/58/44/2710/045", kUS, 1098.2f, 58, 44, 30.45f},       // 998.2 with 30.45 is 1098.2
      {"XXX SA 1200 CLR 7 132/58/44/2710/925", kUS, 913.2f, 58, 44, 29.25f},        // 1013.2 with 29.25 is 913.2
      {"XXX SA 1200 CLR 7 982/58/44/2710/985", kUS, 998.2f, 58, 44, 29.85f},        // consistent: unchanged
      {"XXX SA 1200 CLR 7 132/12/05/2710/013", kCanada, 1013.2f, 53.6f, 41, 30.13f},  // Celsius to Fahrenheit
      {"XXX SA 1200 CLR 7 132/-05/-10/2710/013", kCanada, 1013.2f, 23, 14, 30.13f},   // below zero
      {"XXX SA 1200 CLR 7 132 22/05 3605 013", kMexico, 1013.2f, 71.6f, 41, 29.577f},  // hectopascals to inches
      {"XXX SA 1200 CLR 7 132/40/44/2710/992", kUS, 1013.2f, 40, M, 29.92f},        // dew point above t dropped
      {"XXX SA 1200 CLR 7 132/131/44/2710/992", kUS, 1013.2f, M, 44, 29.92f},       // t above 130 dropped
      {"XXX SA 1200 CLR 7 132/-71/-80/2710/992", kUS, 1013.2f, M, -80, 29.92f},     // t below -70 dropped
      {"XXX SA 1200 CLR 7 132/55/44/2710/992", kCanada, 1013.2f, M, 111.2f, 29.92f},  // 131 F after conversion
      {"XXX SA 1200 CLR 7 M/M/44/2710/M", kUS, M, M, 44, M},                        // td kept without a t
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded d = Decode(c.text, c.bulletin);
    ASSERT_EQ(d.rc, 0);
    EXPECT_FLOAT_EQ(d.r.vis, 7);
    ExpectValue(d.r.pmb, c.pmb, "pmb");
    ExpectValue(d.r.t, c.t, "t");
    ExpectValue(d.r.td, c.td, "td");
    ExpectValue(d.r.alt, c.alt, "alt");
  }
}

// ---- heading ---------------------------------------------------------------------

// Purpose: the report kinds, the time, the words the heading passes over.
TEST_F(SaTest, Heading) {
  struct Case {
    const char *text;
    const char *id, *area;
    int type, time;
  };
  const Case cases[] = {
      {"DEN SA 1750 CLR", "DEN", "SA", 1, 1750},          // routine
      {"DEN SP 1805 CLR", "DEN", "SP", 2, 1805},          // special
      {"DEN RS 1805 CLR", "DEN", "RS", 3, 1805},          // record special
      {"DEN SM 1800 CLR", "DEN", "SM", 1, 1800},          // supplementary
      {"\x1e  DEN SA 1750 CLR", "DEN", "SA", 1, 1750},    // record separator and blanks first
      {"KDEN SA COR 1750 CLR", "KDEN", "SA", 1, 1750},    // a correction before the time
      {"DEN SA 1750 SA 1752 CLR", "DEN", "SA", 1, 1750},  // a repeated kind and time
      {"X SA 1750 AUTO8 UA CLR", "X", "SA", 1, 1750},     // identifier of one character
      {"DEN SA", "DEN", "SA", 1, SFC_MISSING},            // cut after the kind
      {"DEN SA M M M", "DEN", "SA", 1, SFC_MISSING},      // no time
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded d = Decode(c.text);
    ASSERT_EQ(d.rc, 0);
    EXPECT_STREQ(d.r.id, c.id);
    EXPECT_STREQ(d.r.area, c.area);
    EXPECT_EQ(d.r.type, c.type);
    EXPECT_EQ(d.r.time, c.time);
  }
}

// Purpose: the words after the time are passed, so the sky after them is read.
TEST_F(SaTest, HeadingWordsPassed) {
  const char *texts[] = {
      "DEN SA 1750 AUTO CLR",         // plain AUTO
      "DEN SA 1750 AUTOB CLR",        // automatic station kinds
      "DEN SA 1750 AUTO8 RADAT CLR",  // a kind and a word
      "DEN SA 1750 AWOS CLR",         // station kind
      "DEN SA 1750 A02A COR CLR",     // station kind and correction
      "DEN SA COR 1750 SA 1751 TEST AMOS CLR",
  };
  for (const char *t : texts) {
    SCOPED_TRACE(t);
    const Decoded d = Decode(t);
    EXPECT_EQ(d.r.num_cld, 1);
    EXPECT_EQ(d.r.cld_cover[0], 'C');
    EXPECT_EQ(d.r.time, 1750);
  }
}

// Purpose: a heading that does not fit is refused and the record stays as the
// caller set it up.
TEST_F(SaTest, HeadingRefused) {
  const char *texts[] = {
      "DEN XX 1750 CLR",  // no report kind
      "KDENX SA 1750",    // identifier of five characters
      "DEN",              // identifier alone
      "",                 // nothing
      "   ",              // blanks only
      "DEN  1750 SA",     // kind not right after the identifier
      "METAR KDEN 121753Z 27015KT",
  };
  const SFC_report fresh = Fresh();
  for (const char *t : texts) {
    SCOPED_TRACE(t);
    const Decoded d = Decode(t);
    EXPECT_EQ(d.rc, -1);
    EXPECT_EQ(std::memcmp(&d.r, &fresh, sizeof fresh), 0);
  }
  SFC_report r = Fresh();
  EXPECT_EQ(SFC_decode_SA(nullptr, 1, 0, &r), -1);
  EXPECT_EQ(SFC_decode_SA("DEN SA 1750", 1, 0, nullptr), -1);
}

// ---- sky ---------------------------------------------------------------------------

// Purpose: layers, ceiling letters, thin layers, clear sky and the Mexican words.
TEST_F(SaTest, Sky) {
  struct Case {
    const char *sky;
    int bulletin;
    int num_cld;
    const char *covers;
    float h0, h1, h2;
    float vis = 15;
  };
  const Case cases[] = {
      {"25 SCT 250 -BKN", kUS, 2, "Sb   ", 2500, 25000, M},    // the documented example
      {"CLR", kUS, 1, "C    ", M, M, M},                       // clear: one layer without height
      {"CLR BLO 120", kUS, 1, "C    ", M, M, M},               // below-height remark passed
      {"M25 OVC", kUS, 1, "O    ", 2500, M, M},                // measured ceiling letter dropped
      {"E8 BKN 30 OVC", kUS, 2, "BO   ", 800, 3000, M},        // estimated ceiling
      {"W5 X", kUS, 1, "X    ", 500, M, M},                    // indefinite ceiling, obscured
      {"-X 12 -SCT 40 -OVC", kUS, 3, "xso  ", M, 1200, 4000},  // thin and partial covers
      {"12 0VC", kUS, 1, "O    ", 1200, M, M},                 // zero typed for O
      {"12 BRK", kUS, 1, "B    ", 1200, M, M},                 // BRK is broken
      {"25 V BKN", kUS, 1, "B    ", 2500, M, M},               // a lone V passed
      {"M", kUS, 0, "     ", M, M, M},                         // sky missing
      {"MMMM", kUS, 0, "     ", M, M, M},                      // sky missing
      {"25 DESP", kMexico, 1, "C    ", 2500, M, M},            // despejado
      {"25 MNU 80 NUB 120 CDO", kMexico, 3, "SBO  ", 2500, 8000, 12000},  // Mexican cover words
      {"/SCT 30 DSP", kMexico, 2, "SC   ", 25000, 3000, M},  // a slash is 250 in Mexico
      {"25 NUB", kUS, 0, "     ", M, M, M, 25},              // Mexican words only in Mexico
      {"/SCT", kUS, 0, "     ", M, M, M, M},                 // the slash only in Mexico
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.sky);
    const Decoded d =
        Decode(std::string("XXX SA 1200 ") + c.sky + " 15 132/58/44/2710/992", c.bulletin);
    ASSERT_EQ(d.rc, 0);
    EXPECT_EQ(d.r.num_cld, c.num_cld);
    EXPECT_EQ(Covers(d.r), c.covers);
    ExpectValue(d.r.cld_height[0], c.h0, "h0");
    ExpectValue(d.r.cld_height[1], c.h1, "h1");
    ExpectValue(d.r.cld_height[2], c.h2, "h2");
    ExpectValue(d.r.vis, c.vis, "vis");  // the sky never takes the visibility
  }
}

// Purpose: issue 9, point 7. A height read ahead is kept aside until its layer
// is complete, and five layers fill the record without writing past it.
TEST_F(SaTest, SkyHeightKeptAsideAndFiveLayers) {
  // Five layers, then a visibility that looks like a height.
  Decoded d = Decode("XXX SA 1200 10 SCT 20 SCT 30 BKN 40 BKN 50 OVC 15 R- 132/58/44/2710/992");
  ASSERT_EQ(d.rc, 0);
  EXPECT_EQ(d.r.num_cld, 5);
  EXPECT_EQ(Covers(d.r), "SSBBO");
  EXPECT_FLOAT_EQ(d.r.cld_height[4], 5000);  // not the 15 read ahead
  EXPECT_FLOAT_EQ(d.r.vis, 15);
  EXPECT_STREQ(d.r.weather, "R-");

  // A sixth and seventh layer replace the fifth.
  d = Decode("XXX SA 1200 10 SCT 20 SCT 30 BKN 40 BKN 50 OVC 60 -OVC CLR 7 132/58/44/2710/992");
  EXPECT_EQ(d.r.num_cld, 5);
  EXPECT_EQ(Covers(d.r), "SSBBC");
  EXPECT_EQ(d.r.cld_height[4], M);  // a clear layer has no height
  EXPECT_FLOAT_EQ(d.r.cld_height[3], 4000);
  EXPECT_FLOAT_EQ(d.r.vis, 7);

  // A height without a cover after it stays with what follows.
  d = Decode("XXX SA 1200 25 SCT 3 132/58/44/2710/992");
  EXPECT_EQ(d.r.num_cld, 1);
  EXPECT_EQ(d.r.cld_height[1], M);
  EXPECT_FLOAT_EQ(d.r.vis, 3);
}

// ---- visibility and weather ---------------------------------------------------------

// Purpose: every visibility form, and its absence before the main group.
TEST_F(SaTest, Visibility) {
  struct Case {
    const char *vis;
    int bulletin;
    float want;
    const char *weather;
  };
  const Case cases[] = {
      {"15", kUS, 15, " "},             // whole miles
      {"1/2 F", kUS, 0.5f, "F"},        // a fraction
      {"11/2 F", kUS, 1.5f, "F"},       // whole and fraction written together
      {"1 1/2 F", kUS, 1.5f, "F"},      // whole and fraction apart
      {"1 1/16 F", kUS, 1.0625f, "F"},  // two-digit denominator
      {"<1/4 F", kUS, 0.25f, "F"},      // less than: the sign dropped
      {"BV5 H", kUS, 5, "H"},           // a BV group
      {"15+", kUS, 15, " "},            // more than: the sign dropped
      {"2.5 H", kUS, 2.5f, "H"},        // a decimal
      {"M RW", kUS, M, "RW"},           // missing
      {"1/0 F", kUS, 1, "F"},           // a zero denominator read as 1
      {"1 1/0 F", kUS, 2, "F"},         // a zero denominator read as 1
      {"15 V RW-", kUS, 15, "RW-"},     // a V after the visibility passed
      {"10MAS HZ", kMexico, 10, "HZ"},  // Mexican "more than"
      {"", kUS, M, " "},                // the main group follows at once
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.vis);
    const Decoded d =
        Decode(std::string("XXX SA 1200 CLR ") + c.vis + " 132/58/44/2710/992", c.bulletin);
    ASSERT_EQ(d.rc, 0);
    ExpectValue(d.r.vis, c.want, "vis");
    EXPECT_STREQ(d.r.weather, c.weather);
    EXPECT_FLOAT_EQ(d.r.w_dir, 270) << "main group still read";
  }
}

// Purpose: the altimeter of an ALSTG group stays when the main group has none,
// and the main group's own altimeter replaces it.
TEST_F(SaTest, AltimeterSetting) {
  Decoded d = Decode("XXX SA 1200 CLR 15 ALSTG 013 RW- 132/58/44/2710");
  EXPECT_NEAR(d.r.alt, 30.13, 1e-4);
  EXPECT_STREQ(d.r.weather, "RW-");
  EXPECT_FLOAT_EQ(d.r.w_dir, 270);
  d = Decode("XXX SA 1200 CLR 15 ALSTG 013 132/58/44/2710/992");
  EXPECT_NEAR(d.r.alt, 29.92, 1e-4);
}

// Purpose: weather codes, and the M that marks them missing.
TEST_F(SaTest, Weather) {
  struct Case {
    const char *text;
    const char *weather;
  };
  const Case cases[] = {
      {"XXX SA 1200 CLR 3 RW-F 132/58/44/2710/992", "RW-F"},
      {"XXX SA 1200 CLR 3 TRW+A 132/58/44/2710/992", "TRW+A"},
      {"XXX SA 1200 CLR 3 ZR-IPWSGK 132/58/44/2710/992", "ZR-IPWSGK"},  // nine characters kept
      {"XXX SA 1200 M M M M/58/44/2710/M", " "},  // M is the missing mark, not weather
      {"XXX SA 1200 M M MM 132/58/44/2710/992", " "},
      {"XXX SA 1200 CLR 3 MMM/58/44/2710/992", " "},  // missing pressure is no weather
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded d = Decode(c.text);
    ASSERT_EQ(d.rc, 0);
    EXPECT_STREQ(d.r.weather, c.weather);
    EXPECT_FLOAT_EQ(d.r.t, 58);
  }
}

// ---- the table of main groups ----------------------------------------------------------

// Purpose: every row of the table of pressure, temperature, dew point, wind and
// altimeter is reachable, for its own country, with its values completed.
TEST_F(SaTest, MainGroupRows) {
  struct Case {
    const char *group;
    int bulletin;
    int row;
    float pmb, t, td, dir, spd, gust, alt;
  };
  // clang-format off
  const Case cases[] = {
      {"132/58/44/2710/992", kUS, 0, 1013.2f, 58, 44, 270, 10, M, 29.92f},
      {"E132/58/44/E2710/E992", kUS, 0, 1013.2f, 58, 44, 270, 10, M, 29.92f},  // estimates
      {"M/58/44/MM10/M", kUS, 0, M, 58, 44, M, 10, M, M},                     // missing letters
      {"132/58/44/CALM/992", kUS, 1, 1013.2f, 58, 44, 0, 0, M, 29.92f},
      {"132/58/44/2710G20/992", kUS, 2, 1013.2f, 58, 44, 270, 10, 20, 29.92f},
      {"132 22/05 C 013", kMexico, 3, 1013.2f, 71.6f, 41, 0, 0, M, 29.577f},
      {"132/22/05/C/013", kMexico, 3, 1013.2f, 71.6f, 41, 0, 0, M, 29.577f},   // slashes between
      {"132 22/05 3605 013", kMexico, 4, 1013.2f, 71.6f, 41, 360, 5, M, 29.577f},
      {"132 22/053605 013", kMexico, 5, 1013.2f, 71.6f, 41, 360, 5, M, 29.577f},
      {"22/05 C 013", kMexico, 6, M, 71.6f, 41, 0, 0, M, 29.577f},
      {"22/05 3605MAS12 013", kMexico, 7, M, 71.6f, 41, 360, 5, 12, 29.577f},
      {"22/05 3605 013", kMexico, 8, M, 71.6f, 41, 360, 5, M, 29.577f},
      {"22/053605 013", kMexico, 9, M, 71.6f, 41, 360, 5, M, 29.577f},         // issue 9, point 5
      {"132/-05/-10/2412+20/-", kCanada, 10, 1013.2f, 23, 14, 240, 12, 20, M},
      {"132/MMM/MMM/2412+20/-", kCanada, 10, 1013.2f, M, M, 240, 12, 20, M},
      {"140/00/-08/2412+20/M", kCanada, 11, 1014, 32, 17.6f, 240, 12, 20, M},  // real (PBM)
      {"M/M/M/MM11+24/M", kCanada, 11, M, M, M, M, 11, 24, M},        // real (WQV): direction MM
      {"104/-10/-13/MM19+25/M", kCanada, 11, 1010.4f, 14, 8.6f, M, 19, 25, M},  // real (WWS)
      {"132/MMM/MMM/MM12+20/-", kCanada, 10, 1013.2f, M, M, M, 12, 20, M},
      {"132/05<03/2410/-", kCanada, 12, 1013.2f, 41, 37.4f, 240, 10, M, M},
      {"132///2410/-", kCanada, 12, 1013.2f, M, M, 240, 10, M, M},            // empty values
      {"132/05/03<2410+20/-", kCanada, 13, 1013.2f, 41, 37.4f, 240, 10, 20, M},
      {"132/58/44/2710", kUS, 14, 1013.2f, 58, 44, 270, 10, M, M},
      {"132/MMM/MM/2710", kUS, 15, 1013.2f, M, M, 270, 10, M, M},
      {"58/44/2710/992", kUS, 16, M, 58, 44, 270, 10, M, 29.92f},
      {"MM/MM/MMMM/MMM", kUS, 17, M, M, M, M, M, M, M},
      {"58/44/CALM/992", kUS, 18, M, 58, 44, 0, 0, M, 29.92f},
      {"58/44/2710G20/992", kUS, 19, M, 58, 44, 270, 10, 20, 29.92f},
      {"2710/992", kUS, 20, M, M, M, 270, 10, M, 29.92f},
      {"2710G20/992", kUS, 21, M, M, M, 270, 10, 20, 29.92f},
      {"2710G20", kUS, 22, M, M, M, 270, 10, 20, M},
      {"2710", kUS, 23, M, M, M, 270, 10, M, M},
      {"132 22/05 C 013", kUS, -1, M, M, M, M, M, M, M},      // a Mexican row elsewhere
      {"132/-05/-10/2412+20/-", kUS, 14, 1013.2f, -5, -10, 240, 12, M, M},  // Canadian gust unread
      {"58/44/2710", kUS, -1, M, M, M, M, M, M, M},           // no row without pressure and altimeter
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.group) + " bulletin " + std::to_string(c.bulletin));
    EXPECT_EQ(SFC_SA_body_row(c.group, c.bulletin), c.row);
    const Decoded d = Decode(std::string("XXX SA 1200 CLR 7 ") + c.group + " ", c.bulletin);
    ASSERT_EQ(d.rc, 0);
    ExpectValue(d.r.pmb, c.pmb, "pmb");
    ExpectValue(d.r.t, c.t, "t");
    ExpectValue(d.r.td, c.td, "td");
    ExpectValue(d.r.w_dir, c.dir, "w_dir");
    ExpectValue(d.r.w_spd, c.spd, "w_spd");
    ExpectValue(d.r.w_gust, c.gust, "w_gust");
    ExpectValue(d.r.alt, c.alt, "alt");
    if (c.row < 0) {
      EXPECT_STRNE(d.r.comment, "") << "an unread group goes to the remarks";
    }
  }
}

// Purpose: issue 9, point 5, and the table as a whole. Each row's count is the
// number of its directives (a larger count can never be reached) and each row
// stores one value per target.
TEST_F(SaTest, MainGroupCountsAreReachable) {
  ASSERT_EQ(SFC_SA_body_rows(), 24);
  for (int i = 0; i < SFC_SA_body_rows(); ++i) {
    const ScanPattern pat(SFC_SA_body_pattern(i));
    SCOPED_TRACE(pat.text());
    EXPECT_EQ(pat.directives(), SFC_SA_body_count(i));
    EXPECT_EQ(pat.arguments(), SFC_SA_body_values(i));
  }
  EXPECT_EQ(SFC_SA_body_count(9), 7);
  EXPECT_STREQ(SFC_SA_body_pattern(9), "%2!M!f/%2!M!f%2f%2f%*!!(E)%*( |/)%3!M!f");
  EXPECT_EQ(SFC_SA_body_count(24), -1);
  EXPECT_STREQ(SFC_SA_body_pattern(-1), "");
  EXPECT_EQ(SFC_SA_body_row(nullptr, 0), -1);
}

// Purpose: a report ending with '=' right after the main group has no remarks,
// and the slash after the group is passed.
TEST_F(SaTest, EndAfterMainGroup) {
  Decoded d = Decode("DEN SA 1750 25 SCT 15 132/58/44/2710G20/992=");
  EXPECT_STREQ(d.r.comment, "");
  EXPECT_NEAR(d.r.alt, 29.92, 1e-4);
  d = Decode("DEN SA 1750 25 SCT 15 132/58/44/2710G20/992/ = FOO");
  EXPECT_STREQ(d.r.comment, "");
  // Later words are remarks as they stand, an '=' of theirs included.
  d = Decode("DEN SA 1750 25 SCT 15 132/58/44/2710G20/992/FOO BAR= BAZ");
  EXPECT_STREQ(d.r.comment, "FOO BAR= BAZ ");
  d = Decode("DEN SA 1750 25 SCT 15 132/58/44/2710/992 ABC= DEF ");
  EXPECT_STREQ(d.r.comment, "ABC= DEF ");
  d = Decode("DEN SA 1750 25 SCT 15 132/58/44/2710/992 ABC = DEF ");
  EXPECT_STREQ(d.r.comment, "ABC = DEF ");
}

// Purpose: the remark "SLP %d" takes any value up to 999, a negative one too,
// completed like the main group's pressure.
TEST_F(SaTest, RemarkSeaLevelPressure) {
  struct Case {
    const char *text;
    float pmb;
  } cases[] = {
      {"DEN SA 1750 25 SCT 15 M/58/44/2710/992 SLP -5", 999.5f},
      {"DEN SA 1750 25 SCT 15 M/58/44/2710/992 SLP 132", 1013.2f},
      {"DEN SA 1750 25 SCT 15 M/58/44/2710/992 SLP 999", 999.9f},
      {"DEN SA 1750 25 SCT 15 M/58/44/2710/992 SLP 0", 1000.0f},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    Decoded d = Decode(c.text);
    EXPECT_NEAR(d.r.pmb, c.pmb, 1e-3);
  }
  Decoded d = Decode("DEN SA 1750 25 SCT 15 M/58/44/2710/992 SLP 1000");
  EXPECT_EQ(d.r.pmb, SFC_MISSING_F);
}

// Purpose: a missing sea-level pressure written MMM/ is passed before the
// table, so the temperature rows read what follows; a weather word longer than
// nine characters leaves its tail where the main group should be.
TEST_F(SaTest, BeforeMainGroup) {
  Decoded d = Decode("XXX SA 1200 CLR 7 MMM/58/44/2710/992");
  EXPECT_EQ(d.r.pmb, M);
  EXPECT_FLOAT_EQ(d.r.t, 58);
  EXPECT_NEAR(d.r.alt, 29.92, 1e-4);
  EXPECT_STREQ(d.r.weather, " ");
  d = Decode("XXX SA 1200 CLR 3 ZR-IPWSGKH 132/58/44/2710/992");
  EXPECT_STREQ(d.r.weather, "ZR-IPWSGK");
  EXPECT_EQ(d.r.t, M);
  EXPECT_STREQ(d.r.comment, "H 132/58/44/2710/992 ");
}

// ---- remarks -----------------------------------------------------------------------------

// A field of the record by name, for the remark table.
float Field(const SFC_report &r, std::string_view name) {
  if (name == "pmb") return r.pmb;
  if (name == "ptend_t") return static_cast<float>(r.ptend_t);
  if (name == "ptend") return r.ptend;
  if (name == "rain3") return r.rain3;
  if (name == "rain6") return r.rain6;
  if (name == "rain24") return r.rain24;
  if (name == "max_t") return r.max_t;
  if (name == "min_t") return r.min_t;
  if (name == "max6_t") return r.max6_t;
  if (name == "min6_t") return r.min6_t;
  if (name == "scover") return r.scover;
  if (name == "solar") return r.solar;
  ADD_FAILURE() << "no field " << name;
  return 0;
}

struct Want {
  const char *field;
  float value;
};

// Purpose: every United States remark group, its conditions and its note.
TEST_F(SaTest, UnitedStatesRemarkGroups) {
  struct Case {
    const char *remarks;
    int prhour;
    std::vector<Want> want;
    const char *comment;
    const char *notes;  // nullptr: not checked
  };
  const char *kWarm = "ORD SA 1750 CLR 7 132/65/44/2710/992 ";        // t 65
  const char *kCold = "ORD SA 1750 CLR 7 132/25/14/2710/992 ";        // t 25
  const std::string kBody = "ORD SA 1750 CLR 7 132/58/44/2710/992 ";  // t 58
  // clang-format off
  const Case cases[] = {
      {"SLP 982", 0, {{"pmb", 998.2f}}, "", "Sea level Pressure 982\n"},
      {"SLP 9999", 0, {{"pmb", 1013.2f}}, "SLP 9999 ", ""},  // above 999: not taken
      {"8/6//", 0, {}, "", "New Cloud type\n"},
      {"8/6// 8/123", 0, {}, "8/123 ", nullptr},  // only the first cloud type
      {"4/005", 0, {{"scover", 5}}, "", "New Snow cover\n"},
      {"933012", 0, {{"scover", 12}}, "", "New Liquid eq Snow cover\n"},
      {"4/005 933012", 0, {{"scover", 5}}, "", nullptr},  // liquid equivalent only fills a gap
      {"931123 X", 0, {}, "931123 X ", "931 Group\n"},     // issue 9, point 6
      {"PRESFR", 0, {}, "PRESFR ", "Old PresFR\n"},
      {"PRESRR", 0, {}, "PRESRR ", "Old PresRR\n"},
      {"57045", 0, {{"ptend_t", 7}, {"ptend", -4.5f}}, "", "New Ptend\n"},
      {"52045", 0, {{"ptend_t", 2}, {"ptend", 4.5f}}, "", nullptr},
      {"57045 57045", 0, {{"ptend", -4.5f}}, "", "New Ptend\nNew Ptend redo\n"},
      {"57045 52010", 0, {{"ptend", -4.5f}}, "52010 ", nullptr},  // another tendency is kept as text
      {"712", 0, {{"ptend_t", 7}, {"ptend", -1.2f}}, "", "Old Ptend\n"},
      {"212", 0, {{"ptend_t", 2}, {"ptend", 1.2f}}, "", nullptr},
      {"31205", 1800, {{"ptend_t", 3}, {"ptend", 1.2f}, {"rain6", 0.05f}, {"rain3", M}}, "", "Old Ptend w/ precip\n"},
      {"31205", 1500, {{"rain3", 0.05f}, {"rain6", M}}, "", nullptr},
      {"81205 TWO", 1200, {{"ptend", -1.2f}, {"rain6", 2.05f}}, "", nullptr},  // whole inches added
      {"///05", 1200, {{"ptend_t", SFC_MISSING}, {"ptend", M}, {"rain6", 0.05f}}, "", nullptr},
      {"91205", 1200, {{"ptend", M}, {"rain6", M}}, "91205 ", ""},  // a 9 is another group
      {"71005", 1200, {{"ptend", M}, {"rain24", 10.05f}}, "", "New 24 Prec\n"},  // 7 with 10 or less: 24-hour rain
      {"90212", 0, {{"scover", M}}, "", "Old Liquid eq Snow cover\n"},
      {"98123", 0, {{"solar", 123}}, "", "Old/New Sunshine\n"},
      {"6012/", 1800, {{"rain6", 0.12f}, {"rain3", M}}, "", "New 6 Prec\n"},
      {"6012/", 1500, {{"rain3", 0.12f}, {"rain6", M}}, "", "New 3 Prec\n"},
      {"6////", 1800, {{"rain6", M}}, "", "New 6 Prec\n"},
      {"6012/ 6034/", 1800, {{"rain6", 0.12f}}, "6034/ ", nullptr},
      {"70045", 0, {{"rain24", 0.45f}}, "", "New 24 Prec\n"},
      {"7////", 0, {{"rain24", M}}, "", "New 24 Prec\n"},
      {"20123", 0, {{"rain24", 1.23f}}, "", "Old 24 Prec\n"},
      {"8/6// 20123", 0, {{"rain24", M}, {"min6_t", 54.14f}}, "", nullptr},  // newer coding: a minimum
      {"90405", 0, {{"scover", 5}}, "", "Old Snow cover\n"},
      {"1/6/", 0, {}, "", "Old Cloud type\n"},
      {"PK WND 2818 2303Z", 0, {}, "PK WND 2818 2303Z ", "Peak Wind\n"},
      {"R32VR40V60", 0, {}, "R32VR40V60 ", "Runway Visual Range\n"},
      {"20 BKN V SCT", 0, {}, "20 BKN V SCT ", "Variable Ceiling\n"},
      {"SNOINCR 1/3", 0, {}, "SNOINCR 1/3 ", "Snow Increasing Rapidly\n"},
      {"P0012", 0, {}, "P0012 ", "Hourly Precipitation\n"},
      {"PCPN 0012", 0, {}, "PCPN 0012 ", "Hourly Precipitation\n"},
      {"WSHFT 1730", 0, {}, "WSHFT 1730 ", "Wind Shift\n"},
      {"/CITY 45", 0, {}, "/CITY 45 ", "City Temp\n"},
      {"RADAR 12", 0, {}, "RADAR 12 ", "RADAT\n"},
      {"TWR ALSTG 2992", 0, {}, "TWR ALSTG 2992 ", "Tower Altimeter setting\n"},
      {"TWR VSBY 3", 0, {}, "TWR VSBY 3 ", "Tower Visibility\n"},
      {"RM 12", 0, {}, "RM 12 ", "AMOS Status\n"},
      {"401390056", 0, {{"max_t", 57.02f}, {"min_t", 42.08f}}, "", "New Max/min temp 9 digit\n"},
      {"48530", 0, {{"max_t", 85}, {"min_t", 30}}, "", "Old Max/min temp 5 digit\n"},
      {"10117", 0, {{"max6_t", M}}, "10117 ", ""},  // 52.06 F, below t (58): not taken
      {"10150", 0, {{"max6_t", 59}}, "", "New Max temp\n"},
      {"10489", 0, {{"max6_t", M}}, "10489 ", ""},       // 120.02 F: above the limit
      {"11510", 0, {{"ptend_t", 1}, {"ptend", 1.5f}, {"rain6", 0.1f}}, "", nullptr},  // an old tendency
      {"21006", 0, {{"min6_t", 30.92f}}, "", "New Min temp\n"},
      {"20200", 0, {{"min6_t", M}, {"rain24", 2}}, "", "Old 24 Prec\n"},  // old coding reads rain
      {"24 HR MAX 85 24 HR MIN 30", 0, {{"max_t", 85}, {"min_t", 30}}, "",
       "Old 24 HR MAX... temp\nOld 24 HR MIN... temp\n"},
      {"MRNG MIN 30", 0, {{"min_t", 30}}, "", "Old MRNG MIN... temp\n"},
      {"24  HR  MAX 85 PK  WND 2818", 0, {{"max_t", 85}}, "PK WND 2818 ", nullptr},  // runs of blanks
      {"24 HR MAX 85 MRNG MIN 30", 0, {{"max_t", 85}, {"min_t", 30}}, "", nullptr},
      {"45", 0, {{"max_t", 45}, {"min_t", M}}, "", "Old Max temp\n"},
      {"45", 1200, {{"min_t", 45}, {"max_t", M}}, "", "Old Min temp\n"},
      {"45", 2200, {{"max_t", 45}}, "", nullptr},
      {"45 46 47", 1200, {{"min_t", 45}, {"max_t", 46}}, "47 ", nullptr},  // a third has no place
      {"MAX105", 0, {{"max_t", 105}}, "", "Old MAX... temp\n"},
      {"MAX85", 0, {{"max_t", M}}, "MAX85 ", ""},  // needs three digits
      {"MIN-10", 0, {{"min_t", -10}}, "", "Old MIN... temp\n"},
      {"FOO$BAR BAZ", 0, {}, "FOO BAR BAZ ", ""},  // unknown words, '$' as blank
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.remarks) + " at " + std::to_string(c.prhour));
    const Decoded d = Decode(kBody + c.remarks + " ", kUS, c.prhour);
    ASSERT_EQ(d.rc, 0);
    for (const Want &w : c.want) ExpectValue(Field(d.r, w.field), w.value, w.field);
    EXPECT_STREQ(d.r.comment, c.comment);
    if (c.notes) {
      EXPECT_EQ(Notes(kBody + c.remarks + " ", kUS, c.prhour), c.notes);
    }
  }

  // Cloud types as written, slashes as '-'.
  EXPECT_EQ(std::string(Decode(kBody + "8/6// ").r.cld_type, 3), "6--");
  EXPECT_EQ(std::string(Decode(kBody + "1/6/ ").r.cld_type, 3), "-6-");
  EXPECT_EQ(std::string(Decode(kBody + "1/6/ 8/123 ").r.cld_type, 3), "-6-");

  // WEA: the weather word, at most nine characters.
  EXPECT_STREQ(Decode(kBody + "WEA: TRW+ ").r.weather, "TRW+");
  EXPECT_STREQ(Decode(kBody + "/WEA: ABCDEFGHIJK ").r.weather, "ABCDEFGHI");

  // Old two-digit extremes are completed by the temperature; tenths groups are
  // exact and are not.
  Decoded d = Decode(std::string(kWarm) + "24 HR MAX 05 ");
  EXPECT_FLOAT_EQ(d.r.max_t, 105);
  d = Decode(std::string(kCold) + "MRNG MIN 85 ");
  EXPECT_FLOAT_EQ(d.r.min_t, -15);
  d = Decode(std::string(kWarm) + "400001050 ");
  EXPECT_NEAR(d.r.max_t, 32, 1e-3);
  EXPECT_NEAR(d.r.min_t, 23, 1e-3);
  // The 6-hour minimum above the temperature is refused.
  d = Decode(std::string(kCold) + "21006 ");
  EXPECT_EQ(d.r.min6_t, M);
  EXPECT_STREQ(d.r.comment, "21006 ");
}

// Purpose: each fixed-width United States group is taken only with what must
// stand after it (a separator, a blank) and only when its try covers that too:
// the same digits run on into a longer word, or ending the text with nothing
// after them, stay words of the remarks.
TEST_F(SaTest, UnitedStatesGroupsNeedWhatEndsThem) {
  struct Case {
    const char *remarks;  // the text ends right after them
    const char *comment;
    const char *notes;
  };
  const std::string kBody = "ORD SA 1750 CLR 7 132/58/44/2710/992 ";
  const Case cases[] = {
      // Taken with a blank or a slash after them.
      {"4/005 ", "", "New Snow cover\n"},
      {"4/005/ ", "", "New Snow cover\n"},
      {"933012/ ", "", "New Liquid eq Snow cover\n"},
      {"98123 ", "", "Old/New Sunshine\n"},
      {"90405 ", "", "Old Snow cover\n"},
      {"RNO 12 ", "RNO 12 ", "AMOS Status\n"},
      // Run on into a longer word: the separator or blank is not where the
      // group needs it.
      {"4/0051 ", "4/0051 ", ""},
      {"9330123 ", "9330123 ", ""},
      {"981234 ", "981234 ", ""},
      {"904051 ", "904051 ", ""},
      {"7121 ", "7121 ", ""},
      {"MAX1055 ", "MAX1055 ", ""},
      // At the very end of the text: the try covers the group alone.
      {"98123", "98123 ", ""},
      {"90405", "90405 ", ""},
      {"57045", "57045 ", ""},
      {"712", "712 ", ""},
      {"PRESFR", "PRESFR ", ""},
      // The worded groups count their cover from the words: the number may
      // end the text.
      {"24 HR MAX 85", "", "Old 24 HR MAX... temp\n"},
      {"MAX105", "MAX105 ", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.remarks);
    const Decoded d = Decode(kBody + c.remarks);
    ASSERT_EQ(d.rc, 0);
    EXPECT_STREQ(d.r.comment, c.comment);
    EXPECT_EQ(Notes(kBody + c.remarks), c.notes);
  }
}

// Purpose: the old tendency group is not read for an AMOS station, and is for
// the other kinds.
TEST_F(SaTest, StationKind) {
  EXPECT_EQ(Decode("ORD SA 1750 AMOS CLR 7 132/58/44/2710/992 712 ").r.ptend, M);
  EXPECT_EQ(Decode("ORD SA 1750 RAMOS CLR 7 132/58/44/2710/992 712 ").r.ptend, M);
  EXPECT_NEAR(Decode("ORD SA 1750 AWOS CLR 7 132/58/44/2710/992 712 ").r.ptend, -1.2, 1e-4);
  EXPECT_NEAR(Decode("ORD SA 1750 AO2 CLR 7 132/58/44/2710/992 712 ").r.ptend, -1.2, 1e-4);
}

// Purpose: the United States groups are read only in United States reports;
// elsewhere their words go to the remarks.
TEST_F(SaTest, RemarkGroupsOnlyForTheUnitedStates) {
  for (int bulletin : {kCanada, kMexico, kOther}) {
    SCOPED_TRACE(bulletin);
    const Decoded d = Decode("XXX SA 1750 CLR 7 132/15/04/2710/992 SLP 982 57045 ", bulletin);
    EXPECT_STREQ(d.r.comment, "SLP 982 57045 ");
    EXPECT_NEAR(d.r.pmb, 1013.2, 1e-3);
    EXPECT_EQ(d.r.ptend, M);
  }
}

// Purpose: long remarks are cut at 99 characters, and the loop ends.
TEST_F(SaTest, LongRemarks) {
  std::string remarks;
  for (int i = 0; i < 40; ++i) remarks += "ABCDEF ";
  const Decoded d = Decode("XXX SA 1750 CLR 7 132/15/04/2710/992 " + remarks, kCanada);
  EXPECT_EQ(std::strlen(d.r.comment), 99u);  // 14 words and the start of one
}

// ---- bad input --------------------------------------------------------------------------

// Purpose: cut, missing and misplaced input decodes what is there.
TEST_F(SaTest, BadInput) {
  struct Case {
    const char *text;
    int bulletin;
  };
  const Case cases[] = {
      {"DEN SA 1750 ", kUS},
      {"DEN SA 1750 25", kUS},
      {"DEN SA 1750 25 SCT", kUS},
      {"DEN SA 1750 25 SCT 250 -", kUS},
      {"DEN SA 1750 25 SCT 1/", kUS},
      {"DEN SA 1750 25 SCT 15 RW- 132/", kUS},
      {"DEN SA 1750 25 SCT 15 RW- 132/58/44/27", kUS},
      {"DEN SA 1750 M M M M/M/M/MMMM/M/ M MMMM", kCanada},
      {"DEN SA 1750 MMMM M MMM MMM/MM/MM/MMMM/MMM/MMMM", kUS},
      {"DEN SA 1750 M M M M/M/M/MMMM/M/ M MMMM", kMexico},
      {"DEN SA = 1750 = 25 SCT = 15 = 132/58/44/2710/992 =", kUS},
      {"DEN SA 1750 25 SCT= 15 RW-= 132/58/44/2710/992=", kUS},
      {"= DEN SA 1750", kUS},
      {"DEN SA 1750 ==== //// ---- ++++ 5 6 7 8 9 10 11 12", kUS},
      {"DEN SA 1750 CLR 7 132/58/44/2710/992 5 6 7 8 9 1 2 3 4 /// 4/ 8/ 6/ 7/ 20 24 HR", kUS},
      {"DEN SA 1750 CLR 7 132/58/44/2710/992 WEA: TWR PK WND RADAR 931 6", kUS},
      {"DEN SA 1750 1e9 SCT 9e99 -BKN 1e38 132/58/44/2710/992 4999999999 19e99 29e99", kUS},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded d = Decode(c.text, c.bulletin);
    if (c.text[0] == '=') {
      EXPECT_EQ(d.rc, -1);
      continue;
    }
    ASSERT_EQ(d.rc, 0);
    EXPECT_STREQ(d.r.id, "DEN");
    EXPECT_GE(d.r.num_cld, 0);
    EXPECT_LE(d.r.num_cld, SFC_MAX_CLD);
    EXPECT_LE(std::strlen(d.r.comment), static_cast<size_t>(SFC_COMMENT_LEN));
    EXPECT_LE(std::strlen(d.r.weather), static_cast<size_t>(SFC_WEATHER_LEN));
    EXPECT_TRUE(d.r.t == M || (d.r.t >= -70 && d.r.t <= 130));
  }
  // Letters for every value leave every value missing.
  const Decoded d = Decode("DEN SA 1750 M M M M/M/M/MMMM/M/", kCanada);
  EXPECT_EQ(d.r.num_cld, 0);
  for (float v : {d.r.vis, d.r.pmb, d.r.t, d.r.td, d.r.w_dir, d.r.w_spd, d.r.w_gust, d.r.alt})
    EXPECT_EQ(v, M);
  EXPECT_STREQ(d.r.weather, " ");
  EXPECT_STREQ(d.r.comment, "");
}

}  // namespace
