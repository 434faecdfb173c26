// METAR decoder: the body of the report, ladder by ladder (heading and time,
// NIL, wind, visibility, runway visual range, present weather, sky layers,
// temperature, altimeter), the notes it prints, and the mended cases.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"
#include "test_metar_harness.h"

namespace {

using metar_test::Decode;
using metar_test::Decoded;
using metar_test::Expect;
using metar_test::Options;

struct Case {
  const char *text;
  const char *expect;  // "field=value|..." (see metar_test::Expect)
  int format = 2;
  int bulletin = 0;
};

void RunCases(const Case *cases, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const Case &c = cases[i];
    SCOPED_TRACE(c.text);
    Options o;
    o.format = c.format;
    o.bulletin = c.bulletin;
    const Decoded d = Decode(c.text, o);
    EXPECT_GT(Expect(d, c.expect), 0);
    metar_test::ExpectInvariants(d, c.text);
  }
}

// What the decoder printed at its note class for `text`.
std::string Notes(const char *text, M_type classes = SFC_METAR_NOTE_CLASS, int bulletin = 0) {
  Options o;
  o.notes = classes;
  o.bulletin = bulletin;
  return Decode(text, o).notes;
}

class Metar : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_raw_reset_state();
    SFC_metar_reset_state();
  }
  void TearDown() override {
    MESS_reset_state();
    SFC_raw_reset_state();
    SFC_metar_reset_state();
  }
};

// ---- the harness ------------------------------------------------------------------

// Purpose: the expectation lists compare what they name, numbers within 0.001
// and the missing value exactly, texts blank for blank.
TEST_F(Metar, HarnessExpectationLists) {
  const Decoded d = Decode("KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK AO2");
  EXPECT_EQ(Expect(d, "id=KDEN|w_dir=270|vis=10.0004"), 3);  // within 0.001
  EXPECT_EQ(Expect(d, "clouds=F2000|comment=AO2 |w_gust=-9999"), 3);
  EXPECT_EQ(Expect(d, ""), 0);
  EXPECT_EQ(metar_test::OriginOf("KDEN"), 0);
  EXPECT_EQ(metar_test::OriginOf("PANC"), 0);
  EXPECT_EQ(metar_test::OriginOf("CYYZ"), 1);
  EXPECT_EQ(metar_test::OriginOf("EGLL"), 9);
  EXPECT_EQ(metar_test::Identifier("SPECI KDEN 121753Z"), "KDEN");
}

// ---- the worked example ---------------------------------------------------------------

// Purpose: one whole report of a US bulletin, every field it sets.
TEST_F(Metar, WholeUsReport) {
  const char *text =
      "KDEN 121753Z 27015G25KT 10SM -SHRA BR FEW020 BKN050 12/M03 A2992 RMK AO2 SLP132 T01221028";
  const Decoded d = Decode(text);
  Expect(d,
         "rc=0|id=KDEN|area=ME|type=1|time=1753|w_dir=270|w_spd=15|w_gust=25|vis=10|"
         "weather=!-SHRA_BR|clouds=F2000,B5000|t=53.96|td=26.96|flag=1|alt=29.92|pmb=1013.2|"
         "comment=AO2 ");
  // Nothing else is touched.
  Expect(d,
         "ptend_t=-9999|ptend=-9999|rain1=-9999|rain3=-9999|rain6=-9999|rain24=-9999|"
         "max_t=-9999|min_t=-9999|max6_t=-9999|min6_t=-9999|scover=-9999|solar=-9999|"
         "cld_type=   ");
  metar_test::ExpectInvariants(d, text);
  EXPECT_EQ(Notes(text),
            "Metar Wx: RW-\nAO1/2 type\nSea level Pressure\n"
            "New Temperature 53.96 26.96 1\n");
}

// Purpose: outside the US and Canada the AO2 word and the T-group are words.
TEST_F(Metar, WholeReportOtherOrigin) {
  const Decoded d = Decode(
      "KDEN 121753Z 27015G25KT 10SM -SHRA BR FEW020 BKN050 12/M03 A2992 RMK AO2 SLP132 T01221028",
      9);
  Expect(d, "t=53.6|td=26.6|flag=0|pmb=1013.2|comment=AO2 T01221028 ");
}

// ---- heading and time ------------------------------------------------------------------

// Purpose: identifier, report words, kind and the time group ladder.
TEST_F(Metar, Heading) {
  // clang-format off
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 10SM", "id=KDEN|area=ME|type=1|time=1753|w_dir=270"},
      {"METAR KDEN 121753Z 27015KT", "id=KDEN|type=1|time=1753|w_dir=270"},
      {"METAR COR KDEN 121753Z 27015KT", "id=KDEN|time=1753|w_dir=270"},
      {"LWIS KDEN 121753Z 27015KT", "id=KDEN|time=1753"},
      {"KDEN SPECI 121753Z 27015KT", "type=2|time=1753|w_dir=270"},  // word after the id
      {"SPECI KDEN 121753Z 27015KT", "type=1|id=KDEN"},  // the word before the id is not looked at
      {"SPECI KDEN 121753Z 27015KT", "type=2|id=KDEN", 5},  // format code 5 marks a SPECI
      {"KDEN 121753Z 27015KT", "type=2", 13},                // 13 % 8 == 5
      {"\x1e\x1e  KDEN 121753Z 27015KT", "id=KDEN|time=1753"},  // record separators first
      {"KDEN 121753UTC 27015KT", "time=1753|w_dir=270"},
      {"KDEN 1753Z 27015KT", "time=1753|w_dir=270"},   // no day
      {"KDEN 121753 27015KT", "time=1753|w_dir=270"},  // no Z
      {"KDEN 1753 27015KT", "time=1753|w_dir=270"},    // four digits alone
      {"KDEN 27015KT 10SM", "time=1800|w_dir=270|w_spd=15|vis=10"},  // no time: bulletin time
      {"KDEN 27015 10SM", "time=1800|w_dir=270|w_spd=8.0994"},  // five digits are no time
      {"KDEN RTD 121753Z 27015KT", "time=1753|w_dir=270"},
      {"KDEN 121753Z COR 27015KT", "time=1753|w_dir=270"},
      {"KDEN 121753Z RMK 27015KT", "time=1753|w_dir=270"},
      {"KDEN 121753Z 1755Z 27015KT", "time=1753|w_dir=270"},  // a second time is dropped
      {"KDEN 121753Z AUTO 27015KT", "time=1753|w_dir=270|comment="},
      {"KDEN 121753Z CCB 27015KT", "w_dir=270"},
      {"KDENX 121753Z 27015KT", "id=KDEN|time=1800"},  // the exact form takes four characters
      {"DEN 121753Z 27015KT", "id=|time=1800"},        // three characters are no identifier
  };
  // clang-format on
  RunCases(cases, std::size(cases));
}

// Purpose: a NIL report returns -1 with type 0 and what was read so far.
TEST_F(Metar, NilReports) {
  static const Case cases[] = {
      {"KDEN 121753Z NIL", "rc=-1|type=0|id=KDEN|area=ME|time=1753"},
      {"METAR KDEN 121753Z NIL", "rc=-1|type=0|id=KDEN"},
      {"SPECI KDEN 121753Z NIL", "rc=-1|type=0", 5},
      {"KDEN NIL", "rc=-1|type=0|time=1800"},
      // Mended: "AUTO NIL" is a NIL report too, not the weather "!NIL".
      {"NCMH 180700Z AUTO NIL", "rc=-1|type=0|id=NCMH|time=700|weather= "},
      {"KDEN 121753Z NILX 10SM", "rc=-1|type=0"},  // the NIL word fits by its count
  };
  RunCases(cases, std::size(cases));
}

// ---- wind ------------------------------------------------------------------------------

// Purpose: every row of the wind ladder, the units and the missing forms.
TEST_F(Metar, Wind) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015G25KT 10SM", "w_dir=270|w_spd=15|w_gust=25|vis=10"},
      {"KDEN 121753Z 27015KTS 10SM", "w_dir=270|w_spd=15|vis=10"},
      {"KDEN 121753Z 05010MPS 9999", "w_dir=50|w_spd=19.44"},
      {"KDEN 121753Z 05010G20MPS 9999", "w_spd=19.44|w_gust=38.88"},
      {"KDEN 121753Z 05010KMH 9999", "w_dir=50|w_spd=5.3996"},
      {"KDEN 121753Z 05010 9999", "w_dir=50|w_spd=5.3996"},  // no unit: as KMH
      {"KDEN 121753Z 00000KT 10SM", "w_dir=0|w_spd=0"},
      {"KDEN 121753Z CALM 10SM", "w_dir=0|w_spd=0|vis=10"},
      {"KDEN 121753Z VRB03KT 10SM", "w_dir=0|w_spd=3|w_gust=-9999|vis=10"},
      {"KDEN 121753Z VRB03G15KT 10SM", "w_dir=0|w_spd=3|w_gust=15"},
      {"KDEN 121753Z VRB100KT 10SM", "w_dir=0|w_spd=100"},          // three digits after VRB
      {"KDEN 121753Z E27015KT 10SM", "w_dir=270|w_spd=15|vis=10"},  // estimated
      {"KDEN 121753Z 270//KT 10SM", "w_dir=270|w_spd=-9999|vis=10"},
      {"KDEN 121753Z 270120KT 10SM", "w_dir=-9999|w_spd=-9999|vis=10"},  // three-digit speed
      {"KDEN 121753Z 270120G30KT 10SM", "w_dir=-9999|w_spd=-9999|w_gust=-9999|vis=10"},
      {"KDEN 121753Z 2715KT 10SM", "w_dir=270|w_spd=15|vis=10"},  // tens of degrees
      {"KDEN 121753Z 2715G25KT 10SM", "w_dir=270|w_spd=15|w_gust=25"},
      {"KDEN 121753Z ///15KT 10SM", "w_dir=-9999|w_spd=15|vis=10"},
      {"KDEN 121753Z /////KT 10SM", "w_dir=-9999|w_spd=-9999|vis=10"},
      {"KDEN 121753Z ///// 10SM", "w_dir=-9999|w_spd=-9999|vis=10"},
      {"KDEN 121753Z 27015G25KT 240V300 10SM", "w_dir=270|vis=10"},  // range not stored
  };
  RunCases(cases, std::size(cases));
}

// Purpose: issue 9 (4): without a wind group a four-digit visibility is no wind
// of 990 or 800 degrees; the visibility ladder reads it.
TEST_F(Metar, FourDigitVisibilityIsNoWind) {
  static const Case cases[] = {
      {"KQCL 180755Z AUTO 9999 CLR 16/M12 A3021",
       "w_dir=-9999|w_spd=-9999|vis=-9999|clouds=C-|t=60.8"},
      {"KDEN 121753Z 8000 FEW020 12/10", "w_dir=-9999|w_spd=-9999|vis=4.97088|clouds=F2000"},
      {"KDEN 121753Z 99015KT 10SM", "w_dir=-9999|w_spd=-9999"},  // 990 degrees
      {"KDEN 121753Z 36015KT 10SM", "w_dir=360|w_spd=15"},       // 360 still is a direction
  };
  RunCases(cases, std::size(cases));
}

// Purpose: gusts written "//" or with three digits do not spoil the group (the
// speed is not read without its unit, and the rest is not left as weather).
TEST_F(Metar, GustForms) {
  static const Case cases[] = {
      {"CYEK 221900Z 32020G//KT 15SM -SHSN BKN011 OVC120 M01/M03",
       "w_dir=320|w_spd=20|w_gust=-9999|vis=15|weather=!-SHSN|clouds=B1100,O12000"},
      {"KPAM 101721Z AUTO 08063G112KT M1/8SM +RA 25/25 A2724",
       "w_dir=-9999|w_spd=-9999|w_gust=-9999|vis=0.125|weather=!+RA|t=77|alt=27.24"},
      {"KDEN 121753Z VRB05G112KT 10SM", "w_dir=-9999|w_spd=-9999|vis=10"},
  };
  RunCases(cases, std::size(cases));
}

// ---- visibility -------------------------------------------------------------------------

// Purpose: every row of the visibility ladder and its conversions.
TEST_F(Metar, Visibility) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 10SM FEW020", "vis=10|clouds=F2000"},
      {"KDEN 121753Z 27015KT 3NM FEW020", "vis=3.4524"},
      {"KDEN 121753Z 27015KT 5KM FEW020", "vis=3.10685"},
      {"KDEN 121753Z 27015KT M1/4SM FG", "vis=0.25|weather=!FG"},  // M is dropped
      {"KDEN 121753Z 27015KT 1/2NM FG", "vis=0.5754"},
      {"KDEN 121753Z 27015KT 1/0SM FG", "vis=1"},  // a zero below the line counts as 1
      {"KDEN 121753Z 27015KT 11/2SM FG", "vis=1.5"},
      {"KDEN 121753Z 27015KT 1 1/2SM FG", "vis=1.5|weather=!FG"},
      {"KDEN 121753Z 27015KT 1 1/2NM FG", "vis=1.7262"},
      {"KDEN 121753Z 27015KT 1/2 FG", "vis=0.5|weather=!FG"},  // no unit: statute miles
      {"KDEN 121753Z 27015KT 11/2 FG", "vis=1.5"},
      {"KDEN 121753Z 27015KT 1 1/2 FG", "vis=1.5"},
      {"KDEN 121753Z 27015KT 10 FEW020", "vis=10|clouds=F2000"},
      {"KDEN 121753Z 27015KT 9999 FEW020", "vis=-9999|clouds=F2000"},  // 10 km or more
      {"KDEN 121753Z 27015KT 4000 FEW020", "vis=2.48544"},
      {"KDEN 121753Z 27015KT 0800 FG", "vis=0.497088|weather=!FG"},
      {"KDEN 121753Z 27015KT 4000NE FEW020", "vis=2.48544|clouds=F2000"},
      {"KDEN 121753Z 27015KT 9999NDV FEW020", "vis=-9999|clouds=F2000"},
      {"KDEN 121753Z 27015KT 4000NE 1500SW FEW020", "vis=2.48544|clouds=F2000"},
      {"KDEN 121753Z 27015KT 4000 1500SW FEW020", "vis=2.48544|clouds=F2000"},
      {"KDEN 121753Z 27015KT 4000 1500 FEW020", "vis=2.48544|clouds=F2000"},
      {"KDEN 121753Z 27015KT //// FEW020", "vis=-9999|clouds=F2000"},
      {"KDEN 121753Z 27015KT 12/10 A2992", "vis=-9999|t=53.6|td=50|alt=29.92"},  // temperature
      {"KDEN 121753Z 27015KT M05/M07 A2992", "vis=-9999|t=23|td=19.4"},
      {"KDEN 121753Z 27015KT 240V300 4000 FEW020", "vis=2.48544|clouds=F2000"},
  };
  RunCases(cases, std::size(cases));
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 4000NE 1500SW FEW020"), "Additional Vis ####AA group\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 4000 1500SW FEW020"), "Additional Vis #### group\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 4000 1500 FEW020"), "Additional Vis #### group\n");
}

// Purpose: after a plain metres group, a second metres group fits by its count, so
// "0350//" is passed over: its digits are no altimeter and the runway ranges after
// it still reach the remarks (real reports).
TEST_F(Metar, SecondMetresGroupWithSlashes) {
  static const Case cases[] = {
      {"ESIB 221850Z AUTO 26003KT 0650 0350// R01/1100N R19/1700N FG VV004 08/08 Q1011",
       "vis=0.403891|comment=R01/1100N R19/1700N |alt=29.8635"},
      {"LOAN 231800Z 10006KT 0400 0350// FG VV002", "vis=0.248548|alt=-9999"},
  };
  RunCases(cases, std::size(cases));
  EXPECT_EQ(Notes("LOAN 231800Z 10006KT 0400 0350// FG VV002"), "Additional Vis #### group\n");
}

// Purpose: CAVOK gives 10 miles, one clear layer and no weather, also after a
// variable direction range (mended: it used to become the weather "!CAVOK").
TEST_F(Metar, Cavok) {
  static const Case cases[] = {
      {"LSZH 121750Z 27015KT CAVOK 12/10 Q1013",
       "vis=10|clouds=C-|num_cld=1|weather= |t=53.6|alt=29.9226"},
      {"LSZH 121750Z 27015KT 240V300 CAVOK 12/10 Q1013",
       "vis=10|clouds=C-|weather= |t=53.6|td=50|alt=29.9226|comment="},
      {"SBOI 221800Z 13006KT CAVOK ///// Q1008", "vis=10|clouds=C-|t=-9999|alt=29.7749"},
  };
  RunCases(cases, std::size(cases));
}

// Purpose: "////SM" of automatic stations is a missing visibility; the layers
// after it are read (they used to be dropped).
TEST_F(Metar, SlashedVisibilityWithUnit) {
  static const Case cases[] = {
      {"CYUA 221900Z AUTO 21004KT ////SM FEW002 SCT008 M12/M13 A3004",
       "vis=-9999|clouds=F200,S800|t=10.4|alt=30.04"},
      {"CWKM 221900Z AUTO 11014KT ////SM NCD M09/M11 A3003", "vis=-9999|clouds=C-|alt=30.03"},
  };
  RunCases(cases, std::size(cases));
}

// ---- greater-than visibility and runway visual range -----------------------------------

// Purpose: issue 9 (2): "P6SM" is passed whole, so "SM" is no weather.
TEST_F(Metar, GreaterThanVisibility) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT P6SM FEW020 12/10", "vis=-9999|weather= |clouds=F2000|t=53.6"},
      {"KDEN 121753Z 27015KT P6SM -RA FEW020", "weather=!-RA|clouds=F2000"},
      {"KDEN 121753Z 27015KT P6000 FEW020", "weather= |clouds=F2000"},
      {"KDEN 121753Z 27015KT 1SM R24/P6000FT -SN", "comment=R24/P6000FT |weather=!-SN"},
  };
  RunCases(cases, std::size(cases));
}

// Purpose: runway groups before and after the weather go to the remarks with
// their notes; a runway group too long to be one is not copied.
TEST_F(Metar, RunwayVisualRange) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 1/2SM R24/1200FT FG VV002 12/10",
       "comment=R24/1200FT |weather=!FG|clouds=X200"},
      {"KDEN 121753Z 27015KT 1/2SM R24L/1200FT R24R/1000FT FG",
       "comment=R24L/1200FT R24R/1000FT |weather=!FG"},
      {"KDEN 121753Z 27015KT 1/2SM RVRNO FG", "comment=RVRNO |weather=!FG"},
      {"KDEN 121753Z 27015KT 1/2SM RVR24/1200 FG", "comment=RVR24/1200 |weather=!FG"},
      {"KDEN 121753Z 27015KT 1/2SM FG R24/1200FT VV002", "comment=R24/1200FT |clouds=X200"},
      {"KDEN 121753Z 27015KT 1/2SM R24/1200V2400FT/U/XYZ FG 12/10",
       "comment=|weather= |t=53.6"},  // 21 characters: no runway group, lost on the way
  };
  RunCases(cases, std::size(cases));
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 1/2SM R24/1200FT FG VV002 12/10"),
            "Runway Visual Range R35/xxx\nMetar Wx: F\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 1/2SM R24L/1200FT FG"),
            "Runway Visual Range R35L/xxx\nMetar Wx: F\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 1/2SM RVRNO FG"),
            "Runway Visual Range RVRNO\nMetar Wx: F\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 1/2SM RVR24/1200 FG"),
            "Runway Visual Range RVR35/xxx\nMetar Wx: F\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 1/2SM FG R24/1200FT VV002"),
            "Metar Wx: F\nRunway Visual Range R35/xxx\n");
  EXPECT_EQ(
      Notes("KDEN 121753Z 27015KT 1/2SM R24/1200V2400FT/U/XYZ FG 12/10", SFC_METAR_LOST_CLASS),
      "Unaccounted data: R24/1200V2400FT/U/XYZ\nUnaccounted data: FG\n");
}

// ---- present weather --------------------------------------------------------------------

// Purpose: the weather passes, their end and the 20-character field.
TEST_F(Metar, PresentWeather) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 10SM -SHRA BR FEW020", "weather=!-SHRA_BR|clouds=F2000"},
      {"KDEN 121753Z 27015KT 10SM VCSH FEW020", "weather=!VCSH"},
      {"KDEN 121753Z 27015KT 9999 // FEW020", "weather= |clouds=F2000"},       // not observed
      {"KDEN 121753Z 27015KT 10SM 61RA FEW020", "weather=61RA|clouds=F2000"},  // WMO number
      {"KDEN 121753Z 27015KT 10SM 05RA -SN FEW020", "weather=5RA_-SN"},
      // Five passes at most: the sixth group stops the sky step, and the
      // temperature is found further on.
      {"KDEN 121753Z 27015KT 10SM -RA BR HZ FU DU SA FEW020 12/10",
       "weather=!-RA_BR_HZ_FU_DU|clouds=|t=53.6"},
      {"KDEN 121753Z 27015KT 10SM +TSRAGS -SHRASN VCFG BCFG FEW020",
       "weather=!+TSRAGS_-SHRASN_VCF|clouds=F2000"},                   // kept within 20 characters
      {"KDEN 121753Z 27015KT 10SM -RA M05/M07", "weather=!-RA|t=23"},  // ends at M05
      {"KDEN 121753Z 27015KT 10SM -RA Q1013", "weather=!-RA|alt=29.9226"},  // ends at Q1013
      {"KDEN 121753Z 27015KT 10SM BR VV002", "weather=!BR|clouds=X200"},
      {"KDEN 121753Z 27015KT 10SM BR SKC", "weather=!BR|clouds=C-"},
      {"KDEN 121753Z 27015KT 10SM BR RMK AO2", "weather=!BR|comment=AO2 "},
  };
  RunCases(cases, std::size(cases));
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM +TSRA FEW020"), "Metar Wx: TR+\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM VCSH FEW020"), "Metar Wx: \n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM 61RA FEW020"), "");  // not the METAR form
}

// Purpose: issue 9 (3): NSC and NCD end the weather and give a clear sky.
TEST_F(Metar, NoSignificantCloud) {
  static const Case cases[] = {
      {"OAKB 180750Z VRB02KT 9999 NSC 15/M15 Q1023", "weather= |clouds=C-|num_cld=1|t=59"},
      {"EDDM 180750Z 24005KT 9999 NCD 05/02 Q1020", "weather= |clouds=C-|t=41"},
      {"OAKB 180750Z VRB02KT 4000 HZ NSC 15/M15 Q1023", "weather=!HZ|clouds=C-"},
  };
  RunCases(cases, std::size(cases));
}

// Purpose: only whole words are weather groups: the "A" of "A3013" is not hail
// (mended: it was taken as "!A" and the altimeter read from "3013").
TEST_F(Metar, WeatherGroupsAreWholeWords) {
  static const Case cases[] = {
      {"KGKY 180753Z AUTO A3013 RMK AO2 SLPNO", "weather= |alt=30.13|comment=AO2 SLPNO "},
      {"KDEN 121753Z 27015KT 10SM RA3 FEW020", "weather= "},
  };
  RunCases(cases, std::size(cases));
}

// ---- sky --------------------------------------------------------------------------------

// Purpose: the layer ladder: cover words, oktas, vertical visibility, the "0VC"
// repair, parenthesised words, five layers at most.
TEST_F(Metar, SkyLayers) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 10SM FEW020 BKN050 12/10", "clouds=F2000,B5000|num_cld=2"},
      {"KDEN 121753Z 27015KT 10SM SKC 12/10", "clouds=C-|num_cld=1"},
      {"KDEN 121753Z 27015KT 10SM CLR 12/10", "clouds=C-"},
      {"KDEN 121753Z 27015KT 1/4SM FG VV/// 12/10", "clouds=X-"},
      {"KDEN 121753Z 27015KT 1/4SM FG VV002 12/10", "clouds=X200"},
      {"KDEN 121753Z 27015KT 10SM FEW020 (TCU) BKN050 12/10", "clouds=F2000,B5000|comment=TCU "},
      {"KDEN 121753Z 27015KT 10SM 0VC010 12/10", "clouds=O1000"},
      {"KDEN 121753Z 27015KT 10SM SCT025CB BKN040TCU 12/10", "clouds=S2500,B4000"},
      {"KDEN 121753Z 27015KT 10SM FEW020/// BKN/// 12/10", "clouds=F2000,B-"},
      {"RJNT 180751Z 26008KT 9999 3CU005 9SC020 1ACSL150 12/10", "clouds=3500,X2000,115000"},
      {"KDEN 121753Z 27015KT 10SM 8ST/// 12/10", "clouds=8-"},  // mended: height unknown, not 0
      {"KDEN 121753Z 27015KT 10SM FEW010 SCT020 BKN030 BKN040 OVC050 OVC060 12/10",
       "clouds=F1000,S2000,B3000,B4000,O5000|t=53.6"},
      {"KDEN 121753Z 27015KT 10SM ////// 12/10", "clouds=|t=53.6"},
      {"KDEN 121753Z 27015KT 10SM ///// 12/10", "clouds=|t=53.6"},
  };
  RunCases(cases, std::size(cases));
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM FEW010 SCT020 BKN030 BKN040 OVC050 OVC060 12/10",
                  SFC_METAR_LOST_CLASS),
            "Unaccounted data: OVC060\n");
}

// Purpose: the "0VC" repair works on the decoder's copy: the caller's text is
// not changed.
TEST_F(Metar, CallerTextUnchanged) {
  char text[SFC_DATA_SIZE] = "KDEN 121753Z 27015KT 10SM 0VC010 12/10 ";
  const std::string before = text;
  SFC_report r;
  SFC_initialize(&r);
  EXPECT_EQ(SFC_decode_METAR(text, 2, 0, &r), 0);
  EXPECT_EQ(std::string(text), before);
  EXPECT_EQ(r.cld_cover[0], 'O');
}

// ---- temperature ------------------------------------------------------------------------

// Purpose: temperature forms, the missing markers and the look-ahead.
TEST_F(Metar, Temperature) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 10SM FEW020 12/M03 A2992", "t=53.6|td=26.6"},
      {"KDEN 121753Z 27015KT 10SM FEW020 M05/M12 A2992", "t=23|td=10.4"},
      {"KDEN 121753Z 27015KT 10SM FEW020 M00/M01 A2992", "t=32|td=30.2"},
      {"KDEN 121753Z 27015KT 10SM FEW020 XX/10 A2992", "t=-9999|td=50"},
      {"KDEN 121753Z 27015KT 10SM FEW020 12/ A2992", "t=53.6|td=-9999|alt=29.92"},
      {"KDEN 121753Z 27015KT 10SM FEW020 12/// A2992", "t=53.6|td=-9999|alt=29.92"},
      {"KDEN 121753Z 27015KT 10SM FEW020 ///// A2992", "t=-9999|td=-9999|alt=29.92"},
      // The look-ahead: words before a misplaced temperature group are dropped.
      {"KDEN 121753Z 27015KT 10SM FEW020 XYZ 12/10 A2992", "t=53.6|alt=29.92|comment="},
      {"KDEN 121753Z 27015KT 10SM XYZ 12/ A2992", "t=53.6|td=-9999|alt=29.92"},
      // ... but not past the remarks: then nothing is dropped.
      {"KDEN 121753Z 27015KT 10SM FEW020 XYZ RMK 12/10", "t=-9999|comment=XYZ RMK 12/10 "},
      // Mended: "/////" after a clear sky is the temperature too, so the
      // altimeter after it is read.
      {"SVMI 221903Z AUTO 04006KT NCD ///// Q1011", "clouds=C-|t=-9999|alt=29.8635|comment="},
      {"FDMY 180700Z AUTO 12009KT //// // ////// ///// Q1022", "t=-9999|alt=30.1884"},
  };
  RunCases(cases, std::size(cases));
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM FEW020 XYZ 12/10 A2992", SFC_METAR_LOST_CLASS),
            "Unaccounted data: XYZ\n");
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM FEW020 XYZ RMK 12/10", SFC_METAR_LOST_CLASS),
            "Unaccounted data: XYZ\n");
  // The look-ahead notes are at out4 d only.
  EXPECT_EQ(Notes("KDEN 121753Z 27015KT 10SM FEW020 XYZ 12/10 A2992"), "");
}

// ---- altimeter --------------------------------------------------------------------------

// Purpose: the altimeter forms and their units.
TEST_F(Metar, Altimeter) {
  static const Case cases[] = {
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 A2992", "alt=29.92"},
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 Q1013", "alt=29.9226"},
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 1013", "alt=29.9226"},  // below 2000: hPa
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 2992", "alt=29.92"},
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 2992INS", "alt=29.92"},
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 / A2992", "alt=29.92"},
      {"OPLA 180725Z 12003KT 0800 FG NSC 10/09 Q1021/A30.15 BECMG",
       "alt=30.1589|comment=A30.15 BECMG "},
      {"KDEN 121753Z 27015KT 10SM CLR 12/10 Q//// RMK AO2", "alt=-9999|comment=Q//// RMK AO2 "},
  };
  RunCases(cases, std::size(cases));
}

// ---- quick checks -------------------------------------------------------------------------

// Purpose: the tries the decoder skips on what the characters at the cursor
// show change nothing: the same records and notes with the checks off, over
// reports that reach every ladder row.
TEST_F(Metar, QuickChecksChangeNothing) {
  const char *texts[] = {
      "KDEN 121753Z 27015G25KT 10SM -SHRA BR FEW020 BKN050 12/M03 A2992 RMK AO2 SLP132 T01221028",
      "KDEN 121753Z E27015G25KT 240V300 1 1/2SM R24L/1200FT +TSRA 3CU005 0VC010 M05/M07 Q1013",
      "KDEN 121753Z 2715G25KT 4000NE 1500SW 05RA VV/// XX/10 2992INS RMK 8/6// 4/010 52032",
      "KDEN 121753Z 270120G130KT 11/2SM 8ST/// SCT025CB FEW020/// 12/ A2992 RMK PK WND 28045/15",
      "KDEN 121753Z 32020G//KT M1/4SM 1/0SM 9999 1500 12/10 RMK A0A SFC VIS 1/2 TWR VIS 3 SNOINCR "
      "2/10",
      "KDEN 121753Z -1215KT 1-/2SM 1 -2/4 -12/-3 A29-2 RMK T-1221028 TWR ALSTG 2990 SLP-12",
  };
  for (const char *text : texts) {
    SCOPED_TRACE(text);
    for (int bulletin : {0, 1, 9}) {
      Options o;
      o.bulletin = bulletin;
      o.notes = SFC_METAR_NOTE_CLASS | SFC_METAR_LOST_CLASS;
      SFC_metar_set_quick_checks(true);
      const Decoded quick = Decode(text, o);
      SFC_metar_set_quick_checks(false);
      const Decoded full = Decode(text, o);
      EXPECT_EQ(quick.rc, full.rc);
      EXPECT_EQ(std::memcmp(&quick.r, &full.r, sizeof(SFC_report)), 0);
      EXPECT_EQ(quick.notes, full.notes);
    }
  }
}

}  // namespace
