// Bad domain strings and awkward points: a clear message or the stated fallback, no
// domain where the string made none, and never a "nan" or "inf" coordinate.
#include <cmath>
#include <string>

#include "geo_fixture.h"

namespace {

using geo_test::GeoTest;

struct BadCase {
  const char *str;
  int result;
  const char *warnings;
};

constexpr const char *kInvalid = "DOM_decode: Invalid plot domain\n";

const BadCase kBad[] = {
    // counts
    {",", DOM_RES_INVALID, kInvalid},
    {",,,", DOM_RES_INVALID, kInvalid},
    {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20", DOM_RES_INVALID, kInvalid},
    {"ps,40,-100,25,17,1,1,1,1", DOM_RES_INVALID, kInvalid},
    // not numbers
    {"ps,abc,def", DOM_RES_INVALID, kInvalid},
    {"40,-100x", DOM_RES_INVALID, kInvalid},
    {"ps,40,--100", DOM_RES_INVALID, kInvalid},
    {"ps,40,+-100", DOM_RES_INVALID, kInvalid},
    {"ps,nan,-100", DOM_RES_INVALID, kInvalid},
    {"NaN,-100", DOM_RES_INVALID, kInvalid},
    {"40,inf", DOM_RES_INVALID, kInvalid},
    {"40,-infinity", DOM_RES_INVALID, kInvalid},
    {"1e39,5", DOM_RES_INVALID, kInvalid},  // beyond a float
    {"1e30,5", DOM_RES_INVALID, kInvalid},  // no latitude
    {"91,5", DOM_RES_INVALID, kInvalid},
    {"40,-100,25.5,17", DOM_RES_INVALID, kInvalid},
    {"40,-100,99999999999,17", DOM_RES_INVALID, kInvalid},
    // grid sizes and spacings
    {"40,-100,0,17", DOM_RES_INVALID, kInvalid},
    {"40,-100,25,-17", DOM_RES_INVALID, kInvalid},
    {"40,-100,0", DOM_RES_INVALID, kInvalid},
    {"40,-100,-1.5", DOM_RES_INVALID, kInvalid},
    {"ps,40,-100,25,17,0,1", DOM_RES_INVALID, kInvalid},
    {"ps,40,-100,25,17,1,0", DOM_RES_INVALID, kInvalid},
    {"ps,40,-100,25,17,nan,1", DOM_RES_INVALID, kInvalid},
    {"xy,0,0,10,10,0,2", DOM_RES_INVALID, kInvalid},
    // projection texts
    {"lc:1:2:3:4:5:6:7:8,40,-100", DOM_RES_INVALID, kInvalid},
    {"lc:40:x,40,-100", DOM_RES_INVALID, kInvalid},
    {"ps:nan,40,-100", DOM_RES_INVALID, kInvalid},
    {"or:100:0,40,-100", DOM_RES_INVALID, kInvalid},
    {"ps:e,40,-100", DOM_RES_INVALID, kInvalid},  // two pieces: the second must be a longitude
    {"nosuch,40,-100", DOM_RES_INVALID, kInvalid},
    // stations and regions
    {"id:NOWHERE", DOM_RES_INVALID,
     "DOM_decode: Station not found: id:NOWHERE\nDOM_decode: Invalid plot domain\n"},
    {"ps,id:NOWHERE", DOM_RES_INVALID,
     "DOM_decode: Station not found: id:NOWHERE\nDOM_decode: Invalid plot domain\n"},
    {"nosuch", DOM_RES_REGION, "DOM_decode: Region not found: nosuch\n"},
    {":", DOM_RES_REGION, "DOM_decode: Region not found: :\n"},
    {"fi:", DOM_RES_REGION, "DOM_decode: Region not found: fi:\n"},
};

TEST_F(GeoTest, BadDomainStrings) {
  for (const BadCase &c : kBad) {
    Domain d;
    EXPECT_EQ(Decode(c.str, d), c.result) << c.str;
    EXPECT_EQ(warnings_, c.warnings) << c.str;
    EXPECT_EQ(FLAG_get(FLAG_DOMAIN), c.result) << c.str;
    if (c.result == DOM_RES_INVALID) {
      EXPECT_EQ(d.proj, DOM_NONE) << c.str;
    } else {
      EXPECT_EQ(d.proj, DOM_UNKNOWN) << c.str;
    }
  }
}

TEST_F(GeoTest, BlanksAroundNumbersAndEmptyProjectionPieces) {
  // What the forgiving cases still accept.
  const char *good[] = {" 40 , -100 ",    "+40,-100",          "ps:,40,-100",
                        "lc::::,40,-100", "lc:::::60,40,-100", "40,-100,2000000000,2000000000",
                        "ps,40,1000",     "ps,-90,0",          "ps,90,0"};
  for (const char *s : good) {
    Domain d;
    EXPECT_EQ(Decode(s, d), DOM_RES_PARAMS) << s;
    EXPECT_EQ(warnings_, "") << s;
  }
}

// ---- awkward points -------------------------------------------------------------------

// clang-format off
const char *const kDomains[] = {
    "us",          "ps,90,0",         "ps,-90,0",           "ps:90:0:90,60,0",    "ll,0,180",
    "me,0,180",    "me,90,0",         "lc,90,-100",         "lc,-90,-100",        "lc:40:-100:30:60,40,-100,1",
    "lc,0,0",      "or,90,0",         "or,0,180",           "or,-90,0",           "gn,40,-100",
    "mo,0,180",    "mo,90,0",         "la,0,180",           "la,-90,0",           "la,40,-100",
    "sat,0,-75",   "sat:e:0:-75,0,-75", "sat:0:0:421.61:1,0,0", "pix,0,0",       "zz",
    "xlogp,0,1000", "hodo,0,0",       "size,640,480",       "zoom,40,-100",       "ps,40,-100,2000000000,1,1e30,1",
};

const float kPoints[][2] = {
    {90, 0},    {-90, 0},     {90, 180},   {-90, -180}, {0, 180},    {0, -180},    {45, 180},
    {-45, -180}, {0, 0},      {89.999f, 179.999f}, {-89.999f, -179.999f}, {-40, 80}, {40, -100},
    {0, 360},   {0, -540},    {1e-30f, 1e-30f},    {0, 1e20f},  {-9999, -9999},
};
// clang-format on

TEST_F(GeoTest, PolesDateLineAndAntipodesNeverGiveNan) {
  for (const char *s : kDomains) {
    Domain d;
    Decode(s, d);
    MAP_domain(&d);
    MAP_limits L;
    MAP_get_limits(&L);
    for (float v : {L.x_min, L.x_max, L.y_min, L.y_max}) EXPECT_FALSE(std::isnan(v)) << s;
    float cx, cy;
    MAP_tran_center(&cx, &cy);
    for (const auto &p : kPoints) {
      float x = 12345, y = 12345;
      int seen = MAP_tran(p[0], p[1], &x, &y);
      std::string where =
          std::string(s) + " at " + std::to_string(p[0]) + "," + std::to_string(p[1]);
      if (seen) {
        EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << where;
      } else {
        EXPECT_EQ(x, -9999.0f) << where;
        EXPECT_EQ(y, -9999.0f) << where;
      }
      MAP_in_grid_domain(x, y);
    }
  }
}

}  // namespace
