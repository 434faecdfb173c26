// Map projections: each code's transform by the properties a map of it must have
// (true scale on the standard latitudes, the clamps, the hidden far side), the limits
// and the grid domain, the cached factors, the accessors, and points that must not
// turn into "nan" or "inf".
#include <cmath>
#include <limits>
#include <string>

#include "calc/calc.h"
#include "geo/geo_testing.h"
#include "geo_fixture.h"

namespace {

using geo_test::GeoTest;
constexpr double kDeg = 0.017453292519943334;
constexpr float R = MAP_EARTH_RAD;

class Map : public GeoTest {
 protected:
  // Decodes and makes the domain current.
  Domain Use(const char *str) {
    Domain d;
    EXPECT_GT(Decode(str, d), 0) << str;
    EXPECT_EQ(MAP_domain(&d), 0);
    return d;
  }
  struct Pt {
    int seen;
    float x, y;
  };
  static Pt Tran(float lat, float lon) {
    Pt p{};
    p.seen = MAP_tran(lat, lon, &p.x, &p.y);
    return p;
  }
  static void ExpectHidden(float lat, float lon, const std::string &what) {
    Pt p = Tran(lat, lon);
    EXPECT_EQ(p.seen, 0) << what;
    EXPECT_EQ(p.x, -9999.0f) << what;
    EXPECT_EQ(p.y, -9999.0f) << what;
  }
  // Map length of 0.1 degrees of longitude at `lat`, over its length on the sphere.
  static double ScaleAlongParallel(float lat, float lon) {
    Pt a = Tran(lat, lon), b = Tran(lat, lon + 0.1f);
    double map = std::hypot(b.x - a.x, b.y - a.y);
    return map / (R * std::cos(lat * kDeg) * 0.1 * kDeg);
  }
};

TEST_F(Map, NoDomainPassesPointsThrough) {
  Pt p = Tran(40, -100);
  EXPECT_EQ(p.seen, 1);
  EXPECT_EQ(p.x, 40);
  EXPECT_EQ(p.y, -100);
  EXPECT_EQ(MAP_in_grid_domain(1e9f, -1e9f), 1);
  EXPECT_EQ(MAP_in_domain(1e9f, -1e9f), 1);
  EXPECT_EQ(MAP_get_proj(), DOM_NONE);
}

TEST_F(Map, NullDomainUnsetsTheProjection) {
  Use("us");
  EXPECT_EQ(MAP_domain(nullptr), -1);
  EXPECT_EQ(MAP_get_proj(), DOM_NONE);
  EXPECT_EQ(Tran(1, 2).x, 1);
}

TEST_F(Map, UsLimitsAroundTheCentre) {
  Use("us");
  MAP_limits L;
  ASSERT_EQ(MAP_get_limits(&L), 0);
  EXPECT_NEAR(L.x_max - L.x_min, 55.2f, 1e-4);  // 24 x 2.3
  EXPECT_NEAR(L.y_max - L.y_min, 36.8f, 1e-4);  // 16 x 2.3
  float x, y;
  ASSERT_EQ(MAP_tran_center(&x, &y), 1);
  EXPECT_NEAR(x, (L.x_min + L.x_max) / 2, 1e-4);
  EXPECT_NEAR(y, (L.y_min + L.y_max) / 2, 1e-4);
  EXPECT_NEAR(x, 0, 1e-5);  // plon = clon: the centre lies on the y axis
  EXPECT_LT(y, 0);          // below the pole
  EXPECT_EQ(MAP_get_limits(nullptr), -1);
}

TEST_F(Map, GridDomainIsWidenedByThreeSpacings) {
  Use("us");
  MAP_limits L;
  MAP_get_limits(&L);
  float mid_y = (L.y_min + L.y_max) / 2;
  EXPECT_EQ(MAP_in_domain(L.x_max, mid_y), 1);
  EXPECT_EQ(MAP_in_domain(L.x_max + 0.1f, mid_y), 0);
  EXPECT_EQ(MAP_in_grid_domain(L.x_max + 0.1f, mid_y), 1);
  EXPECT_EQ(MAP_in_grid_domain(L.x_max + 3 * 2.3f - 0.01f, mid_y), 1);
  EXPECT_EQ(MAP_in_grid_domain(L.x_max + 3 * 2.3f + 0.01f, mid_y), 0);
  EXPECT_EQ(MAP_in_grid_domain(0, L.y_min - 3 * 2.3f + 0.01f), 1);
  EXPECT_EQ(MAP_in_grid_domain(0, L.y_min - 3 * 2.3f - 0.01f), 0);
}

// ---- polar stereographic -----------------------------------------------------------------

TEST_F(Map, PolarStereographicNorth) {
  Use("ps,60,-100");
  Pt pole = Tran(90, 0);
  EXPECT_NEAR(pole.x, 0, 1e-5);
  EXPECT_NEAR(pole.y, 0, 1e-5);
  Pt south = Tran(40, -100);  // on the reference meridian, below the pole
  EXPECT_NEAR(south.x, 0, 1e-5);
  EXPECT_LT(south.y, 0);
  Pt east = Tran(40, -10);  // 90 degrees east of it: on the x axis
  EXPECT_NEAR(east.x, -south.y, 1e-4);
  EXPECT_NEAR(east.y, 0, 1e-4);
  EXPECT_NEAR(ScaleAlongParallel(60, -100), 1.0, 1e-3);  // true at 60
  EXPECT_GT(ScaleAlongParallel(30, -100), 1.05);
  // The far hemisphere stops at 75 degrees south.
  Pt at75 = Tran(-75, 20), beyond = Tran(-89, 20);
  EXPECT_EQ(beyond.seen, 1);
  EXPECT_EQ(beyond.x, at75.x);
  EXPECT_EQ(beyond.y, at75.y);
  EXPECT_EQ(Tran(-90, 20).y, at75.y);
  EXPECT_NE(Tran(-74, 20).y, at75.y);
}

TEST_F(Map, PolarStereographicSouthAndTrueLatitude) {
  Use("ps,-70,140");  // a negative reference latitude: the south pole is the centre
  Pt pole = Tran(-90, 0);
  EXPECT_NEAR(pole.x, 0, 1e-5);
  EXPECT_NEAR(pole.y, 0, 1e-5);
  EXPECT_NEAR(ScaleAlongParallel(-60, 140), 1.0, 1e-3);
  EXPECT_EQ(Tran(89, 0).y, Tran(75, 0).y);  // clamp toward the north pole
  Pt north_of_pole = Tran(-80, 140);        // on the reference meridian
  EXPECT_NEAR(north_of_pole.x, 0, 1e-5);
  EXPECT_GT(north_of_pole.y, 0);
  Use("ps:90:-100:45,45,-100");  // a true latitude of 45
  EXPECT_NEAR(ScaleAlongParallel(45, -100), 1.0, 1e-3);
}

// ---- Mercator, latitude-longitude --------------------------------------------------------------

TEST_F(Map, Mercator) {
  Use("me,0,-100");
  EXPECT_NEAR(ScaleAlongParallel(0, -100), 1.0, 1e-3);
  EXPECT_NEAR(Tran(0, -100).y, 0, 1e-5);
  EXPECT_EQ(Tran(89.95f, 0).y, Tran(89.9f, 0).y);
  EXPECT_EQ(Tran(-90, 0).y, Tran(-89.9f, 0).y);
  EXPECT_NEAR(Tran(10, 90).x, R * -170 * kDeg, 1e-4);  // 190 east is 170 west
  EXPECT_NEAR(Tran(10, 70).x, R * 170 * kDeg, 1e-4);
  EXPECT_NEAR(Tran(45, -100).y, R * std::log(std::tan((45 + 22.5) * kDeg)), 1e-4);
}

TEST_F(Map, LatitudeLongitude) {
  Use("ll,0,170");
  Pt p = Tran(-33, -170);
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, -33);
  EXPECT_EQ(Tran(10, 160).x, -10);
  EXPECT_EQ(Tran(10, 170 + 3600).x, 0);  // longitudes any number of turns away
}

// ---- Lambert conformal ---------------------------------------------------------------------

TEST_F(Map, LambertTrueOnBothStandardLatitudes) {
  Use("lc:40:-100:30:60,40,-100,1");
  EXPECT_NEAR(ScaleAlongParallel(30, -100), 1.0, 1e-3);
  EXPECT_NEAR(ScaleAlongParallel(60, -100), 1.0, 1e-3);
  EXPECT_LT(ScaleAlongParallel(45, -100), 0.99);
  Pt apex = Tran(90, 0);
  EXPECT_NEAR(apex.x, 0, 1e-4);
  EXPECT_NEAR(apex.y, 0, 1e-4);
  EXPECT_NEAR(Tran(40, -100).x, 0, 1e-5);
  EXPECT_EQ(Tran(-89.5f, -100).y, Tran(-89, -100).y);  // far pole limited to 89
  EXPECT_NE(Tran(-88, -100).y, Tran(-89, -100).y);
}

TEST_F(Map, LambertSouthMirrorsTheNorth) {
  Use("lc,-40,140");  // standard latitudes 30 and 60 of the southern hemisphere
  Pt s = Tran(-50, 150);
  Use("lc,40,140");
  Pt n = Tran(50, 150);
  EXPECT_NEAR(s.x, n.x, 1e-4);
  EXPECT_NEAR(s.y, -n.y, 1e-4);
}

TEST_F(Map, LambertWithOneStandardLatitudeIsTangent) {
  // Only one standard latitude given: the cone touches there (not a second latitude
  // of -9999 degrees).
  Use("lc:40:-100:33,40,-100");
  Pt one = Tran(50, -80);
  EXPECT_NEAR(ScaleAlongParallel(33, -100), 1.0, 1e-3);
  Use("lc:40:-100:33:33,40,-100");
  Pt two = Tran(50, -80);
  EXPECT_EQ(one.x, two.x);
  EXPECT_EQ(one.y, two.y);
}

// ---- views with a hidden side ------------------------------------------------------------------

TEST_F(Map, OrthographicHidesTheFarSide) {
  Use("or,40,-100");
  Pt c = Tran(40, -100);
  EXPECT_NEAR(c.x, 0, 1e-5);
  EXPECT_NEAR(c.y, 0, 1e-5);
  Pt limb = Tran(-49.9f, -100);  // almost 90 degrees away: on the circle of radius R
  EXPECT_EQ(limb.seen, 1);
  EXPECT_NEAR(std::hypot(limb.x, limb.y), R, 1e-3);
  ExpectHidden(-40, 80, "antipode");
  ExpectHidden(0, 20, "far side");
  EXPECT_EQ(Tran(0, -20).seen, 1);
}

TEST_F(Map, SatelliteView) {
  Use("sat,0,-75");
  Pt sub = Tran(0, -75);
  EXPECT_NEAR(sub.x, 0, 1e-5);
  EXPECT_NEAR(sub.y, 0, 1e-5);
  double horizon = std::acos(R / MAP_SAT_RAD) / kDeg;  // about 81.3 degrees
  EXPECT_EQ(Tran(0, -75 + static_cast<float>(horizon) - 0.5f).seen, 1);
  ExpectHidden(0, -75 + static_cast<float>(horizon) + 0.5f, "beyond the horizon");
  ExpectHidden(0, 105, "far side");
  Pt east = Tran(0, -45);
  EXPECT_GT(east.x, 0);
  EXPECT_NEAR(east.y, 0, 1e-5);
  // Scan angles: the arc tangent of the plain coordinates.
  Use("sat:0:-75:421.61:1,0,-75");
  Pt angle = Tran(0, -45);
  EXPECT_NEAR(angle.x, MAP_SAT_RAD * std::atan(east.x / MAP_SAT_RAD), 1e-4);
  // An ellipsoidal earth moves points off the equator a little.
  Use("sat,0,-75");
  Pt sphere = Tran(45, -75);
  Use("sat:e:0:-75,0,-75");
  Pt ellipse = Tran(45, -75);
  EXPECT_NE(sphere.y, ellipse.y);
  EXPECT_NEAR(sphere.y, ellipse.y, 0.5);
}

TEST_F(Map, SatelliteInsideTheEarthSeesNothing) {
  for (const char *s : {"sat:0:-75:0,0,-75", "sat:0:-75:-400,0,-75", "sat:0:-75:10,0,-75"}) {
    Use(s);
    for (float lon : {-75.0f, -45.0f, 105.0f}) ExpectHidden(0, lon, s);
  }
}

TEST_F(Map, AzimuthalHidesOnlyTheAntipode) {
  Use("la,0,0");
  ExpectHidden(0, 180, "antipode");
  ExpectHidden(0, -180, "antipode");
  Pt quarter = Tran(0, 90);  // 90 degrees away: radius R times the square root of 2
  EXPECT_NEAR(std::hypot(quarter.x, quarter.y), R * std::sqrt(2.0), 1e-3);
  Pt near = Tran(0, 179);
  EXPECT_EQ(near.seen, 1);
  // 2 R sin(179 / 2 degrees), within what 32-bit arithmetic gives this close to the antipode
  EXPECT_NEAR(std::hypot(near.x, near.y), 2 * R * std::sin(89.5 * kDeg), 0.02);
  Use("la,90,0");
  ExpectHidden(-90, 45, "south pole of a north polar view");
  EXPECT_EQ(Tran(-89, 45).seen, 1);
}

TEST_F(Map, Mollweide) {
  Use("mo,0,0");
  Pt n = Tran(90, 50), s = Tran(-90, 50);
  EXPECT_EQ(n.x, 0);
  EXPECT_NEAR(n.y, R, 1e-4);
  EXPECT_NEAR(s.y, -R, 1e-4);
  EXPECT_EQ(Tran(89.995f, 120).x, 0);
  EXPECT_NEAR(Tran(0, 180).x, 2 * R, 1e-4);
  EXPECT_NEAR(Tran(0, 90).x, R, 1e-4);
  float last = -2 * R;
  for (float lat = -89.5f; lat <= 89.5f; lat += 1.0f) {  // y rises with the latitude
    Pt p = Tran(lat, 10);
    ASSERT_EQ(p.seen, 1);
    EXPECT_GT(p.y, last) << lat;
    last = p.y;
  }
}

// ---- codes without a transform ---------------------------------------------------------

TEST_F(Map, CodesWithoutATransformHideEveryPoint) {
  // Gnomonic, a region that was not found, zoom and size: hidden, not whatever the
  // caller's variables held.
  for (const char *s : {"gn,40,-100", "zz", "zoom,40,-100", "size,640,480"}) {
    Use(s);
    ExpectHidden(40, -100, s);
    ExpectHidden(0, 0, s);
  }
}

TEST_F(Map, ADomainWhoseCentreIsHiddenHasItsLimitsAtTheMissingPoint) {
  // The limits of such a domain surround (-9999, -9999), where every hidden point
  // lands: callers must drop points that MAP_tran cannot see.
  Use("or:0:0,0,180");
  float x, y;
  EXPECT_EQ(MAP_tran_center(&x, &y), 0);
  EXPECT_EQ(x, -9999.0f);
  EXPECT_EQ(MAP_in_grid_domain(-9999, -9999), 1);
}

// ---- cached factors and accessors --------------------------------------------------------

TEST_F(Map, FactorsAreComputedAgainForEveryDomain) {
  Use("ps,60,-100");
  Pt north = Tran(-60, 0);
  Use("ps,-60,-100");
  Pt pole = Tran(-90, 0);
  EXPECT_NEAR(pole.x, 0, 1e-5);  // not the north domain's factors
  EXPECT_NEAR(pole.y, 0, 1e-5);
  Use("ps,60,-100");
  EXPECT_EQ(Tran(-60, 0).y, north.y);
}

TEST_F(Map, ProjAndCoordInvalidateTheFactors) {
  Use("lc:40:-100:30:60,40,-100,1");
  Pt fresh = Tran(50, -80);
  MAP_proj(DOM_POLAR);
  EXPECT_EQ(MAP_get_proj(), DOM_POLAR);
  Tran(50, -80);  // the polar factor now cached
  MAP_proj(DOM_LAMBERT);
  Pt again = Tran(50, -80);  // computed again, not the polar factor
  EXPECT_EQ(again.x, fresh.x);
  EXPECT_EQ(again.y, fresh.y);
  MAP_coord(40, -80);  // a new central meridian
  EXPECT_NEAR(Tran(50, -80).x, 0, 1e-5);
}

TEST_F(Map, GetDomainFillsTheReferencePoint) {
  Use("mw");
  Domain d;
  ASSERT_EQ(MAP_get_domain(&d), 0);
  EXPECT_FLOAT_EQ(d.plat, 43);
  EXPECT_FLOAT_EQ(d.plon, -93);
  EXPECT_FLOAT_EQ(MAP_get_clat(), 43);
  EXPECT_FLOAT_EQ(MAP_get_clon(), -93);
  EXPECT_EQ(MAP_get_proj(), DOM_POLAR);
  EXPECT_EQ(MAP_get_domain(nullptr), -1);
  // Saved and restored.
  Use("ne");
  MAP_domain(&d);
  EXPECT_FLOAT_EQ(MAP_get_clat(), 43);
}

// ---- points that are no points ------------------------------------------------------------

TEST_F(Map, BadLatitudesAndLongitudesAreHiddenNeverNan) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const char *s : {"ps,40,-100", "ll,0,0", "me,0,0", "lc,40,-100", "or,40,-100", "mo,0,0",
                        "la,40,-100", "sat,0,-75"}) {
    Use(s);
    for (float lat : {nan, inf, -inf, 90.5f, -91.0f, 999.0f, -9999.0f}) ExpectHidden(lat, 0, s);
    for (float lon : {nan, inf, -inf}) ExpectHidden(40, lon, s);
    // Longitudes far out come back into range (no endless loop), the same point.
    Pt a = Tran(40, -100), b = Tran(40, -100 + 360 * 1000);
    EXPECT_EQ(a.seen, b.seen) << s;
    EXPECT_NEAR(a.x, b.x, 1e-3) << s;
    Pt huge = Tran(40, 1e30f);
    EXPECT_TRUE(huge.seen == 0 || (std::isfinite(huge.x) && std::isfinite(huge.y))) << s;
  }
}

TEST_F(Map, DegenerateLambertLatitudesAreHiddenNotNan) {
  for (const char *s :
       {"lc:40:-100:90:60,40,-100", "lc:40:-100:30:-30,40,-100", "lc:40:-100:0:0,40,-100"}) {
    Use(s);
    Pt p = Tran(45, -90);
    EXPECT_TRUE(p.seen == 0 || (std::isfinite(p.x) && std::isfinite(p.y))) << s;
    if (p.seen == 0) {
      EXPECT_EQ(p.x, -9999.0f);
    }
  }
}

// ---- diagrams and plain coordinates ---------------------------------------------------------

TEST_F(Map, PixelAndLinearCoordinates) {
  Use("pix,0,0");
  Pt p = Tran(12, 34);
  EXPECT_EQ(p.x, 12);
  EXPECT_EQ(p.y, -34);
  Use("xy,0,0,10,10,5,2");  // A (0, 0), B (10, 10); factors nx/dx and ny/dy
  p = Tran(3, 1);
  EXPECT_FLOAT_EQ(p.x, 6);
  EXPECT_FLOAT_EQ(p.y, 5);
  MAP_limits L;
  MAP_get_limits(&L);
  EXPECT_EQ(L.x_max, 10);
  Use("xp,0,0,10,10,5,2");  // y runs the other way
  p = Tran(3, 1);
  EXPECT_FLOAT_EQ(p.y, -5);
}

TEST_F(Map, LogarithmicAndPolarDiagrams) {
  Use("xlogp,0,1000");
  Pt p = Tran(5, 500);
  EXPECT_EQ(p.x, 5);
  EXPECT_NEAR(p.y, -std::log(500.0), 1e-5);
  ExpectHidden(5, 0, "pressure 0");
  ExpectHidden(5, -10, "negative pressure");
  Use("hodo,0,0");
  p = Tran(90, 10);  // direction 90, radius 10
  EXPECT_NEAR(p.x, 10, 1e-5);
  EXPECT_NEAR(p.y, 0, 1e-5);
  Use("stuve,0,1000");
  EXPECT_NEAR(Tran(0, 500).y, -std::pow(500.0, 0.285714), 1e-3);
  Use("rteph,0,1000");
  EXPECT_NEAR(Tran(20, 850).y, std::log(pot_temp(293.15f, 850)), 1e-5);
  ExpectHidden(-9999, 850, "missing temperature");
}

TEST_F(Map, SkewTAndTephigramNeedTheirViewport) {
  MAP_limits view{0, 100, 0, 80};
  ASSERT_EQ(MAP_set_view(&view), 0);
  Use("skewt,-40,1050,25,17,80,-950");
  Pt p = Tran(0, 500);
  EXPECT_EQ(p.seen, 1);
  EXPECT_TRUE(std::isfinite(p.x));
  Use("teph,-40,1050,25,17,80,-950");
  p = Tran(0, 500);
  EXPECT_EQ(p.seen, 1);
  EXPECT_TRUE(std::isfinite(p.y));
  EXPECT_EQ(MAP_set_view(nullptr), -1);
  MAP_reset_state();
  Use("skewt,-40,1050,25,17,80,-950");  // no viewport: nothing to scale by
  ExpectHidden(0, 500, "no viewport");
}

}  // namespace
