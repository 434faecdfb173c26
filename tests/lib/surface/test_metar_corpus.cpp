// METAR decoder over real reports (tests/data/metar, see its README): the
// decoded fields of a selection from many countries, every remark group found
// in the data included, and every one of the 9,882 reports through the decoder
// with the invariants of the record and the same result with and without the
// quick checks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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

struct Pinned {
  const char *text;  // as the raw reader gives it (no '=')
  const char *expect;
  int prhour = 1800;  // the report's bulletin time where the 6-group needs it
  int format = 2;
};

class MetarCorpus : public metar_test::FreshState {};

// Purpose: decoded fields of real reports, by country and feature; each row says
// what it shows. Bulletin origins as the reader would give them (by identifier).
TEST_F(MetarCorpus, PinnedReports) {
  static const Pinned rows[] = {
      // Alaska, automatic: gust, peak wind, SLP below 1000, tenths T-group.
      {"PAEH 180755Z AUTO 12022G27KT 10SM BKN130 00/M05 A2940 RMK AO2 PK WND 13027/0752 SLP964 "
       "T10051055",
       "id=PAEH|type=1|time=755|w_dir=120|w_spd=22|w_gust=27|vis=10|clouds=B13000|t=31.1|td=22.1|"
       "flag=1|alt=29.4|pmb=996.4|comment=AO2 PK WND 13027/0752 "},
      // Wyoming: peak wind and wind shift copied.
      {"KRIW 221910Z AUTO 21015G22KT 10SM BKN095 17/M02 A2937 RMK AO2 PK WND 21026/1856 WSHFT 1850 "
       "T01721022",
       "w_dir=210|w_gust=22|clouds=B9500|t=62.96|td=28.04|alt=29.37|"
       "comment=AO2 PK WND 21026/1856 WSHFT 1850 "},
      // Colorado: PCPN without a number is words; P0000 is no precipitation.
      {"KCOS 180754Z 33003KT 4SM -SN BR BKN002 OVC090 M02/M03 A2999 RMK AO2 SLP185 PCPN VRY LGT "
       "P0000 T10221028",
       "vis=4|weather=!-SN_BR|clouds=B200,O9000|rain1=0|pmb=1018.5|t=28.04|td=26.96|"
       "comment=AO2 PCPN VRY LGT "},
      // New Jersey: PRESRR.
      {"KANJ 180755Z AUTO 32004KT 10SM CLR M09/M12 A3018 RMK AO2 PRESRR SLP230 T10891122",
       "clouds=C-|pmb=1023|t=15.98|td=10.04|comment=AO2 PRESRR "},
      // Oklahoma: mixed fraction, runway range, tower visibility.
      {"KOKC 180752Z 16007KT 1 1/4SM R35R/5500VP6000FT -DZ BR OVC002 04/03 A3010 RMK AO2 TWR VIS 3 "
       "SLP198 P0000 T00390028",
       "vis=1.25|weather=!-DZ_BR|clouds=O200|t=39.02|td=37.04|pmb=1019.8|rain1=0|"
       "comment=R35R/5500VP6000FT AO2 TWR VIS 3 "},
      // Kansas: surface visibility with a fraction (three words copied, the
      // fraction is a word of its own); '$' dropped.
      {"KICT 180753Z 08005KT 1 3/4SM -SN BR BKN005 OVC010 00/M02 A3013 RMK AO2 SFC VIS 2 1/2 "
       "SLP215 "
       "P0002 T00001017 $",
       "vis=1.75|clouds=B500,O1000|t=32|td=28.94|pmb=1021.5|rain1=0.02|"
       "comment=AO2 SFC VIS 2 1/2 "},
      // Texas: runway range before the weather, vertical visibility.
      {"KAMA 180753Z AUTO 19009KT 1/2SM R04/2000V3500FT FG VV002 03/03 A2998 RMK AO2 SLP155 "
       "T00280028",
       "vis=0.5|weather=!FG|clouds=X200|pmb=1015.5|t=37.04|comment=R04/2000V3500FT AO2 "},
      // Navy, California: the 24-hour extremes.
      {"KNUW 180756Z 11006KT 10SM -RA SCT012 SCT024 BKN055 08/06 A2992 RMK AO2 SLP134 P0001 "
       "T00830056 401060056 $",
       "weather=!-RA|clouds=S1200,S2400,B5500|rain1=0.01|pmb=1013.4|t=46.94|td=42.08|max_t=51.08|"
       "min_t=42.08|comment=AO2 "},
      // Alaska: snow depth, its water (not taken over the depth), 6-hour
      // extremes, tendency.
      {"METAR PAJN 231753Z 07005KT 7SM OVC037 M02/M02 A3028 RMK AO2 SLP254 4/010 933021 I6002 "
       "T10171022 11017 21033 51015",
       "id=PAJN|pmb=1025.4|scover=10|t=28.94|td=28.04|max6_t=28.94|min6_t=26.06|ptend_t=1|"
       "ptend=1.5|comment=AO2 I6002 "},
      // Alaska: 6- and 24-hour precipitation, 931 group, snow depth, tendency.
      {"METAR PABT 261153Z 00000KT 4SM -SN BR OVC025 M05/M07 A2964 RMK AO2 SLP054 60008 70014 "
       "931011 4/030 T10501067 11050 21061 53018 PNO",
       "w_dir=0|w_spd=0|rain6=0.08|rain3=-9999|rain24=0.14|scover=30|t=23|td=19.94|max6_t=23|"
       "min6_t=21.02|ptend_t=3|ptend=1.8|pmb=1005.4|comment=AO2 931011 PNO ",
       1200},
      // West Virginia, a 2100 bulletin: the 6-group is 3-hour precipitation;
      // falling tendency.
      {"METAR KHTS 092051Z 00000KT 3/4SM +RA BR FEW055 BKN070 OVC090 22/21 A2980 RMK AO2 SLP086 "
       "P0018 60080 T02170206 57010",
       "vis=0.75|weather=!+RA_BR|rain1=0.18|rain3=0.8|rain6=-9999|ptend_t=7|ptend=-1|t=71.06|"
       "td=69.08|pmb=1008.6",
       2100},
      // Alaska: RVRNO in the remarks is a word there; freezing fog.
      {"PABE 221858Z 36003KT 1/4SM FZFG VV002 M04/M04 A2989 RMK AO2 T10391044 RVRNO",
       "vis=0.25|weather=!FZFG|clouds=X200|t=24.98|td=24.08|comment=AO2 RVRNO "},
      // Alaska: WEA:NONE.
      {"PAWG 180756Z 08010KT 10SM SCT060 BKN090 03/M02 A2972 RMK AO1 WEA:NONE LAST MJ",
       "weather= |clouds=S6000,B9000|comment=AO1 LAST MJ "},
      // Canada: the US groups are words; SLP is read everywhere.
      {"CYYG 180745Z 06014G22KT 3SM +RA BR BKN005 OVC012 02/02 A2950 RMK SF5NS3 PRESFR SLP993",
       "w_gust=22|vis=3|weather=!+RA_BR|pmb=999.3|comment=SF5NS3 PRESFR "},
      {"CYYZ 180700Z 28009G15KT 15SM OVC021 M00/M03 A3000 RMK SC8 SLP165",
       "vis=15|clouds=O2100|t=32|td=26.6|alt=30|pmb=1016.5|comment=SC8 "},
      {"CXKT 180700Z AUTO 06004KT 05/05 RMK AO1 3PAST HR 6041 SLP955 P0001 T00490047 50003",
       "vis=-9999|t=40.82|td=40.46|flag=1|pmb=995.5|alt=-9999|"
       "comment=AO1 3PAST HR 6041 P0001 50003 "},
      // Mexico: estimated wind; the US cloud-type group is a word.
      {"MMZC 221840Z E26006KT 10SM BKN080 22/02 A3024 RMK 8/020",
       "w_dir=260|w_spd=6|clouds=B8000|cld_type=   |comment=8/020 "},
      {"MMMX 180749Z 03002KT 5SM SKC 12/07 A3035 NOSIG RMK HZY",
       "vis=5|clouds=C-|t=53.6|td=44.6|alt=30.35|comment=NOSIG RMK HZY "},
      // China, Russia: metres per second, NSC, trend words.
      {"ZBAA 180730Z 15002MPS 110V190 6000 NSC 02/M08 Q1026 NOSIG",
       "w_dir=150|w_spd=3.888|vis=3.72816|clouds=C-|weather= |t=35.6|td=17.6|alt=30.3066|"
       "comment=NOSIG "},
      {"UUYY 180730Z 18008G11MPS 4000 -SHSN SCT010 BKN016CB OVC066 M02/M04 Q0999 TEMPO 1000 SHSN "
       "1929//41 RMK QFE740/0987",
       "w_spd=15.552|w_gust=21.384|vis=2.48544|weather=!-SHSN|clouds=S1000,B1600,O6600|t=28.4|"
       "td=24.8|alt=29.5091|comment=TEMPO 1000 SHSN 1929//41 RMK QFE740/0987 "},
      {"ULOO 180730Z 23004MPS P6000 SCT008 OVC036 02/01 Q1001 19190060 NOSIG RMK QFE746",
       "w_spd=7.776|vis=-9999|weather= |clouds=S800,O3600|alt=29.5681"},
      // Britain, Germany, France, Austria: metres, kilometres, trends.
      {"EGLL 180750Z 24013KT 9999 FEW011 BKN014 13/11 Q1010 TEMPO SCT014 BKN018",
       "vis=-9999|clouds=F1100,B1400|t=55.4|td=51.8|alt=29.834|comment=TEMPO SCT014 BKN018 "},
      {"EDDF 180750Z 19010KT 4800 -DZ BKN003 OVC004 08/08 Q1013 BECMG 6000",
       "vis=2.98253|weather=!-DZ|clouds=B300,O400|alt=29.9226|comment=BECMG 6000 "},
      {"LOWZ 180700Z VRB02KT 15KM FEW005SC SCT010SC BKN070SC 01/01 Q1018 RMK BKN",
       "w_dir=0|w_spd=2|vis=9.32055|clouds=F500,S1000,B7000|alt=30.0703|comment=BKN "},
      // Brazil: CAVOK.
      {"SBGR 180700Z 12002KT CAVOK 18/17 Q1013", "vis=10|clouds=C-|weather= |t=64.4|td=62.6"},
      // Japan: oktas layers in the remarks are words; second altimeter a word.
      {"RJOC 180705Z 34014KT 7000 -SHSN FEW010 SCT025 FEW025CB BKN040 02/M01 Q1028 RMK 1CU010 "
       "3CU025 1CB025 5CU040 A3037 CB 10KM N MOV S",
       "vis=4.34952|clouds=F1000,S2500,F2500,B4000|alt=30.3657|"
       "comment=1CU010 3CU025 1CB025 5CU040 A3037 CB 10KM N MOV S "},
      {"RJTT 180730Z 31015KT 9999 FEW030 07/M12 Q1015 TEMPO 31020G30KT RMK 1CU030 A3000",
       "w_dir=310|w_spd=15|t=44.6|td=10.4|alt=29.9817|comment=TEMPO 31020G30KT RMK 1CU030 A3000 "},
      // Iran, Singapore, New Zealand: cloud types after the height.
      {"OIII 180730Z 25008KT 4000 HZ FEW040 08/M01 Q1024 A3025 NOSIG",
       "vis=2.48544|weather=!HZ|clouds=F4000|alt=30.2475|comment=A3025 NOSIG "},
      {"WSSS 180730Z 03009KT 330V070 9999 FEW018TCU SCT020 BKN300 31/24 Q1008 NOSIG",
       "clouds=F1800,S2000,B30000|t=87.8|td=75.2|alt=29.7749"},
      {"NZAA 180730Z AUTO 28008KT 250V320 9999 OVC027/// 19/15 Q1017 NOSIG",
       "w_dir=280|clouds=O2700|t=66.2|td=59|alt=30.0408"},
      // Mended cases of real reports: three-digit gust, "//" gust, AUTO NIL,
      // NCD before "/////", "////SM".
      {"SPECI KPAM 101721Z AUTO 08063G112KT M1/8SM R14/0600V1200FT +RA FG SQ M 25/25 A2724 RMK AO2 "
       "RAB1658 SLP227 CHINO RWY32 $",
       "type=2|w_dir=-9999|vis=0.125|weather=!+RA_FG_SQ_M|t=77|alt=27.24|pmb=1022.7|"
       "comment=R14/0600V1200FT AO2 RAB1658 CHINO RWY32 ",
       1800, 5},
      {"CYEK 221900Z 32020G//KT 15SM -SHSN BKN011 OVC120 M01/M03 RMK SC7AC1 ALTM 2959",
       "w_dir=320|w_spd=20|w_gust=-9999|vis=15|weather=!-SHSN|alt=-9999|comment=SC7AC1 ALTM 2959 "},
      {"SVSR 221903Z AUTO NIL", "rc=-1|type=0|id=SVSR|time=1903"},
      {"SVMI 221903Z AUTO 04006KT NCD ///// Q1011", "clouds=C-|t=-9999|alt=29.8635|comment="},
      {"CWIL 221900Z AUTO ///// ////SM BKN017 OVC065 ///// A////",
       "w_dir=-9999|vis=-9999|clouds=B1700,O6500|t=-9999|alt=-9999|comment=A//// "},
  };
  for (const Pinned &row : rows) {
    SCOPED_TRACE(row.text);
    Options o;
    o.bulletin = metar_test::OriginOf(metar_test::Identifier(row.text));
    o.prhour = row.prhour;
    o.format = row.format;
    const Decoded d = Decode(row.text, o);
    EXPECT_GT(Expect(d, row.expect), 0);
    metar_test::ExpectInvariants(d, row.text);
  }
}

// Purpose: every real report decodes within the record's limits, the quick
// checks change nothing, and the totals of what was found stay where they are
// (a change in any ladder shows here).
TEST_F(MetarCorpus, AllReports) {
  const std::vector<metar_test::RealReport> reports = metar_test::LoadRealReports();
  ASSERT_EQ(reports.size(), 9405u + 477u);

  int nil = 0, wind = 0, vis = 0, weather = 0, layers = 0, temp = 0, alt = 0, pmb = 0, t_group = 0,
      comment = 0, differ = 0;
  for (const metar_test::RealReport &rep : reports) {
    Options o;
    o.bulletin = rep.bulletin;
    o.format = rep.text.compare(0, 6, "SPECI ") == 0 ? 5 : 2;
    SFC_metar_set_quick_checks(true);
    const Decoded d = Decode(rep.text, o);
    SFC_metar_set_quick_checks(false);
    const Decoded full = Decode(rep.text, o);
    if (d.rc != full.rc || std::memcmp(&d.r, &full.r, sizeof(SFC_report)) != 0) {
      ++differ;
      ADD_FAILURE() << "quick checks change " << rep.text;
    }
    metar_test::ExpectInvariants(d, rep.text);
    if (HasFailure()) {
      ADD_FAILURE() << rep.text;
      return;
    }
    const SFC_report &r = d.r;
    nil += d.rc == -1;
    wind += r.w_spd != SFC_MISSING_F;
    vis += r.vis != SFC_MISSING_F;
    weather += r.weather[0] != ' ';
    layers += r.num_cld;
    temp += r.t != SFC_MISSING_F;
    alt += r.alt != SFC_MISSING_F;
    pmb += r.pmb != SFC_MISSING_F;
    t_group += r.flag;
    comment += r.comment[0] != '\0';
    // Sane values for real reports.
    if (r.w_spd != SFC_MISSING_F) {
      EXPECT_TRUE(r.w_spd >= 0 && r.w_spd < 150) << rep.text;
    }
    if (r.alt != SFC_MISSING_F) {
      EXPECT_TRUE(r.alt > 0 && r.alt < 35) << rep.text;
    }
    if (r.pmb != SFC_MISSING_F) {
      EXPECT_TRUE(r.pmb > 900 && r.pmb < 1100) << rep.text;
    }
    for (int i = 0; i < r.num_cld; ++i)
      EXPECT_TRUE(r.cld_height[i] == SFC_MISSING_F || r.cld_height[i] >= 0) << rep.text;
  }
  EXPECT_EQ(differ, 0);
  // Totals over the 9,882 reports.
  EXPECT_EQ(nil, 12);
  EXPECT_EQ(wind, 9738);
  EXPECT_EQ(vis, 7080);
  EXPECT_EQ(weather, 1702);
  EXPECT_EQ(layers, 12137);
  EXPECT_EQ(temp, 9789);
  EXPECT_EQ(alt, 9207);
  EXPECT_EQ(pmb, 3335);
  EXPECT_EQ(t_group, 3844);
  EXPECT_EQ(comment, 7684);  // ESIB: "0650 0350//" keeps the remarks after it
}

}  // namespace
