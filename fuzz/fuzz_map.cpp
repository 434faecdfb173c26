// Fuzzes the projections: a domain of any values made current, then points projected
// into it. A point is either seen, with finite coordinates, or hidden, with both at
// -9999.
// Input layout: one byte picking the projection code (the known codes, or the next
// four bytes as any code), eleven floats (plat, plon, param[0..4], clat, clon, dx, dy),
// two 32-bit integers (nx, ny), one byte for the ellipsoid, four floats of the
// viewport, then pairs of floats (latitude, longitude) to project. A point's pair
// whose latitude is exactly 1e9 switches MAP_proj to the code in its longitude, one
// of 2e9 sets the reference point with MAP_coord.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "byte_reader.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "geo/map.h"

namespace {

constexpr int kCodes[] = {DOM_NONE,      DOM_UNKNOWN, DOM_POLAR,    DOM_LATLON,    DOM_MERCATOR,
                          DOM_LAMBERT,   DOM_ORTHO,   DOM_GNOMONIC, DOM_MOLLWEIDE, DOM_AZIMUTHAL,
                          DOM_SATELLITE, DOM_XY,      DOM_XLOGY,    DOM_HODO,      DOM_CAT,
                          DOM_XP,        DOM_SKEWT,   DOM_STUVE,    DOM_EMA,       DOM_TEPH,
                          DOM_RTEPH,     DOM_ZOOM,    DOM_SIZE,     DOM_PIXEL};
constexpr size_t kNumCodes = sizeof kCodes / sizeof kCodes[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  ByteReader in{data, size};
  MAP_reset_state();
  Domain d;
  uint8_t pick = in.take<uint8_t>();
  d.proj = pick % (kNumCodes + 1) < kNumCodes ? kCodes[pick % (kNumCodes + 1)] : in.take<int32_t>();
  d.plat = in.take<float>();
  d.plon = in.take<float>();
  for (float &p : d.param) p = in.take<float>();
  d.clat = in.take<float>();
  d.clon = in.take<float>();
  d.dx = in.take<float>();
  d.dy = in.take<float>();
  d.nx = in.take<int32_t>();
  d.ny = in.take<int32_t>();
  d.ellipse = in.take<uint8_t>() & 1;
  MAP_limits view;
  view.x_min = in.take<float>();
  view.x_max = in.take<float>();
  view.y_min = in.take<float>();
  view.y_max = in.take<float>();
  MAP_set_view(&view);
  MAP_domain(&d);
  MAP_limits lim;
  MAP_get_limits(&lim);
  while (in.left >= 8) {
    float lat = in.take<float>(), lon = in.take<float>();
    if (lat == 1e9f) {
      MAP_proj(std::isfinite(lon) && std::fabs(lon) < 1e6f ? static_cast<int>(lon) : DOM_POLAR);
      continue;
    }
    if (lat == 2e9f) {
      MAP_coord(lon, lon);
      continue;
    }
    float x = 0, y = 0;
    int seen = MAP_tran(lat, lon, &x, &y);
    if (seen && MAP_get_proj() != DOM_NONE && !(std::isfinite(x) && std::isfinite(y)))
      __builtin_trap();
    if (!seen && (x != -9999.0f || y != -9999.0f)) __builtin_trap();
    MAP_in_grid_domain(x, y);
    MAP_in_domain(x, y);
  }
  float cx, cy;
  MAP_tran_center(&cx, &cy);
  return 0;
}
