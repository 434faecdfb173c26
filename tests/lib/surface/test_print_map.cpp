// Station-model maps: the parts of a model (sky cover, barbs, coded pressure), the
// document (well-formed, self-contained, escaped), the page, thinning and the domains
// of the bad-input list. The shoreline database is kept out (an empty directory):
// the shoreline tests are in tests/lib/geo/test_shore.cpp.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <tuple>
#include <string>
#include <vector>

#include "geo/map.h"
#include "geo/shore.h"
#include "messages/messages.h"
#include "surface/print_map.h"
#include "../geo/shore_fixture.h"
#include "xml_check.h"

namespace {

using shore_test::make_domain;

// The "us" region.
Domain us() { return make_domain(DOM_POLAR, 39.0f, -97.0f, 25, 17, 2.3f); }

SFC_report blank_report() {
  SFC_report r;
  SFC_initialize(&r);
  return r;
}

// A report with every part of a model: FEW120, 160 degrees 14 knots, 35/19 F, 1019.0
// mb, light snow.
SFC_report full_report() {
  SFC_report r = blank_report();
  r.num_cld = 1;
  r.cld_cover[0] = 'F';
  r.cld_height[0] = 12000.0f;
  r.w_dir = 160.0f;
  r.w_spd = 14.0f;
  r.t = 35.0f;
  r.td = 19.0f;
  r.pmb = 1019.0f;
  std::strcpy(r.weather, "!-SN");
  return r;
}

SFC_map_station station(const char *id, float lat, float lon, int prior, const SFC_report &r) {
  SFC_map_station s;
  s.report = r;
  s.id = id;
  s.lat = lat;
  s.lon = lon;
  s.prior = prior;
  return s;
}

// The group of station `id` in `svg` (empty when it is not drawn).
std::string group_of(const std::string &svg, const std::string &id) {
  const std::size_t at = svg.find("<g class=\"station\" data-id=\"" + id + "\"");
  if (at == std::string::npos) return {};
  return svg.substr(at, svg.find("</g>", at) - at + 4);
}

int count(const std::string &text, const std::string &what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class PrintMapTest : public shore_test::ShoreDirTest {
 protected:
  // The document of `stations` in the current domain, checked to be well formed;
  // the warnings and notes go to warnings_.
  std::string Map(const std::vector<SFC_map_station> &stations, const char *title = "test") {
    testing::internal::CaptureStderr();
    const std::string svg = SFC_map_svg(stations, title, &info_);
    warnings_ = testing::internal::GetCapturedStderr();
    const std::string fault = xml_check::Check(svg);
    EXPECT_EQ(fault, "");
    return svg;
  }

  SFC_map_info info_;
};

// ---- parts of a model ------------------------------------------------------------------

TEST(MapModel, SkyCoverFromLayers) {
  const struct {
    const char *covers;  // one code per layer
    int eighths;
  } cases[] = {
      {"", -1},   {"C", 0},  {"F", 2},  {"S", 4},  {"B", 6},     {"O", 8}, {"X", 9},
      {"FSB", 6}, {"BF", 6}, {"OB", 8}, {"SX", 9}, {"s", 4},     {"b", 6}, {"o", 8},
      {"x", -1},  {"xS", 4}, {"0", 0},  {"1", 1},  {"3", 3},     {"5", 5}, {"7", 7},
      {"8", 8},   {"9", 9},  {"26", 6}, {"?", -1}, {"FFFFF", 2},
  };
  for (const auto &c : cases) {
    SFC_report r = blank_report();
    r.num_cld = static_cast<int>(std::strlen(c.covers));
    std::memcpy(r.cld_cover, c.covers, std::strlen(c.covers));
    EXPECT_EQ(SFC_map_sky_cover(r), c.eighths) << c.covers;
  }
  // A layer count beyond the record reads only the five layers.
  SFC_report r = blank_report();
  r.num_cld = 99;
  std::memcpy(r.cld_cover, "CCCCO", 5);
  EXPECT_EQ(SFC_map_sky_cover(r), 8);
  r.num_cld = -4;
  EXPECT_EQ(SFC_map_sky_cover(r), -1);
}

TEST(MapModel, BarbsOfWindSpeeds) {
  const struct {
    float speed;
    bool drawn;
    int pennants, full, half;
  } cases[] = {
      {0, true, 0, 0, 0},    {2, true, 0, 0, 0},         {2.5f, true, 0, 0, 1},
      {3, true, 0, 0, 1},    {7, true, 0, 0, 1},         {8, true, 0, 1, 0},
      {14, true, 0, 1, 1},   {45, true, 0, 4, 1},        {48, true, 1, 0, 0},
      {65, true, 1, 1, 1},   {105, true, 2, 0, 1},       {300, true, 6, 0, 0},
      {301, false, 0, 0, 0}, {-1, false, 0, 0, 0},       {-9999, false, 0, 0, 0},
      {NAN, false, 0, 0, 0}, {INFINITY, false, 0, 0, 0},
  };
  for (const auto &c : cases) {
    int p = -1, f = -1, h = -1;
    EXPECT_EQ(SFC_map_barbs(c.speed, &p, &f, &h), c.drawn) << c.speed;
    if (!c.drawn) continue;
    EXPECT_EQ(p, c.pennants) << c.speed;
    EXPECT_EQ(f, c.full) << c.speed;
    EXPECT_EQ(h, c.half) << c.speed;
  }
}

TEST(MapModel, CodedPressure) {
  const struct {
    float pmb;
    const char *code;  // null: none
  } cases[] = {
      {1013.2f, "132"},  {1019.0f, "190"},   {999.9f, "999"},  {1000.0f, "000"},
      {1000.04f, "000"}, {987.65f, "877"},   {1050.0f, "500"}, {-9999.0f, nullptr},
      {0.0f, nullptr},   {2500.0f, nullptr}, {NAN, nullptr},
  };
  for (const auto &c : cases) {
    char code[4] = "xxx";
    EXPECT_EQ(SFC_map_pressure_code(c.pmb, code), c.code != nullptr) << c.pmb;
    if (c.code) {
      EXPECT_STREQ(code, c.code) << c.pmb;
    }
  }
}

TEST(MapModel, Escaping) {
  std::string out;
  SFC_map_escape(out, "A<&\"'>B");
  EXPECT_EQ(out, "A&lt;&amp;&quot;&apos;&gt;B");
  out.clear();
  SFC_map_escape(out, std::string("a\x01\tb\xc3\xa9", 6));
  EXPECT_EQ(out, "a??b??");
}

// ---- the document --------------------------------------------------------------------------

TEST_F(PrintMapTest, PageOfTheUsRegion) {
  const Domain d = us();
  MAP_domain(&d);
  const std::string svg = Map({station("KDEN", 39.85f, -104.65f, 0, full_report())});
  EXPECT_EQ(info_.page.width, 1200);
  EXPECT_EQ(info_.page.height, 824);  // the title strip and 36.8 / 55.2 of 1200
  EXPECT_NEAR(info_.page.scale, 1200.0f / 55.2f, 1e-3);
  EXPECT_EQ(
      svg.rfind(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
          "width=\"1200\" height=\"824\"",
          0),
      0u);
  EXPECT_FALSE(info_.fitted);
  // Self-contained: nothing is fetched.
  EXPECT_EQ(svg.find("href"), std::string::npos);
  EXPECT_EQ(svg.find("<script"), std::string::npos);
  EXPECT_EQ(svg.find("url("), std::string::npos);
  EXPECT_EQ(svg.find("@import"), std::string::npos);
  // The database is missing here: a warning, the map without lines.
  EXPECT_EQ(info_.lines, -1);
  EXPECT_NE(warnings_.find("No shoreline files to use"), std::string::npos);
}

TEST_F(PrintMapTest, StationsAtTheirProjectedPlaces) {
  const Domain d = us();
  MAP_domain(&d);
  const std::string svg = Map({station("KDEN", 39.85f, -104.65f, 0, full_report()),
                               station("KORD", 41.98f, -87.9f, 0, full_report())});
  EXPECT_EQ(info_.stations, 2);
  EXPECT_EQ(info_.drawn, 2);
  for (const auto &[id, lat, lon] :
       {std::tuple{"KDEN", 39.85f, -104.65f}, std::tuple{"KORD", 41.98f, -87.9f}}) {
    float x, y;
    ASSERT_EQ(MAP_tran(lat, lon, &x, &y), 1);
    const std::string g = group_of(svg, id);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(g, m, std::regex("translate\\(([-0-9.]+),([-0-9.]+)\\)"))) << g;
    EXPECT_NEAR(std::stof(m[1]), info_.page.px(x), 0.051) << id;
    EXPECT_NEAR(std::stof(m[2]), info_.page.py(y), 0.051) << id;
  }
  // The full model: cover, barb, texts where a model has them.
  const std::string g = group_of(svg, "KDEN");
  EXPECT_NE(g.find("<path class=\"k\" d=\"M0,0V-4.5A4.5,4.5 0 0 1 4.5,0Z\"/>"), std::string::npos)
      << g;  // few
  EXPECT_NE(g.find("<text class=\"t\" x=\"-7\" y=\"-4\" text-anchor=\"end\">35</text>"),
            std::string::npos)
      << g;
  EXPECT_NE(g.find("<text class=\"x\" x=\"-7\" y=\"5\" text-anchor=\"end\">S-</text>"),
            std::string::npos)
      << g;
  EXPECT_NE(g.find("<text class=\"d\" x=\"-7\" y=\"14\" text-anchor=\"end\">19</text>"),
            std::string::npos)
      << g;
  EXPECT_NE(g.find("<text class=\"p\" x=\"7\" y=\"-4\">190</text>"), std::string::npos) << g;
  EXPECT_NE(g.find("<text class=\"i\" x=\"0\" y=\"22\" text-anchor=\"middle\">KDEN</text>"),
            std::string::npos)
      << g;
  EXPECT_NE(svg.find(">test  2 stations, 2 drawn</text>"), std::string::npos);
}

TEST_F(PrintMapTest, ReportWithEverythingMissing) {
  const Domain d = us();
  MAP_domain(&d);
  const std::string svg = Map({station("KXYZ", 39.0f, -97.0f, 0, blank_report())});
  const std::string g = group_of(svg, "KXYZ");
  ASSERT_FALSE(g.empty());
  EXPECT_NE(g.find("<circle class=\"c\" r=\"4.5\"/>"), std::string::npos);
  EXPECT_NE(g.find(">M</text>"), std::string::npos);
  for (const char *cls :
       {"class=\"t\"", "class=\"d\"", "class=\"p\"", "class=\"x\"", "class=\"l\"", "class=\"k\""})
    EXPECT_EQ(g.find(cls), std::string::npos) << cls;
  EXPECT_NE(g.find(">KXYZ</text>"), std::string::npos);
}

TEST_F(PrintMapTest, IdentifiersAndTitleEscaped) {
  const Domain d = us();
  MAP_domain(&d);
  SFC_report r = full_report();
  std::strcpy(r.weather, "R<&");  // a short code copied as it is
  const std::string svg = Map({station("A<&\"'B", 39.0f, -97.0f, 0, r)}, "title <&> \"q\"");
  EXPECT_NE(svg.find("data-id=\"A&lt;&amp;&quot;&apos;B\""), std::string::npos);
  EXPECT_NE(svg.find(">A&lt;&amp;&quot;&apos;B</text>"), std::string::npos);
  EXPECT_NE(svg.find(">R&lt;&amp;</text>"), std::string::npos);
  EXPECT_NE(svg.find("<title>title &lt;&amp;&gt; &quot;q&quot;</title>"), std::string::npos);
}

TEST_F(PrintMapTest, ThinnedByPriority) {
  const Domain d = us();
  MAP_domain(&d);
  const SFC_report r = full_report();
  // Three stations at one place: the lowest priority digit wins; on a tie the first.
  std::string svg =
      Map({station("KAAA", 39.0f, -97.0f, 5, r), station("KBBB", 39.0f, -97.0f, 2, r),
           station("KCCC", 39.0f, -97.01f, 7, r), station("KDDD", 39.0f, -97.0f, 2, r)});
  EXPECT_EQ(info_.stations, 4);
  EXPECT_EQ(info_.drawn, 1);
  EXPECT_EQ(info_.thinned, 3);
  EXPECT_FALSE(group_of(svg, "KBBB").empty());
  EXPECT_EQ(count(svg, "class=\"station\""), 1);

  // Far enough apart both are drawn.
  svg = Map({station("KAAA", 39.0f, -97.0f, 5, r), station("KBBB", 39.0f, -90.0f, 2, r)});
  EXPECT_EQ(info_.drawn, 2);
}

TEST_F(PrintMapTest, DenseStationsNeverOnTopOfEachOther) {
  const Domain d = us();
  MAP_domain(&d);
  std::vector<SFC_map_station> many;
  for (int i = 0; i < 30; ++i)
    for (int j = 0; j < 30; ++j)
      many.push_back(station(("S" + std::to_string(i * 30 + j)).c_str(), 35.0f + i * 0.3f,
                             -100.0f + j * 0.4f, (i + j) % 10, full_report()));
  const std::string svg = Map(many);
  EXPECT_EQ(info_.stations, 900);
  EXPECT_GT(info_.drawn, 10);
  EXPECT_LT(info_.drawn, 900);
  EXPECT_EQ(info_.drawn + info_.thinned, info_.stations);
  // The centres of drawn models are further apart than two circles and the texts
  // beside them (a model reaches 7 px and more to either side).
  std::vector<std::pair<float, float>> at;
  const std::regex place("translate\\(([-0-9.]+),([-0-9.]+)\\)");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), place); it != std::sregex_iterator();
       ++it)
    at.emplace_back(std::stof((*it)[1]), std::stof((*it)[2]));
  ASSERT_EQ(static_cast<int>(at.size()), info_.drawn);
  for (std::size_t a = 0; a < at.size(); ++a)
    for (std::size_t b = a + 1; b < at.size(); ++b)
      EXPECT_TRUE(std::fabs(at[a].first - at[b].first) > 14 ||
                  std::fabs(at[a].second - at[b].second) > 14)
          << a << " " << b;
}

// The end of the barb shaft of a model (page pixels relative to the station).
std::pair<float, float> shaft_tip(const std::string &group) {
  std::smatch m;
  if (!std::regex_search(
          group, m, std::regex("<path class=\"l\" d=\"M[-0-9.]+,[-0-9.]+L([-0-9.]+),([-0-9.]+)")))
    return {NAN, NAN};
  return {std::stof(m[1]), std::stof(m[2])};
}

TEST_F(PrintMapTest, BarbPointsWhereTheWindComesFrom) {
  // At the central meridian north is straight up the page.
  const Domain d = us();
  MAP_domain(&d);
  const struct {
    float dir;
    float x, y;  // tip of the shaft
  } cases[] = {{360, 0, -26}, {90, 26, 0}, {180, 0, 26}, {270, -26, 0}, {45, 18.4f, -18.4f}};
  for (const auto &c : cases) {
    SFC_report r = full_report();
    r.w_dir = c.dir;
    r.w_spd = 10.0f;
    const std::string g = group_of(Map({station("KAAA", 39.0f, -97.0f, 0, r)}), "KAAA");
    const auto [x, y] = shaft_tip(g);
    EXPECT_NEAR(x, c.x, 0.11) << c.dir << " " << g;
    EXPECT_NEAR(y, c.y, 0.11) << c.dir << " " << g;
  }
  // A west wind of 10 knots: the full barb leaves the tip towards the north (the
  // clockwise side) in the northern hemisphere, towards the south in the southern.
  SFC_report r = full_report();
  r.w_dir = 270.0f;
  r.w_spd = 10.0f;
  std::string g = group_of(Map({station("KAAA", 39.0f, -97.0f, 0, r)}), "KAAA");
  EXPECT_NE(g.find("M-4.5,0L-26,0M-26,0L-31,-8.7"), std::string::npos) << g;
  const Domain south = make_domain(DOM_POLAR, -39.0f, 150.0f, 25, 17, 2.3f);
  MAP_domain(&south);
  g = group_of(Map({station("YAAA", -39.0f, 150.0f, 0, r)}), "YAAA");
  EXPECT_NE(g.find("M-4.5,0L-26,0M-26,0L-31,8.7"), std::string::npos) << g;

  // Away from the central meridian north leans: 20 degrees east of it in the "us"
  // polar stereographic projection a north wind points 20 degrees off the vertical.
  MAP_domain(&d);
  r.w_dir = 360.0f;
  g = group_of(Map({station("KAAA", 39.0f, -77.0f, 0, r)}), "KAAA");
  const auto [x, y] = shaft_tip(g);
  EXPECT_NEAR(std::atan2(x, -y) / 0.017453292519943334, -20.0, 0.5) << g;
}

TEST_F(PrintMapTest, PennantsAndCalmAndVariableWinds) {
  const Domain d = us();
  MAP_domain(&d);
  SFC_report r = full_report();
  r.w_dir = 270.0f;
  r.w_spd = 65.0f;  // pennant, full barb, half barb
  std::string g = group_of(Map({station("KAAA", 39.0f, -97.0f, 0, r)}), "KAAA");
  EXPECT_NE(g.find("<path class=\"k\" d=\"M-26,0L-31,-8.7L-21,0Z\"/>"), std::string::npos) << g;
  EXPECT_NE(g.find("M-20,0L-25,-8.7M-16,0L-18.5,-4.3"), std::string::npos) << g;

  r.w_spd = 0.0f;  // calm
  g = group_of(Map({station("KAAA", 39.0f, -97.0f, 0, r)}), "KAAA");
  EXPECT_NE(g.find("<circle class=\"l\" r=\"7.5\"/>"), std::string::npos) << g;
  EXPECT_EQ(g.find("<path class=\"l\""), std::string::npos) << g;

  r.w_dir = 0.0f;  // variable
  r.w_spd = 5.0f;
  g = group_of(Map({station("KAAA", 39.0f, -97.0f, 0, r)}), "KAAA");
  EXPECT_EQ(g.find("<path class=\"l\""), std::string::npos) << g;
  EXPECT_EQ(g.find("r=\"7.5\""), std::string::npos) << g;

  r.w_dir = 90.0f;  // faster than any wind
  r.w_spd = 5000.0f;
  g = group_of(Map({station("KAAA", 39.0f, -97.0f, 0, r)}), "KAAA");
  EXPECT_EQ(g.find("<path class=\"l\""), std::string::npos) << g;
}

// ---- the bad-input list ------------------------------------------------------------------

TEST_F(PrintMapTest, NoStationInsideGivesTheFrameAndANote) {
  const Domain tiny = make_domain(DOM_POLAR, 40.0f, -100.0f, 3, 3, 0.01f);
  MAP_domain(&tiny);
  const std::string svg = Map({station("KDEN", 39.85f, -104.65f, 0, full_report())});
  EXPECT_EQ(info_.stations, 0);
  EXPECT_EQ(count(svg, "class=\"station\""), 0);
  EXPECT_NE(svg.find("<rect class=\"frame\""), std::string::npos);
  EXPECT_NE(svg.find("no station with a report"), std::string::npos);
  EXPECT_NE(warnings_.find("SFC_print_map: No station with a report inside the map\n"),
            std::string::npos);
}

TEST_F(PrintMapTest, DomainWithoutExtent) {
  for (const Domain &bad : {make_domain(DOM_POLAR, 40.0f, -100.0f, 1, 1, 1.0f),
                            make_domain(DOM_POLAR, 40.0f, -100.0f, 25, 17, NAN),
                            make_domain(DOM_GNOMONIC, 40.0f, -100.0f, 25, 17, 1.0f),
                            make_domain(DOM_UNKNOWN, 40.0f, -100.0f, 25, 17, 1.0f)}) {
    MAP_domain(&bad);
    const std::string svg = Map({station("KDEN", 39.85f, -104.65f, 0, full_report())});
    EXPECT_EQ(info_.page.width, 1200);
    EXPECT_GT(info_.page.height, static_cast<int>(SFC_MAP_TITLE));
    EXPECT_EQ(info_.drawn, 0);
    EXPECT_NE(warnings_.find("SFC_print_map: "), std::string::npos) << warnings_;
  }
}

TEST_F(PrintMapTest, DomainAcrossTheDateLine) {
  const Domain d = make_domain(DOM_MERCATOR, 52.0f, 180.0f, 25, 17, 1.5f);
  MAP_domain(&d);
  const std::string svg = Map({station("PAAA", 52.0f, 179.0f, 0, full_report()),
                               station("PBBB", 52.0f, -179.0f, 0, full_report())});
  EXPECT_EQ(info_.drawn, 2);
  float west = NAN, east = NAN;
  std::smatch m;
  std::string g = group_of(svg, "PAAA");
  if (std::regex_search(g, m, std::regex("translate\\(([-0-9.]+),"))) west = std::stof(m[1]);
  g = group_of(svg, "PBBB");
  if (std::regex_search(g, m, std::regex("translate\\(([-0-9.]+),"))) east = std::stof(m[1]);
  // Two degrees apart: 2 degrees of the earth's radius in map units, at 1200 pixels
  // for 24 spacings of 1.5 units.
  EXPECT_NEAR(east - west, 2 * 63.7122 * 0.017453292519943334 * 1200 / 36, 0.2);
  EXPECT_LT(west, 600.0f);
  EXPECT_GT(east, 600.0f);
}

TEST_F(PrintMapTest, DomainAroundThePole) {
  const Domain d = make_domain(DOM_POLAR, 90.0f, 0.0f, 25, 25, 1.0f);
  MAP_domain(&d);
  SFC_report r = full_report();
  r.w_dir = 180.0f;
  const std::string svg =
      Map({station("NPOL", 90.0f, 0.0f, 0, r), station("NEAR", 88.0f, 120.0f, 1, r)});
  EXPECT_EQ(info_.drawn, 2);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
}

TEST_F(PrintMapTest, FittedDomainWithoutADomain) {
  MAP_domain(nullptr);
  std::string svg = Map({station("KDEN", 39.85f, -104.65f, 0, full_report()),
                         station("KCOS", 38.82f, -104.7f, 0, full_report()),
                         station("KGJT", 39.12f, -108.53f, 0, full_report())});
  EXPECT_TRUE(info_.fitted);
  EXPECT_EQ(info_.stations, 3);
  EXPECT_EQ(info_.drawn, 3);
  EXPECT_EQ(MAP_get_proj(), DOM_NONE);  // the caller's (missing) domain is back

  // One station; stations spread over the globe; none at all.
  Map({station("KDEN", 39.85f, -104.65f, 0, full_report())});
  EXPECT_EQ(info_.drawn, 1);
  Map({station("KDEN", 39.85f, -104.65f, 0, full_report()),
       station("FACT", -33.97f, 18.6f, 0, full_report())});
  EXPECT_EQ(info_.drawn, 2);
  EXPECT_EQ(info_.page.width, 1200);
  EXPECT_EQ(info_.page.height, 624);  // the globe, 360 by 180 degrees
  svg = Map({station("BAD1", 95.0f, 0.0f, 0, full_report()),
             station("BAD2", NAN, 0.0f, 0, full_report())});
  EXPECT_EQ(info_.stations, 0);
  EXPECT_EQ(MAP_get_proj(), DOM_NONE);
}

TEST_F(PrintMapTest, PrintedThroughTheMessageLevel) {
  const Domain d = us();
  MAP_domain(&d);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  SFC_print_map(M_PRINT & M_SUB_A, {station("KDEN", 39.85f, -104.65f, 0, full_report())}, "t");
  const std::string out = testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(xml_check::Check(out), "");
  EXPECT_NE(out.find("data-id=\"KDEN\""), std::string::npos);
  MESS_set(MESS_USER_SET, 0);
  testing::internal::CaptureStdout();
  SFC_print_map(M_PRINT & M_SUB_A, {}, "t");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(XmlCheck, FindsFaults) {
  EXPECT_EQ(xml_check::Check("<?xml version=\"1.0\"?>\n<a b=\"1\"><c/>t &amp; &#60;</a>\n"), "");
  // clang-format off
  const char *bad[] = {
      "",         "<a>",           "<a></b>",         "<a b=1/>",           "<a b=\"<\"/>",
      "<a>&x;</a>", "<a/><b/>",     "<a b=\"1\" b=\"2\"/>", "text<a/>",        "<a>&amp</a>",
      "<a>\x01</a>", "<a><!-- -- --></a>", "<a b=\"1\"c=\"2\"/>", "<a>]]></a>",
  };
  // clang-format on
  for (const char *doc : bad) EXPECT_NE(xml_check::Check(doc), "") << doc;
}

}  // namespace
