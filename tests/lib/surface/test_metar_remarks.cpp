// METAR decoder: the remarks loop, every group of its three tables, the bulletin
// origins that switch them on, their notes, and the comment they leave.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "messages/messages.h"
#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "test_metar_harness.h"

namespace {

using metar_test::Decode;
using metar_test::Decoded;
using metar_test::Expect;
using metar_test::Options;

// A body that sets t, td, alt and a clear sky and prints no note of its own.
constexpr const char *kBody = "KDEN 121753Z 27015KT 10SM CLR 12/10 A2992 RMK ";

struct Case {
  const char *remarks;  // after kBody
  int bulletin;
  const char *expect;  // fields (see metar_test::Expect)
  const char *notes;   // printed at out4 c, in order
  int prhour = 1800;
};

class MetarRemarks : public metar_test::FreshState {
 protected:
  static void Run(const Case *cases, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const Case &c = cases[i];
      const std::string text = std::string(kBody) + c.remarks;
      SCOPED_TRACE(text + " | bulletin " + std::to_string(c.bulletin));
      Options o;
      o.bulletin = c.bulletin;
      o.prhour = c.prhour;
      o.notes = SFC_METAR_NOTE_CLASS;
      const Decoded d = Decode(text, o);
      EXPECT_EQ(d.rc, 0);
      EXPECT_GT(Expect(d, c.expect), 0);
      EXPECT_EQ(d.notes, c.notes);
      metar_test::ExpectInvariants(d, text);
    }
  }
};

// Purpose: the groups read in every report, whatever the bulletin.
TEST_F(MetarRemarks, EveryReport) {
  static const Case cases[] = {
      {"OBS TAKEN +5", 9, "time=1758|comment=", "Observation time offset: 1758\n"},
      {"SLP982", 9, "pmb=998.2|comment=", "Sea level Pressure\n"},
      {"SLP132", 2, "pmb=1013.2", "Sea level Pressure\n"},
      {"SLP500", 9, "pmb=1050", "Sea level Pressure\n"},  // 50.0 is not above 50
      {"SLP501", 9, "pmb=950.1", "Sea level Pressure\n"},
      {"SLP1100", 9, "pmb=-9999|comment=", "Sea level Pressure\n"},  // too large: ignored
      {"SLPNO", 9, "pmb=-9999|comment=SLPNO ", ""},
      {"WEA: RW-F", 9, "weather=RW-F|comment=", "Weather\n"},
      {"WEA:RW-F", 9, "weather=RW-F|comment=", "Weather\n"},
      {"WEA: NONE", 9, "weather= |comment=", ""},
      {"WEA:NONE", 9, "weather= |comment=", ""},
      // "WEA: " before the pressure: only those five characters are passed.
      {"WEA: SLP132", 9, "weather= |pmb=1013.2|comment=", "Sea level Pressure\n"},
      {"WEA: ABCDEFGHIJKLMNOPQRSTUVWXYZ", 9, "weather=ABCDEFGHIJKLMNOPQRST|comment=UVWXYZ ",
       "Weather\n"},  // 20 characters stored, the rest is a word
  };
  Run(cases, std::size(cases));
}

// Purpose: the groups of US and Canadian bulletins, and the same words in
// other bulletins.
TEST_F(MetarRemarks, UsAndCanada) {
  static const Case cases[] = {
      {"A0A", 0, "comment=A0A ", "AMOS type\n"},
      {"A0A", 1, "comment=A0A ", "AMOS type\n"},
      {"A0A", 2, "comment=A0A ", ""},  // a plain word
      {"AO1", 0, "comment=AO1 ", "AO1/2 type\n"},
      {"AO2A", 1, "comment=AO2A ", "AO1/2 type\n"},
      {"AO2", 0, "comment=AO2 ", "AO1/2 type\n"},
      {"AO2", 9, "comment=AO2 ", ""},
      {"T01221028", 0, "t=53.96|td=26.96|flag=1|comment=", "New Temperature 53.96 26.96 1\n"},
      {"T01221028", 1, "t=53.96|td=26.96|flag=1", "New Temperature 53.96 26.96 1\n"},
      {"T01221028", 2, "t=53.6|td=50|flag=0|comment=T01221028 ", ""},
      {"T10001022", 0, "t=32|td=28.04|flag=1", "New Temperature 32.00 28.04 1\n"},  // minus zero
      {"T00001022", 0, "t=32|td=28.04", "New Temperature 32.00 28.04 1\n"},
      {"T0122", 0, "t=53.6|flag=0|comment=T0122 ", ""},  // no dew point: a word
  };
  Run(cases, std::size(cases));
}

// Purpose: the groups of US bulletins, each with its note; in a Canadian
// bulletin they are words.
TEST_F(MetarRemarks, UnitedStates) {
  static const Case cases[] = {
      {"8/6//", 0, "cld_type=6--|comment=", "New Cloud type\n"},
      {"8/6//", 1, "cld_type=   |comment=8/6// ", ""},
      {"4/010", 0, "scover=10|comment=", "New Snow cover\n"},
      {"4/010", 1, "scover=-9999|comment=4/010 ", ""},
      {"933036", 0, "scover=36", "New Liquid eq Snow cover\n"},
      {"4/010 933036", 0, "scover=10", "New Snow cover\nNew Liquid eq Snow cover\n"},
      {"931008", 0, "comment=931008 ", "931 Group\n"},
      {"P0015", 0, "rain1=0.15|comment=", "1 hr precip\n"},
      {"P0015", 1, "rain1=-9999|comment=P0015 ", ""},
      {"PRESFR", 0, "comment=PRESFR ", "Old PresFR\n"},
      {"PRESRR", 0, "comment=PRESRR ", "Old PresRR\n"},
      {"52032", 0, "ptend_t=2|ptend=3.2|comment=", "New Ptend\n"},
      {"56032", 0, "ptend_t=6|ptend=-3.2", "New Ptend\n"},  // falling
      {"98060", 0, "solar=60|comment=", "Old/New Sunshine\n"},
      {"60012", 0, "rain6=0.12|rain3=-9999", "New 6 Prec\n"},
      {"60012", 0, "rain3=0.12|rain6=-9999", "New 3 Prec\n", 300},
      {"60012", 0, "rain3=0.12", "New 3 Prec\n", 2100},
      {"60012", 0, "rain6=0.12", "New 6 Prec\n", 2000},
      {"6////", 0, "rain6=-9999|comment=", "New 6 Prec\n"},
      {"70125", 0, "rain24=1.25|comment=", "New 24 Prec\n"},
      {"7////", 0, "rain24=-9999|comment=", "New 24 Prec\n"},
      {"12 BKN V OVC", 0, "comment=12 BKN V OVC ", "Variable Ceiling\n"},
      {"R06VR20V40", 0, "comment=R06VR20V40 ", "Runway Visual Range\n"},
      {"PK WND 28045/15", 0, "comment=PK WND 28045/15 ", "Peak Wind\n"},
      {"SNOINCR 2/10", 0, "comment=SNOINCR 2/10 ", "Snow Increasing Rapidly\n"},
      {"PCPN 0012", 0, "comment=PCPN 0012 ", "Hourly Precipitation\n"},
      {"WSHFT 1715", 0, "comment=WSHFT 1715 ", "Wind Shift\n"},
      {"CITY 45", 0, "comment=CITY 45 ", "City Temp\n"},
      {"/CITY 45", 0, "comment=/CITY 45 ", "City Temp\n"},
      {"TWR ALSTG 2990", 0, "comment=TWR ALSTG 2990 ", "Tower Altimeter setting\n"},
      {"TWR VIS 1/2", 0, "comment=TWR VIS 1/2 ", "Tower Visibility\n"},
      {"TWR VIS 3", 0, "comment=TWR VIS 3 ", "Tower Visibility\n"},
      {"SFC VIS 1/2", 0, "comment=SFC VIS 1/2 ", "Surface Visibility\n"},
      {"SFC VIS 3", 0, "comment=SFC VIS 3 ", "Surface Visibility\n"},
      {"RNO 12", 0, "comment=RNO 12 ", "AMOS Status\n"},
      {"RM 3", 0, "comment=RM 3 ", "AMOS Status\n"},
      {"401001015", 0, "max_t=50|min_t=29.3|comment=", "New Max/min temp 9 digit\n"},
      {"10142", 0, "max6_t=57.56|comment=", "New Max temp\n"},
      {"11021", 0, "max6_t=28.22", "New Max temp\n"},  // 1000 minus the code
      {"20012", 0, "min6_t=34.16|comment=", "New Min temp\n"},
      {"10142 10150", 0, "max6_t=57.56", "New Max temp\nNew Max temp\n"},  // the first stays
  };
  Run(cases, std::size(cases));
}

// Purpose: the loop itself: several groups in one pass, unknown words into the
// comment, '$', the order of the tables, and the length rules.
TEST_F(MetarRemarks, Loop) {
  static const Case cases[] = {
      {"AO2 SLP132 T01221028 10142 20012 52032", 0,
       "pmb=1013.2|t=53.96|max6_t=57.56|min6_t=34.16|ptend_t=2|comment=AO2 ",
       "AO1/2 type\nSea level Pressure\nNew Temperature 53.96 26.96 1\nNew Max temp\n"
       "New Min temp\nNew Ptend\n"},
      {"AO2 RAB15 SLP132 FZRANO $", 0, "pmb=1013.2|comment=AO2 RAB15 FZRANO ",
       "AO1/2 type\nSea level Pressure\n"},                // a lone '$' is dropped
      {"FZRANO$X", 0, "comment=FZRANO X ", ""},            // '$' inside a word becomes a blank
      {"RMK AO2", 0, "comment=RMK AO2 ", "AO1/2 type\n"},  // a second RMK is a word
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCDEFGH", 9,
       "comment=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD EFGH ", ""},  // 40 characters a word
      {"PRESFRX", 0, "comment=PRESFRX ", ""},                          // must cover its blank
  };
  Run(cases, std::size(cases));
}

// Purpose: a numbered group must cover more than five characters, so at the
// very end of a text without its closing blank it is a word.
TEST_F(MetarRemarks, NumberedGroupNeedsItsEnd) {
  Options o;
  o.blank = false;
  Decoded d = Decode(std::string(kBody) + "60012", o);
  Expect(d, "rain6=-9999|comment=60012 ");
  d = Decode(std::string(kBody) + "60012", Options{});  // the reader's closing blank
  Expect(d, "rain6=0.12|comment=");
}

// Purpose: remarks longer than the comment are cut there, and the groups after
// them are still read.
TEST_F(MetarRemarks, CommentOverflow) {
  std::string remarks;
  for (int i = 0; i < 30; ++i) remarks += "WORD" + std::to_string(i) + " ";
  remarks += "SLP132 T01221028";
  const Decoded d = Decode(std::string(kBody) + remarks);
  EXPECT_EQ(std::strlen(d.r.comment), static_cast<std::size_t>(SFC_COMMENT_LEN));
  EXPECT_EQ(std::string(d.r.comment).substr(0, 12), "WORD0 WORD1 ");
  Expect(d, "pmb=1013.2|t=53.96|flag=1");
}

}  // namespace
