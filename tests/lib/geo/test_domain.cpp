// Domain strings: projection names, every template with its completion, the colon
// pieces of a projection, the item rules of DOM_set_params, station locations, the
// base priority, flag 5 and key "r", and the resource conversions of domains.
#include <cmath>
#include <string>

#include "geo/geo_testing.h"
#include "geo_fixture.h"
#include "resources/resources_testing.h"

namespace {

using geo_test::GeoTest;
constexpr float M = -9999.0f;

// ---- projection names --------------------------------------------------------------

struct NameCase {
  const char *name;
  int code;
};

// clang-format off
const NameCase kNames[] = {
    {"ll", DOM_LATLON},      {"lat", DOM_LATLON},       {"latlon", DOM_LATLON},    {"LL", DOM_LATLON},
    {"polar", DOM_POLAR},    {"polarst", DOM_POLAR},    {"ps", DOM_POLAR},         {"PS", DOM_POLAR},
    {"sat", DOM_SATELLITE},  {"satellite", DOM_SATELLITE}, {"lamb", DOM_LAMBERT},  {"lambert", DOM_LAMBERT},
    {"lc", DOM_LAMBERT},     {"lcc", DOM_LAMBERT},      {"la", DOM_AZIMUTHAL},     {"laea", DOM_AZIMUTHAL},
    {"lazim", DOM_AZIMUTHAL}, {"gn", DOM_GNOMONIC},     {"gnom", DOM_GNOMONIC},    {"or", DOM_ORTHO},
    {"ortho", DOM_ORTHO},    {"mo", DOM_MOLLWEIDE},     {"moll", DOM_MOLLWEIDE},   {"me", DOM_MERCATOR},
    {"merc", DOM_MERCATOR},  {"pix", DOM_PIXEL},        {"pixel", DOM_PIXEL},      {"xy", DOM_XY},
    {"xlogy", DOM_XLOGY},    {"xlogp", DOM_XLOGY},      {"cat", DOM_CAT},          {"skewt", DOM_SKEWT},
    {"ema", DOM_EMA},        {"teph", DOM_TEPH},        {"rteph", DOM_RTEPH},      {"therm", DOM_SKEWT},
    {"stuve", DOM_STUVE},    {"hodo", DOM_HODO},        {"vert", DOM_XLOGY},       {"xp", DOM_XP},
    {"XP", DOM_XP},          {"xpx", DOM_UNKNOWN},      {"zoom", DOM_ZOOM},        {"size", DOM_SIZE},
    {"miss", DOM_NONE},      {"MISS", DOM_NONE},        {"missing", DOM_UNKNOWN},  {"p", DOM_UNKNOWN},
    {"l", DOM_UNKNOWN},      {"", DOM_UNKNOWN},         {"40", DOM_UNKNOWN},       {"ps:-100", DOM_POLAR},
    {"lc:40:-100:30:60", DOM_LAMBERT},
};
// clang-format on

TEST(DomProjStr, EveryNameOfTheTable) {
  for (const NameCase &c : kNames) EXPECT_EQ(DOM_proj_str(c.name), c.code) << c.name;
  EXPECT_EQ(DOM_proj_str(nullptr), DOM_UNKNOWN);
}

// ---- templates -----------------------------------------------------------------------

struct TemplateCase {
  const char *str;
  int result;
  const char *trace;  // the template's message
  Domain want;
};

Domain D(int proj, float plat, float plon, float clat, float clon, float dx, float dy, int nx,
         int ny) {
  Domain d;
  d.proj = proj;
  d.plat = plat;
  d.plon = plon;
  d.clat = clat;
  d.clon = clon;
  d.dx = dx;
  d.dy = dy;
  d.nx = nx;
  d.ny = ny;
  return d;
}

Domain WithParams(Domain d, float p0, float p1) {
  d.param[0] = p0;
  d.param[1] = p1;
  return d;
}

// clang-format off
const TemplateCase kTemplates[] = {
    // a..n in the order they are tried
    {"ps,-105,40,-100,30,20,1.5,1.0", 1, " 0 proj,plon,clat,clon,nx,ny,dx,dy\n",
     D(DOM_POLAR, M, -105, 40, -100, 1.5f, 1.0f, 30, 20)},
    {"lc,40,-100,30,20,1.5,1.0", 1, " 0 proj,clat,clon,nx,ny,dx,dy\n", D(DOM_LAMBERT, M, M, 40, -100, 1.5f, 1.0f, 30, 20)},
    {"me,-90,20,-80,0.5,0.4", 1, " 0 proj,plon,clat,clon,dx,dy\n", D(DOM_MERCATOR, M, -90, 20, -80, 0.5f, 0.4f, 25, 17)},
    // six items with a projection are read as c whenever c can take them ...
    {"or,40,50,30,20,1.5", 1, " 0 proj,plon,clat,clon,dx,dy\n", D(DOM_ORTHO, M, 40, 50, 30, 20, 1.5f, 25, 17)},
    // ... and as d when c's third item is no latitude, or is a station
    {"or,40,-100,30,20,1.5", 1, " 0 proj,clat,clon,nx,ny,dx\n", D(DOM_ORTHO, M, M, 40, -100, 1.5f, 1.5f, 30, 20)},
    {"or,id:KDEN,30,20,1.5", 1, " 0 proj,clat,clon,nx,ny,dx\n",
     D(DOM_ORTHO, M, M, 39.85f, -104.65f, 1.5f, 1.5f, 30, 20)},
    {"40,-100,30,20,1.5,1.0", 1, " 0 clat,clon,nx,ny,dx,dy\n", D(DOM_POLAR, M, M, 40, -100, 1.5f, 1.0f, 30, 20)},
    {"mo,40,-100,1.5,1.0", 1, " 0 proj,clat,clon,dx,dy\n", D(DOM_MOLLWEIDE, M, M, 40, -100, 1.5f, 1.0f, 25, 17)},
    {"40,-100,30,20,1.5", 1, " 0 clat,clon,nx,ny,dx\n", D(DOM_POLAR, M, M, 40, -100, 1.5f, 1.5f, 30, 20)},
    {"lc:40:-100:30:60,40,-100,1", 1, " 0 proj,clat,clon,dx\n",
     WithParams(D(DOM_LAMBERT, 40, -100, 40, -100, 1, 1, 25, 17), 30, 60)},
    {"40,-100,30,20", 1, " 0 clat,clon,nx,ny\n", D(DOM_POLAR, M, M, 40, -100, 1.2f, 1.2f, 30, 20)},
    {"40,-100,1.5", 1, " 0 clat,clon,dx\n", D(DOM_POLAR, M, M, 40, -100, 1.5f, 1.5f, 25, 17)},
    {"ps,40,-100", 1, " 0 proj,clat,clon\n", D(DOM_POLAR, M, M, 40, -100, 1.2f, 1.2f, 25, 17)},
    {"zoom,40,-100", 1, " 0 proj,clat,clon\n", D(DOM_ZOOM, M, M, 40, -100, 1, 1, 25, 17)},
    {"40,-100", 1, " 0 clat,clon\n", D(DOM_POLAR, M, M, 40, -100, 1.2f, 1.2f, 25, 17)},
    // a station centre: the pre-pass turns l's pair into one station item
    {"id:KLAF", 1, " 0 clat,clon\n", D(DOM_POLAR, M, M, 40.41f, -86.93f, 1.2f, 1.2f, 25, 17)},
    {"ps,id:KMSN", 1, " 0 proj,clat,clon\n", D(DOM_POLAR, M, M, 43.13f, -89.33f, 1.2f, 1.2f, 25, 17)},
    {"id:KDEN,30,20,1.5,1", 1, " 0 clat,clon,nx,ny,dx,dy\n", D(DOM_POLAR, M, M, 39.85f, -104.65f, 1.5f, 1, 30, 20)},
    {"us", 2, " 0 reg:REG\n", D(DOM_POLAR, M, -97, 39, -97, 2.3f, 2.3f, 25, 17)},
    // the size template
    {"size,640,480", 1, " 0 proj,nx,ny\n", D(DOM_SIZE, M, M, M, M, M, M, 640, 480)},
};
// clang-format on

void ExpectDomain(const Domain &got, const Domain &want, const std::string &what) {
  EXPECT_EQ(got.proj, want.proj) << what;
  EXPECT_FLOAT_EQ(got.plat, want.plat) << what;
  EXPECT_FLOAT_EQ(got.plon, want.plon) << what;
  for (int i = 0; i < 5; ++i)
    EXPECT_FLOAT_EQ(got.param[i], want.param[i]) << what << " param " << i;
  EXPECT_FLOAT_EQ(got.clat, want.clat) << what;
  EXPECT_FLOAT_EQ(got.clon, want.clon) << what;
  EXPECT_FLOAT_EQ(got.dx, want.dx) << what;
  EXPECT_FLOAT_EQ(got.dy, want.dy) << what;
  EXPECT_EQ(got.nx, want.nx) << what;
  EXPECT_EQ(got.ny, want.ny) << what;
  EXPECT_EQ(got.ellipse, want.ellipse) << what;
}

TEST_F(GeoTest, EveryTemplateWithItsCompletionAndMessage) {
  MESS_set(MESS_USER_ADD, M_DEBUG & M_SUB_C);  // the decoder's trace
  for (const TemplateCase &c : kTemplates) {
    Domain d;
    testing::internal::CaptureStdout();
    int r = Decode(c.str, d);
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(r, c.result) << c.str;
    EXPECT_EQ(warnings_, "") << c.str;
    int count = 1;
    for (const char *p = c.str; *p; ++p) count += *p == ',';
    EXPECT_EQ(trace,
              "******** PARSING DOMAIN: " + std::to_string(count) + " " + c.str + "\n" + c.trace)
        << c.str;
    ExpectDomain(d, c.want, c.str);
    EXPECT_EQ(FLAG_get(FLAG_DOMAIN), c.result) << c.str;
    EXPECT_EQ(Key('r'), c.str) << c.str;
  }
}

TEST_F(GeoTest, SizeAlsoComesThroughTemplateKWithoutTheSizeWord) {
  // "size" is only matched over four characters: "sizex" decodes through template k.
  Domain d;
  EXPECT_EQ(Decode("SIZEX,640.7,480.2", d), 1);
  EXPECT_EQ(d.proj, DOM_SIZE);
  EXPECT_EQ(d.nx, 640);
  EXPECT_EQ(d.ny, 480);
  EXPECT_FLOAT_EQ(d.clat, M);
  EXPECT_FLOAT_EQ(d.clon, M);
}

// ---- projection pieces ------------------------------------------------------------------

TEST_F(GeoTest, TwoPiecesGiveTheReferenceLongitude) {
  Domain d;
  ASSERT_EQ(Decode("ps:-100,40,-100", d), 1);
  EXPECT_FLOAT_EQ(d.plon, -100);
  EXPECT_FLOAT_EQ(d.plat, M);
}

TEST_F(GeoTest, EllipsoidPlatPlonAndParameters) {
  Domain d;
  ASSERT_EQ(Decode("sat:e:0:-75:421.61:1,0,-75", d), 1);
  EXPECT_EQ(d.proj, DOM_SATELLITE);
  EXPECT_EQ(d.ellipse, 1);
  EXPECT_FLOAT_EQ(d.plat, 0);
  EXPECT_FLOAT_EQ(d.plon, -75);
  EXPECT_FLOAT_EQ(d.param[0], 421.61f);
  EXPECT_FLOAT_EQ(d.param[1], 1);
  EXPECT_FLOAT_EQ(d.param[2], M);
}

TEST_F(GeoTest, AnEmptyPieceLeavesItsValueMissingButCounts) {
  Domain d;
  ASSERT_EQ(Decode("lc:40:-100::60,40,-100", d), 1);
  EXPECT_FLOAT_EQ(d.plat, 40);
  EXPECT_FLOAT_EQ(d.param[0], M);
  EXPECT_FLOAT_EQ(d.param[1], 60);
  ASSERT_EQ(Decode("lc::-100:30:60,40,-100", d), 1);
  EXPECT_FLOAT_EQ(d.plat, M);
  EXPECT_FLOAT_EQ(d.plon, -100);
  EXPECT_FLOAT_EQ(d.param[0], 30);
  ASSERT_EQ(Decode("lc:40:-100:1:2:3:4,40,-100", d), 1);  // four parameters fit
  EXPECT_FLOAT_EQ(d.param[3], 4);
  EXPECT_FLOAT_EQ(d.param[4], M);
}

// ---- DOM_set_params ------------------------------------------------------------------------

TEST_F(GeoTest, SetParamsCountMismatchLeavesTheDomain) {
  Domain d = D(DOM_MERCATOR, 1, 2, 3, 4, 5, 6, 7, 8);
  const char *p[] = {"40", "-100", "1"};
  EXPECT_EQ(DOM_set_params(3, p, &d, DOM_I_CLAT, DOM_I_CLON), -1);
  EXPECT_EQ(d.proj, DOM_MERCATOR);
  EXPECT_FLOAT_EQ(d.clat, 3);
}

TEST_F(GeoTest, SetParamsReturnsTheFailingItem) {
  Domain d;
  const char *p[] = {"ps", "40", "x"};
  EXPECT_EQ(DOM_set_params(3, p, &d, DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON), DOM_I_CLON);
  const char *q[] = {"nope", "40", "-100"};
  EXPECT_EQ(DOM_set_params(3, q, &d, DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON), DOM_I_PROJ);
  EXPECT_EQ(d.proj, DOM_POLAR);  // an unknown projection name leaves code 1 behind
  const char *r[] = {"40", "-100", "25", "x"};
  EXPECT_EQ(DOM_set_params(4, r, &d, DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY), DOM_I_NY);
  const char *s[] = {"id:NOWHERE"};
  EXPECT_EQ(DOM_set_params(1, s, &d, DOM_I_STATION), DOM_I_STATION);
  const char *t[] = {"KDEN"};
  EXPECT_EQ(DOM_set_params(1, t, &d, DOM_I_STATION), DOM_I_STATION);  // no "id:"
  const char *u[] = {"id:KDEN"};
  EXPECT_EQ(DOM_set_params(1, u, &d, DOM_I_REGION), DOM_I_REGION);
}

// The numbers of a parameter list: blanks around them, a plus sign; nothing else
// after them, and nothing beyond the range of their type.
TEST_F(GeoTest, SetParamsNumbersAndTheirLimits) {
  struct Case {
    const char *clat;
    const char *nx;
    int failing;  // the item that fails, 0 for none
    float lat;
    int n;
  } const cases[] = {
      {" 39.5 ", "\t25", 0, 39.5f, 25},
      {"+39.5", "+25", 0, 39.5f, 25},
      {"-.5", "-0", 0, -0.5f, 0},              // nx 0 is no grid
      {"39.5\r", "25", DOM_I_CLAT, 0, 0},      // other white space after it
      {"1e39", "25", DOM_I_CLAT, 0, 0},        // beyond a float
      {"1e-50", "25", DOM_I_CLAT, 0, 0},       // below the smallest float
      {"39.5", "2147483648", DOM_I_NX, 0, 0},  // beyond an int
      {"39.5", "25x", DOM_I_NX, 0, 0},
      {"+-39.5", "25", DOM_I_CLAT, 0, 0},
      {"nan", "25", DOM_I_CLAT, 0, 0},
  };
  for (const Case &c : cases) {
    Domain d;
    const char *p[] = {c.clat, c.nx};
    const int failing = DOM_set_params(2, p, &d, DOM_I_CLAT, DOM_I_NX);
    if (c.failing == 0 && c.n == 0) {
      EXPECT_EQ(failing, DOM_I_NX) << c.clat << " " << c.nx;
      EXPECT_FLOAT_EQ(d.clat, c.lat) << c.clat;
      continue;
    }
    EXPECT_EQ(failing, c.failing == 0 ? 0 : c.failing) << c.clat << " " << c.nx;
    if (c.failing == 0) {
      EXPECT_FLOAT_EQ(d.clat, c.lat) << c.clat;
      EXPECT_EQ(d.nx, c.n) << c.nx;
    }
  }
}

TEST_F(GeoTest, SetParamsMissOrNoneFirstResetsAndSucceeds) {
  for (const char *first : {"miss", "NONE"}) {
    Domain d = D(DOM_MERCATOR, 1, 2, 3, 4, 5, 6, 7, 8);
    const char *p[] = {first, "x"};
    EXPECT_EQ(DOM_set_params(2, p, &d, DOM_I_CLAT, DOM_I_CLON), 0) << first;
    EXPECT_EQ(d.proj, DOM_NONE);
    EXPECT_FLOAT_EQ(d.clat, M);
  }
}

TEST_F(GeoTest, SetParamsStationSkipsAFollowingClon) {
  // A station item written before a clon takes one parameter for both.
  Domain d;
  const char *p[] = {"id:KDEN", "5"};
  EXPECT_EQ(DOM_set_params(2, p, &d, DOM_I_STATION, DOM_I_CLON), -1);  // one left over
  const char *q[] = {"ps", "id:KDEN"};
  EXPECT_EQ(DOM_set_params(2, q, &d, DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON), 0);
  EXPECT_FLOAT_EQ(d.clat, 39.85f);
  EXPECT_FLOAT_EQ(d.clon, -104.65f);
}

TEST_F(GeoTest, StationOfAnotherFile) {
  Domain d;
  ASSERT_EQ(Decode("id:other.cty:XTST", d), 1);
  EXPECT_EQ(geo_test::g_last_lookup_file, "other.cty");
  EXPECT_FLOAT_EQ(d.clat, 10);
  EXPECT_FLOAT_EQ(d.clon, 20);
  ASSERT_EQ(Decode("ID:kden", d), 1);  // the prefix and the identifier in any case
  EXPECT_EQ(geo_test::g_last_lookup_file, "(default)");
  EXPECT_FLOAT_EQ(d.clat, 39.85f);
}

TEST_F(GeoTest, UnknownStationIsInvalidWithAClearMessage) {
  Domain d;
  EXPECT_EQ(Decode("id:XXXX", d), DOM_RES_INVALID);
  EXPECT_EQ(warnings_, "DOM_decode: Station not found: id:XXXX\nDOM_decode: Invalid plot domain\n");
  EXPECT_EQ(d.proj, DOM_NONE);
  DOM_set_station_lookup(nullptr);  // no database connected: every station is unknown
  EXPECT_EQ(Decode("id:KDEN", d), DOM_RES_INVALID);
  EXPECT_EQ(Decode("id:", d), DOM_RES_INVALID);
}

// ---- results, flag 5, key "r" -------------------------------------------------------------

TEST_F(GeoTest, MissEmptyAndNullAreUnset) {
  for (const char *s : {"miss", "MISS", "", static_cast<const char *>(nullptr)}) {
    Domain d = D(DOM_MERCATOR, 1, 2, 3, 4, 5, 6, 7, 8);
    EXPECT_EQ(Decode(s, d), DOM_RES_UNSET);
    EXPECT_EQ(d.proj, DOM_NONE);
    EXPECT_FLOAT_EQ(d.clat, M);
  }
}

TEST_F(GeoTest, MissOrNoneFirstItemLeavesTheDomainUnset) {
  // A template that takes such a string must not complete it into a polar
  // stereographic domain around a missing centre.
  for (const char *s : {"miss,40", "none,40,-100", "NONE", "none,1,2,3,4,5,6,7,8,9,10"}) {
    Domain d;
    EXPECT_EQ(Decode(s, d), DOM_RES_UNSET) << s;
    EXPECT_EQ(d.proj, DOM_NONE) << s;
    EXPECT_EQ(d.nx, -9999) << s;
    EXPECT_EQ(warnings_, "") << s;
  }
}

TEST_F(GeoTest, InvalidDomainWarnsSetsFlagAndLeavesNoDomain) {
  Domain d;
  // Template a sets the projection before its second item fails.
  EXPECT_EQ(Decode("ps,abc,40,-100,25,17,1,1", d), DOM_RES_INVALID);
  EXPECT_EQ(warnings_, "DOM_decode: Invalid plot domain\n");
  EXPECT_EQ(d.proj, DOM_NONE);
  EXPECT_EQ(FLAG_get(FLAG_DOMAIN), DOM_RES_INVALID);
  EXPECT_EQ(Key('r'), "ps,abc,40,-100,25,17,1,1");
}

TEST_F(GeoTest, KeyRHoldsTheStringWithBlanksAsUnderscores) {
  Domain d;
  ASSERT_EQ(Decode("40, -100", d), 1);  // blanks around numbers are allowed
  EXPECT_FLOAT_EQ(d.clon, -100);
  EXPECT_EQ(Key('r'), "40,_-100");
}

// ---- priority ------------------------------------------------------------------------------

TEST_F(GeoTest, BasePriorityFromTheDomainHeight) {
  struct {
    float size;
    int prior;
  } const kSizes[] = {{50.1f, 1}, {50, 2},   {25.1f, 2}, {25, 3}, {12.6f, 3}, {12.5f, 4}, {6.3f, 4},
                      {6.25f, 5}, {3.1f, 5}, {3, 6},     {0, 6},  {-5, 6},    {NAN, 6}};
  for (const auto &c : kSizes) {
    DOM_set_base_prior(c.size);
    EXPECT_EQ(DOM_get_prior(), c.prior) << c.size;
  }
}

TEST_F(GeoTest, StatPriorAdjustsTheRegionsPriority) {
  struct {
    const char *stat_prior;
    int prior;
  } const kCases[] = {{nullptr, 2}, {"+1", 3}, {"-5", -3}, {"3", 3},
                      {"7x", 7},    {"x", 2},  {"+", 2},   {"", 2}};
  for (const auto &c : kCases) {
    RES_reset_state();
    RES_put("file_path", dir_.c_str());
    if (c.stat_prior) RES_put("stat_prior", c.stat_prior);
    Domain d;
    ASSERT_EQ(Decode("us", d), DOM_RES_REGION);  // height 16 x 2.3 = 36.8
    EXPECT_EQ(DOM_get_prior(), c.prior) << (c.stat_prior ? c.stat_prior : "(unset)");
  }
}

TEST_F(GeoTest, PriorityGettersAndSetters) {
  EXPECT_EQ(DOM_get_prior(), 3);
  EXPECT_EQ(DOM_get_loc_prior(), 4);
  DOM_set_prior(7);
  DOM_set_loc_prior(1);
  EXPECT_EQ(DOM_get_prior(), 7);
  EXPECT_EQ(DOM_get_loc_prior(), 1);
  DOM_reset_state();
  EXPECT_EQ(DOM_get_prior(), 3);
}

// ---- resources ------------------------------------------------------------------------------

TEST_F(GeoTest, RegionAndDomainConversionsDecode) {
  Domain d;
  EXPECT_EQ(RES_conv_data("mw", &d, CV_region), 1);
  EXPECT_EQ(d.proj, DOM_POLAR);
  EXPECT_FLOAT_EQ(d.clat, 43);
  EXPECT_FLOAT_EQ(d.dx, 1.1f);
  EXPECT_EQ(RES_conv_data("lc:40:-100:30:60,40,-100,1", &d, CV_domain), 1);
  EXPECT_EQ(d.proj, DOM_LAMBERT);
  EXPECT_FLOAT_EQ(d.param[1], 60);
  EXPECT_EQ(RES_conv_data(nullptr, &d, CV_domain), 0);
  EXPECT_EQ(RES_conv_data("us", nullptr, CV_region), 0);
}

TEST_F(GeoTest, GetRegionPrefersPlotDomainForFlagsOneThreeFour) {
  Domain d;
  EXPECT_EQ(DOM_get_region(&d, 1), 0);  // nothing set
  EXPECT_EQ(d.proj, DOM_NONE);
  RES_put("region", "ne");
  EXPECT_EQ(DOM_get_region(&d, 1), DOM_RES_REGION);
  EXPECT_FLOAT_EQ(d.clat, 42);
  RES_put("plot_domain", "ps,10,20");
  for (int flag : {1, 3, 4}) {
    EXPECT_EQ(DOM_get_region(&d, flag), 1) << flag;
    EXPECT_FLOAT_EQ(d.clat, 10) << flag;
  }
  EXPECT_EQ(DOM_get_region(&d, 2), DOM_RES_REGION);
  EXPECT_FLOAT_EQ(d.clat, 42);
}

TEST_F(GeoTest, GetRegionFlagFourTakesTheFirstMenuEntry) {
  Write("zyp.reg", "# regions\nhid Hidden 0 10,10\nco Colorado 1 ps,39,-105.5,25,17,0.3,0.3\n");
  Domain d;
  EXPECT_EQ(DOM_get_region(&d, 4), DOM_RES_REGION);
  EXPECT_FLOAT_EQ(d.clat, 39);
  EXPECT_FLOAT_EQ(d.dx, 0.3f);
  EXPECT_EQ(DOM_get_region(&d, 2), 0);  // other flags never read the menu
}

}  // namespace
