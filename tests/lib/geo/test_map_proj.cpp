// The projections against an independent implementation: PROJ on the same sphere
// (radius 6371.22 km), its metres turned into map units of 100 km, over a grid of
// points away from the clamps, to within 1e-3 map units.
#include <proj.h>

#include <cmath>
#include <string>

#include "geo_fixture.h"

namespace {

using geo_test::GeoTest;

constexpr double kUnit = 1e5;  // metres per map unit
constexpr double kTolerance = 1e-3;

struct ProjCase {
  const char *domain;      // our domain string
  const char *definition;  // the same projection for PROJ
  float lat_min, lat_max;  // latitudes of the grid (every 5 degrees)
  double scale;            // our coordinates times this are PROJ's
};

#define SPHERE " +R=6371220"

const ProjCase kCases[] = {
    {"ps,60,-100", "+proj=stere +lat_0=90 +lat_ts=60 +lon_0=-100" SPHERE, -70, 85, 1},
    {"ps:90:-100:45,45,-100", "+proj=stere +lat_0=90 +lat_ts=45 +lon_0=-100" SPHERE, -70, 85, 1},
    {"ps,-70,140", "+proj=stere +lat_0=-90 +lat_ts=-60 +lon_0=140" SPHERE, -85, 70, 1},
    {"lc:40:-100:30:60,40,-100,1", "+proj=lcc +lat_1=30 +lat_2=60 +lat_0=90 +lon_0=-100" SPHERE,
     -80, 85, 1},
    {"lc:50:10:35:65,50,10,2", "+proj=lcc +lat_1=35 +lat_2=65 +lat_0=90 +lon_0=10" SPHERE, -80, 85,
     1},
    {"lc:40:-100:33,40,-100", "+proj=lcc +lat_1=33 +lat_0=90 +lon_0=-100" SPHERE, -80, 85, 1},
    // Southern hemisphere: the standard latitudes 30 and 60 mirrored.
    {"lc,-40,140", "+proj=lcc +lat_1=-30 +lat_2=-60 +lat_0=-90 +lon_0=140" SPHERE, -85, 80, 1},
    {"me,0,-100", "+proj=merc +lon_0=-100" SPHERE, -85, 85, 1},
    {"or,40,-100", "+proj=ortho +lat_0=40 +lon_0=-100" SPHERE, -85, 85, 1},
    {"or,-30,20", "+proj=ortho +lat_0=-30 +lon_0=20" SPHERE, -85, 85, 1},
    {"la,40,-100", "+proj=laea +lat_0=40 +lon_0=-100" SPHERE, -85, 85, 1},
    {"la,90,0", "+proj=laea +lat_0=90 +lon_0=0" SPHERE, -80, 85, 1},
    // Our Mollweide is drawn at 1/sqrt(2) of the equal-area size: its ellipse is 4 R by
    // 2 R (x = 2 R at 180 degrees on the equator, y = R at the poles).
    {"mo,0,-100", "+proj=moll +lon_0=-100" SPHERE, -85, 85, std::sqrt(2.0)},
};

// Angle between two points on the sphere, degrees.
double arc(double lat1, double lon1, double lat2, double lon2) {
  const double d = M_PI / 180;
  double c = std::sin(lat1 * d) * std::sin(lat2 * d) +
             std::cos(lat1 * d) * std::cos(lat2 * d) * std::cos((lon2 - lon1) * d);
  return std::acos(std::fmax(-1.0, std::fmin(1.0, c))) / d;
}

class MapProj : public GeoTest {
 protected:
  void SetUp() override {
    GeoTest::SetUp();
    ctx_ = proj_context_create();
  }
  void TearDown() override {
    proj_context_destroy(ctx_);
    GeoTest::TearDown();
  }
  PJ_CONTEXT *ctx_ = nullptr;
};

TEST_F(MapProj, AgreesWithProjOverAGridOfPoints) {
  for (const ProjCase &c : kCases) {
    Domain d;
    ASSERT_GT(Decode(c.domain, d), 0) << c.domain;
    ASSERT_EQ(MAP_domain(&d), 0);
    Domain cur;
    MAP_get_domain(&cur);
    // A bare projection: longitude and latitude in radians in, metres out.
    PJ *op = proj_create(ctx_, c.definition);
    ASSERT_NE(op, nullptr) << c.definition;
    int compared = 0, hidden = 0;
    double worst = 0;
    for (float lat = c.lat_min; lat <= c.lat_max; lat += 5) {
      for (float lon = -175; lon <= 175; lon += 10) {
        double from_centre = arc(cur.plat, cur.plon, lat, lon);
        float x, y;
        int seen = MAP_tran(lat, lon, &x, &y);
        proj_errno_reset(op);
        PJ_COORD p = proj_trans(op, PJ_FWD, proj_coord(proj_torad(lon), proj_torad(lat), 0, 0));
        bool proj_seen = std::isfinite(p.xy.x) && std::isfinite(p.xy.y) && p.xy.x != HUGE_VAL;
        std::string where =
            std::string(c.domain) + " at " + std::to_string(lat) + "," + std::to_string(lon);
        if (d.proj == DOM_ORTHO) {
          if (std::fabs(from_centre - 90) < 0.01) continue;  // the limb itself
          EXPECT_EQ(seen == 1, from_centre < 90) << where;
          EXPECT_EQ(proj_seen, from_centre < 90) << where;
        }
        if (d.proj == DOM_AZIMUTHAL && from_centre > 175) continue;  // the antipode's neighbourhood
        if (!seen || !proj_seen) {
          ++hidden;
          continue;
        }
        double px = p.xy.x / kUnit, py = p.xy.y / kUnit;
        double err = std::hypot(x * c.scale - px, y * c.scale - py);
        worst = std::fmax(worst, err);
        EXPECT_LT(err, kTolerance) << where << ": ours " << x << "," << y << " PROJ "
                                   << px / c.scale << "," << py / c.scale;
        ++compared;
      }
    }
    EXPECT_GT(compared, 300) << c.domain;
    if (d.proj != DOM_ORTHO) {
      EXPECT_EQ(hidden, 0) << c.domain;
    }
    RecordProperty(std::string("worst ") + c.domain, std::to_string(worst));
    proj_destroy(op);
  }
}

}  // namespace
