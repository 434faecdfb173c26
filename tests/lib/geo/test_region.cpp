// Regions: the predefined regions, region files (search, menu, bad lines), region
// references inside domain strings ("FILE:NAME", "fi:FILE", nesting), and the region
// file the program ships.
#include <string>

#include "geo_fixture.h"
#include "resources/resources_testing.h"
#include "util/util.h"

namespace {

using geo_test::GeoTest;

struct DefCase {
  const char *name;
  float clat, clon, spacing;
};

const DefCase kDefRegions[] = {
    {"us", 39, -97, 2.3f},  {"ne", 42, -76, 0.9f},  {"at", 37, -82, 0.9f},
    {"se", 31, -88, 1.1f},  {"mw", 43, -93, 1.1f},  {"sp", 32.5f, -100, 1.2f},
    {"nw", 44, -112, 1.0f}, {"sw", 37, -112, 1.0f}, {"MW", 43, -93, 1.1f},
};

TEST_F(GeoTest, PredefinedRegions) {
  for (const DefCase &c : kDefRegions) {
    Domain d;
    EXPECT_EQ(DOM_get_def_region(c.name, &d), 1) << c.name;
    EXPECT_EQ(d.proj, DOM_POLAR);
    EXPECT_EQ(d.nx, 25);
    EXPECT_EQ(d.ny, 17);
    EXPECT_FLOAT_EQ(d.clat, c.clat) << c.name;
    EXPECT_FLOAT_EQ(d.clon, c.clon) << c.name;
    EXPECT_FLOAT_EQ(d.plon, c.clon) << c.name;
    EXPECT_FLOAT_EQ(d.dx, c.spacing) << c.name;
    EXPECT_FLOAT_EQ(d.dy, c.spacing) << c.name;
  }
}

TEST_F(GeoTest, UnknownPredefinedRegionKeepsTheCentre) {
  Domain d;
  d.clat = 12;
  d.clon = 34;
  EXPECT_EQ(DOM_get_def_region("zz", &d), 0);
  EXPECT_EQ(d.proj, DOM_POLAR);
  EXPECT_EQ(d.nx, 25);
  EXPECT_FLOAT_EQ(d.dx, 1.2f);
  EXPECT_FLOAT_EQ(d.clat, 12);
  EXPECT_FLOAT_EQ(d.clon, 34);
}

TEST_F(GeoTest, VarRegionPromptsForTheCentre) {
  FILE *in = tmpfile();
  std::fputs("45.5\n-120.25\n", in);
  std::rewind(in);
  ZYP_set_input(in);
  Domain d;
  testing::internal::CaptureStdout();
  EXPECT_EQ(DOM_get_def_region("var", &d), 1);
  std::string prompts = testing::internal::GetCapturedStdout();
  ZYP_set_input(stdin);
  std::fclose(in);
  EXPECT_NE(prompts.find("Enter the central latitude: "), std::string::npos);
  EXPECT_NE(prompts.find("Enter the central longitude: "), std::string::npos);
  EXPECT_FLOAT_EQ(d.clat, 45.5f);
  EXPECT_FLOAT_EQ(d.clon, -120.25f);
  EXPECT_FLOAT_EQ(d.plon, -120.25f);
  EXPECT_FLOAT_EQ(d.dx, 1.2f);
}

TEST_F(GeoTest, UnknownRegionDecodesWithProjectionMinusOneAndAWarning) {
  Domain d;
  EXPECT_EQ(Decode("zz", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
  EXPECT_EQ(warnings_, "DOM_decode: Region not found: zz\n");
}

// ---- region files ---------------------------------------------------------------------------

constexpr const char *kRegions =
    "# test regions\n"
    "co   Colorado_and_around_it 1 ps,39,-105.5,25,17,0.3,0.3\n"
    "\n"
    "hid  Hidden                0 40,-90\n"
    "us   Our_own_us             1 me,38,-97,31,21,2,2\n"
    "glk  Great_Lakes            2 ps,45,-84,25,17,0.6,0.6   trailing words are ignored\n"
    "ref  Another_region         1 co\n";

TEST_F(GeoTest, SearchFileFindsAnAbbreviationInAnyCase) {
  Write("zyp.reg", kRegions);
  std::string s;
  EXPECT_EQ(DOM_search_file("zyp.reg", "CO", s), 1);
  EXPECT_EQ(s, "ps,39,-105.5,25,17,0.3,0.3");
  EXPECT_EQ(DOM_search_file("zyp.reg", "glk", s), 1);
  EXPECT_EQ(s, "ps,45,-84,25,17,0.6,0.6");
  EXPECT_EQ(DOM_search_file("zyp.reg", "nothere", s), 0);
  EXPECT_EQ(DOM_search_file("zyp.reg", nullptr, s), 1);  // the first data line
  EXPECT_EQ(s, "ps,39,-105.5,25,17,0.3,0.3");
}

TEST_F(GeoTest, ABlankLineDoesNotEndTheSearch) {
  Write("zyp.reg", kRegions);
  std::string s;
  EXPECT_EQ(DOM_search_file("zyp.reg", "us", s), 1);  // after the blank line
  EXPECT_EQ(s, "me,38,-97,31,21,2,2");
}

TEST_F(GeoTest, BareDomainLine) {
  Write("one.reg", "# a bare domain\n  lc:40:-100:30:60,40,-100,1  \nco x 1 10,10\n");
  std::string s;
  EXPECT_EQ(DOM_search_file("one.reg", "co", s), 1);  // a bare line answers every search
  EXPECT_EQ(s, "lc:40:-100:30:60,40,-100,1");
}

TEST_F(GeoTest, MissingRegionFileIsNotFound) {
  MESS_set(MESS_USER_ADD, M_DEBUG & M_SUB_D);
  std::string s = "before";
  testing::internal::CaptureStdout();
  EXPECT_EQ(DOM_search_file("none.reg", "co", s), 0);
  std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_EQ(trace, "Unable to open region file: " + dir_ + "/none.reg\n");
  EXPECT_EQ(s, "before");
  testing::internal::CaptureStdout();
  EXPECT_EQ(DOM_read_menu("none.reg"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), trace);
}

TEST_F(GeoTest, MalformedAndOverlongLinesAreSkippedWithAWarning) {
  std::string text = "co Colorado\n";                    // missing fields
  text += "c2 Colorado x ps,39,-105\n";                  // flag no number
  text += "c3 " + std::string(600, 'x') + " 1 10,10\n";  // overlong line
  text += "c4 d 1 " + std::string(100, '1') + "\n";      // overlong domain string
  text += "co Colorado 1 ps,39,-105.5\n";
  Write("bad.reg", text);
  std::string s;
  testing::internal::CaptureStderr();
  EXPECT_EQ(DOM_search_file("bad.reg", "co", s), 1);
  std::string warn = testing::internal::GetCapturedStderr();
  EXPECT_EQ(s, "ps,39,-105.5");
  std::string path = dir_ + "/bad.reg";
  EXPECT_EQ(warn, "DOM_search_file: Line 1 of " + path + " is no region entry\n" +
                      "DOM_search_file: Line 2 of " + path + " is no region entry\n" +
                      "DOM_search_file: Line 3 of " + path + " is longer than 500 characters\n" +
                      "DOM_search_file: Line 4 of " + path + " is no region entry\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(DOM_search_file("bad.reg", "c3", s), 0);  // the tail of a long line is no entry
  testing::internal::GetCapturedStderr();
}

TEST_F(GeoTest, ALineOfExactlyTheLimitIsRead) {
  // 3 + 491 + 6 = 500 characters: read; one more: skipped.
  Write("edge.reg",
        "cd " + std::string(491, 'e') + " 1 7,8\n" + "ef " + std::string(492, 'e') + " 1 7,8\n");
  std::string s;
  EXPECT_EQ(DOM_search_file("edge.reg", "cd", s), 1);
  EXPECT_EQ(s, "7,8");
  testing::internal::CaptureStderr();
  EXPECT_EQ(DOM_search_file("edge.reg", "ef", s), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Line 2 of"), std::string::npos);
}

TEST_F(GeoTest, RegionFileEntryOverridesAPredefinedRegion) {
  Write("zyp.reg", kRegions);
  Domain d;
  EXPECT_EQ(Decode("us", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_MERCATOR);
  EXPECT_EQ(d.nx, 31);
  EXPECT_EQ(Key('r'), "us");
  EXPECT_EQ(Decode("mw", d), DOM_RES_REGION);  // not in the file: predefined
  EXPECT_FLOAT_EQ(d.clat, 43);
}

TEST_F(GeoTest, FileColonName) {
  std::string path = Write("my.reg", kRegions);
  Domain d;
  EXPECT_EQ(Decode("my.reg:glk", d), DOM_RES_REGION);
  EXPECT_FLOAT_EQ(d.clat, 45);
  EXPECT_FLOAT_EQ(d.dx, 0.6f);
  EXPECT_EQ(Decode((path + ":co").c_str(), d), DOM_RES_REGION);  // a full path
  EXPECT_FLOAT_EQ(d.clat, 39);
  EXPECT_EQ(Decode("my.reg:zz", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
  EXPECT_EQ(warnings_, "DOM_decode: Region not found: my.reg:zz\n");
  EXPECT_EQ(Decode("nofile.reg:co", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
  EXPECT_EQ(Decode(":co", d), DOM_RES_REGION);  // no file name: never the standard input
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
}

TEST_F(GeoTest, FileColonNothingReadsTheMenu) {
  Write("my.reg", kRegions);
  Domain d;
  EXPECT_EQ(Decode("my.reg:", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_NONE);
  EXPECT_EQ(DOM_num_regs(), 5);
  EXPECT_EQ(DOM_get_menu()[1].abbr, "co");
}

TEST_F(GeoTest, FiTakesTheFirstDataLine) {
  Write("first.reg", "# comment\n\nglk Great_Lakes 1 ps,45,-84,25,17,0.6,0.6\nco x 1 10,10\n");
  Domain d;
  EXPECT_EQ(Decode("fi:first.reg", d), DOM_RES_REGION);
  EXPECT_FLOAT_EQ(d.clat, 45);
  EXPECT_EQ(FLAG_get(FLAG_DOMAIN), DOM_RES_REGION);
  EXPECT_EQ(Decode("fi:missing.reg", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
  EXPECT_EQ(warnings_, "DOM_decode: Region not found: fi:missing.reg\n");
}

TEST_F(GeoTest, ARegionMayNameAnotherRegion) {
  Write("zyp.reg", kRegions);
  Domain d;
  EXPECT_EQ(Decode("ref", d), DOM_RES_REGION);
  EXPECT_FLOAT_EQ(d.clat, 39);
  EXPECT_FLOAT_EQ(d.clon, -105.5f);
  EXPECT_EQ(Key('r'), "ref");  // the outer string, not the entry's
  EXPECT_EQ(FLAG_get(FLAG_DOMAIN), DOM_RES_REGION);
}

TEST_F(GeoTest, AFileThatNamesItselfStops) {
  Write("loop.reg", "fi:loop.reg\n");
  Write("zyp.reg", "a x 1 b\nb x 1 a\n");
  Domain d;
  EXPECT_EQ(Decode("fi:loop.reg", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
  EXPECT_EQ(warnings_, "DOM_decode: Region references nest too deeply: fi:loop.reg\n");
  EXPECT_EQ(Decode("a", d), DOM_RES_REGION);
  EXPECT_EQ(d.proj, DOM_UNKNOWN);
  EXPECT_NE(warnings_.find("nest too deeply"), std::string::npos);
}

TEST_F(GeoTest, AnInvalidEntryLeavesNoDomain) {
  Write("zyp.reg", "bad x 1 ps,abc,1\n");
  Domain d;
  EXPECT_EQ(Decode("bad", d), DOM_RES_REGION);
  EXPECT_EQ(warnings_, "DOM_decode: Invalid plot domain\n");
  EXPECT_EQ(d.proj, DOM_NONE);
}

// ---- the menu ----------------------------------------------------------------------------------

TEST_F(GeoTest, MenuSlotsFromARegionFile) {
  EXPECT_EQ(DOM_num_regs(), 0);
  const MENU_item *menu = DOM_get_menu();
  EXPECT_EQ(menu[0].name, "Return to previous menu");
  EXPECT_EQ(menu[0].abbr, "back");
  Write("zyp.reg", kRegions);
  EXPECT_EQ(DOM_read_menu("zyp.reg"), 1);
  EXPECT_EQ(DOM_num_regs(), 5);                     // four shown, "hid" left out
  EXPECT_EQ(menu[1].name, "Colorado and around ");  // cut at 20, blanks for underscores
  EXPECT_EQ(menu[1].abbr, "co");
  EXPECT_EQ(menu[1].index, 1);
  EXPECT_EQ(menu[2].abbr, "us");
  EXPECT_EQ(menu[2].index, 2);
  EXPECT_EQ(menu[3].abbr, "glk");
  EXPECT_EQ(menu[3].disp[0], 2);
  EXPECT_EQ(menu[4].abbr, "ref");
  EXPECT_FALSE(menu[5].has_name);
}

TEST_F(GeoTest, MenuHoldsNineteenEntries) {
  std::string text;
  for (int i = 0; i < 30; ++i)
    text += "r" + std::to_string(i) + " Region 1 " + std::to_string(i) + ",0\n";
  Write("many.reg", text);
  EXPECT_EQ(DOM_read_menu("many.reg"), 1);
  EXPECT_EQ(DOM_num_regs(), 20);
  EXPECT_EQ(DOM_get_menu()[19].abbr, "r18");
  EXPECT_FALSE(DOM_get_menu()[20].has_name);
}

// ---- the shipped region file ----------------------------------------------------------------

struct ShippedCase {
  const char *region;
  int proj;
  float lat, lon;  // a station inside
  const char *station;
  float out_lat, out_lon;  // a station outside
};

// Station positions from the public station table.
const ShippedCase kShipped[] = {
    {"co", DOM_POLAR, 39.85f, -104.65f, "KDEN", 41.30f, -95.90f},    // Omaha outside
    {"den", DOM_POLAR, 40.17f, -105.16f, "KLMO", 35.04f, -106.61f},  // Albuquerque outside
    {"glk", DOM_POLAR, 41.98f, -87.90f, "KORD", 39.85f, -104.65f},
    {"conus", DOM_LAMBERT, 25.79f, -80.29f, "KMIA", 61.17f, -150.02f},  // Anchorage outside
    {"l48", DOM_LAMBERT, 47.45f, -122.31f, "KSEA", 21.32f, -157.92f},   // Honolulu outside
    {"ak", DOM_POLAR, 61.17f, -150.02f, "PANC", 47.45f, -122.31f},      // Seattle outside
    {"hi", DOM_MERCATOR, 21.32f, -157.92f, "PHNL", 61.17f, -150.02f},
    {"carib", DOM_MERCATOR, 18.44f, -66.00f, "TJSJ", 39.85f, -104.65f},
    {"eu", DOM_LAMBERT, 51.48f, -0.45f, "EGLL", 39.85f, -104.65f},
    {"world", DOM_LATLON, -77.85f, 166.67f, "NZCM", -9999.0f,
     0.0f},  // a missing latitude is never in
};

TEST_F(GeoTest, ShippedRegionFileHoldsUsefulRegions) {
  RES_put("file_path", SOURCE_DIR "/share");
  for (const ShippedCase &c : kShipped) {
    Domain d;
    ASSERT_EQ(Decode(c.region, d), DOM_RES_REGION) << c.region;
    EXPECT_EQ(warnings_, "") << c.region;
    EXPECT_EQ(d.proj, c.proj) << c.region;
    MAP_domain(&d);
    float x, y;
    ASSERT_EQ(MAP_tran(c.lat, c.lon, &x, &y), 1) << c.region;
    EXPECT_EQ(MAP_in_domain(x, y), 1) << c.region << " " << c.station;
    int seen = MAP_tran(c.out_lat, c.out_lon, &x, &y);
    EXPECT_TRUE(seen == 0 || MAP_in_grid_domain(x, y) == 0) << c.region << " outside";
  }
  EXPECT_EQ(DOM_read_menu("zyp.reg"), 1);
  EXPECT_EQ(DOM_num_regs(), 10);  // nine shown, "l48" left out
}

}  // namespace
