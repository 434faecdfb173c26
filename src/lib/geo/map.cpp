// Map projections of the current domain.
#include "geo/geo_testing.h"
#include "geo/map.h"

#include <algorithm>
#include <cmath>

#include "calc/calc.h"

namespace {

constexpr double DEG = 0.017453292519943334;  // degrees to radians
constexpr double PI = 3.1415926535898;
constexpr float MISSING = -9999.0f;
constexpr float POLAR_CLAMP = 75.0f;      // polar stereographic: farthest latitude shown
constexpr float MERCATOR_CLAMP = 89.9f;   // Mercator: latitude limit
constexpr float LAMBERT_CLAMP = 89.0f;    // Lambert conformal: latitude limit of the far pole
constexpr float MOLLWEIDE_POLE = 89.99f;  // Mollweide: x is 0 beyond this latitude
constexpr int MOLLWEIDE_STEPS = 15;
constexpr double MOLLWEIDE_TOL = 1e-10;

// Module state: the current domain and the factors cached for it.
struct MapState {
  Domain domain;      // proj -9999: no projection
  MAP_limits limits;  // map rectangle of the domain
  MAP_limits view;    // device viewport of the thermodynamic diagrams
  float sat_rad = MAP_SAT_RAD;
  float sat_rad2 = MAP_SAT_RAD * MAP_SAT_RAD;
  float sat_rad4 = sat_rad2 * sat_rad2;
  float sat2_earth2 = sat_rad2 - MAP_EARTH_MAJ * MAP_EARTH_MAJ;
  float tlat1 = 30.0f, tlat2 = 60.0f;  // true or standard latitudes
  float xfactor = MISSING;             // -9999: computed again at the next use
  float yfactor = MISSING;
  float mult = MISSING;
  float scale = MISSING;
  float sat_ratio = MISSING;  // -9999: computed again at the next satellite use
  float earth_ratio = MISSING;
  float earth_ratio2 = (MAP_EARTH_MIN * MAP_EARTH_MIN) / (MAP_EARTH_MAJ * MAP_EARTH_MAJ);
};
MapState g_map;

// Longitude into [-180, 180].
float wrap_lon(float lon) {
  if (std::fabs(lon) > 540.0f) lon = std::fmod(lon, 360.0f);
  while (lon > 180.0f) lon -= 360.0f;
  while (lon < -180.0f) lon += 360.0f;
  return lon;
}

// One correction by a full turn into [-half, half].
float once(float v, float half) {
  if (v > half) return v - 2.0f * half;
  if (v < -half) return v + 2.0f * half;
  return v;
}

bool is_geographic(int proj) { return proj >= DOM_POLAR && proj <= DOM_SATELLITE; }

// ---- geographic projections: false when the point cannot be seen -----------------------

bool polar(float lat, float dlon, float &x, float &y) {
  MapState &m = g_map;
  if (m.xfactor == MISSING) {
    m.scale = m.domain.plat >= 0.0f ? -1.0f : 1.0f;
    m.xfactor = static_cast<float>((1.0 - m.scale * std::sin(m.tlat1 * DEG)) * MAP_EARTH_RAD);
  }
  float s = m.scale;
  if (s * lat > POLAR_CLAMP) lat = POLAR_CLAMP * s;
  float rho = static_cast<float>(std::tan(DEG * (90.0f + s * lat) / 2.0) * m.xfactor);
  x = static_cast<float>(std::sin(dlon * DEG) * rho);
  y = static_cast<float>(s * rho * std::cos(dlon * DEG));
  return true;
}

bool mercator(float lat, float dlon, float &x, float &y) {
  const float R = MAP_EARTH_RAD;
  x = once(static_cast<float>(R * dlon * DEG), static_cast<float>(180.0 * R * DEG));
  lat = std::clamp(lat, -MERCATOR_CLAMP, MERCATOR_CLAMP);
  y = static_cast<float>(-R * std::log(std::tan((45.0f - lat / 2.0f) * DEG)));
  return true;
}

bool lambert(float lat, float dlon, float &x, float &y) {
  MapState &m = g_map;
  if (m.xfactor == MISSING) {
    m.scale = m.domain.plat >= 0.0f ? 1.0f : -1.0f;
    double t1 = m.tlat1, t2 = m.tlat2, n;
    if (m.tlat1 != m.tlat2)
      n = (std::log(std::cos(t1 * DEG)) - std::log(std::cos(t2 * DEG))) /
          (std::log(std::tan((45.0 - t1 / 2.0) * DEG)) -
           std::log(std::tan((45.0 - t2 / 2.0) * DEG)));
    else
      n = std::cos((90.0 - m.scale * t1) * DEG);
    m.xfactor = static_cast<float>(n);
    m.mult = static_cast<float>(std::cos(t1 * DEG) /
                                (std::pow(std::tan((45.0 - t1 / 2.0) * DEG), n) * n));
  }
  float s = m.scale;
  double n = m.xfactor;
  if (m.domain.plat >= 0.0f)
    lat = std::max(lat, -LAMBERT_CLAMP);
  else
    lat = std::min(lat, LAMBERT_CLAMP);
  dlon = once(dlon, 180.0f);
  float rho = static_cast<float>(m.mult * MAP_EARTH_RAD *
                                 std::pow(std::tan((45.0f - s * lat / 2.0f) * DEG), n));
  x = static_cast<float>(std::sin(n * dlon * DEG) * rho);
  y = static_cast<float>(-s * rho * std::cos(n * dlon * DEG));
  return true;
}

bool orthographic(float lat, float dlon, float &x, float &y) {
  MapState &m = g_map;
  if (m.xfactor == MISSING) {
    if (m.domain.plat == MISSING) m.domain.plat = 0.0f;
    m.xfactor = static_cast<float>(std::cos(m.domain.plat * DEG));
    m.yfactor = static_cast<float>(std::sin(m.domain.plat * DEG));
  }
  double phi = lat * DEG;
  double cl = std::cos(dlon * DEG);
  if (std::sin(phi) * m.yfactor + std::cos(phi) * cl * m.xfactor < 0.0) return false;
  x = static_cast<float>(MAP_EARTH_RAD * std::cos(phi) * std::sin(dlon * DEG));
  y = static_cast<float>(MAP_EARTH_RAD *
                         (std::sin(phi) * m.xfactor - std::cos(phi) * m.yfactor * cl));
  return true;
}

bool mollweide(float lat, float dlon, float &x, float &y) {
  const float R = MAP_EARTH_RAD;
  double phi = lat * DEG;
  double theta = phi;
  if (std::fabs(lat) >= 90.0f) {
    theta = lat > 0.0f ? PI : -PI;  // the pole itself: Newton's steps divide by zero there
  } else {
    for (int i = 0; i < MOLLWEIDE_STEPS; ++i) {
      double denom = std::cos(theta) + 1.0;
      if (denom <= 0.0) break;
      double d = -(std::sin(theta) + theta - PI * std::sin(phi)) / denom;
      theta += d;
      if (std::fabs(d) < MOLLWEIDE_TOL) break;
    }
  }
  dlon = once(dlon, 180.0f);
  x = static_cast<float>((dlon * R / 90.0f) * std::cos(theta / 2.0));
  if (std::fabs(lat) > MOLLWEIDE_POLE) x = 0.0f;
  y = static_cast<float>(R * std::sin(theta / 2.0));
  return true;
}

bool azimuthal(float lat, float dlon, float &x, float &y) {
  MapState &m = g_map;
  const float R = MAP_EARTH_RAD;
  double phi = lat * DEG, phi0 = m.domain.plat * DEG;
  float c = static_cast<float>(std::sin(phi0) * std::sin(phi) +
                               std::cos(phi0) * std::cos(phi) * std::cos(dlon * DEG));
  if (c + 1.0f <= 0.0f) return false;  // the antipode
  float k = static_cast<float>(std::sqrt(2.0 / (c + 1.0)));
  m.mult = k * R;
  x = static_cast<float>(R * k * std::cos(phi) * std::sin(dlon * DEG));
  y = static_cast<float>(m.mult * (std::sin(phi) * std::cos(phi0) -
                                   std::cos(phi) * std::sin(phi0) * std::cos(dlon * DEG)));
  return true;
}

bool satellite(float lat, float dlon, float &x, float &y) {
  MapState &m = g_map;
  const float R = MAP_EARTH_RAD;
  if (m.sat_ratio == MISSING) {
    m.sat_ratio = m.sat_rad / R;
    m.earth_ratio = R / m.sat_rad;
  }
  double phi = lat * DEG;
  if (m.domain.ellipse == 1) phi = std::atan(std::tan(phi) * m.earth_ratio2);
  double cphi = std::cos(phi), cl = std::cos(dlon * DEG), sl = std::sin(dlon * DEG);
  if (m.earth_ratio > cphi * cl) return false;
  double r = R;
  if (m.domain.ellipse == 1)
    r = MAP_EARTH_MIN / std::sqrt(1.0 - (1.0 - m.earth_ratio2) * cphi * cphi);
  double e = m.sat_rad - r * cphi * cl;
  double h = std::sqrt(r * r * sl * sl * cphi * cphi + e * e);
  m.xfactor = static_cast<float>(h);
  if (e <= 0.0 || h <= 0.0) return false;  // a satellite inside the earth sees nothing
  double px = r * sl * cphi / e;
  double py = r * std::sin(phi) / h;
  if (m.domain.param[1] == 1.0f) {
    px = std::atan(px);
    py = std::atan(py);
  }
  x = static_cast<float>(px * m.sat_rad);
  y = static_cast<float>(py * m.sat_rad);
  return true;
}

bool geographic(float lat, float lon, float &x, float &y) {
  if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90.0f) return false;
  float dlon = wrap_lon(lon) - g_map.domain.plon;
  switch (g_map.domain.proj) {
    case DOM_POLAR: return polar(lat, dlon, x, y);
    case DOM_LATLON:
      x = once(dlon, 180.0f);
      y = lat;
      return true;
    case DOM_MERCATOR: return mercator(lat, dlon, x, y);
    case DOM_LAMBERT: return lambert(lat, dlon, x, y);
    case DOM_ORTHO: return orthographic(lat, dlon, x, y);
    case DOM_MOLLWEIDE: return mollweide(lat, dlon, x, y);
    case DOM_AZIMUTHAL: return azimuthal(lat, dlon, x, y);
    case DOM_SATELLITE: return satellite(lat, dlon, x, y);
    default: return false;  // gnomonic: no transform
  }
}

// ---- diagrams and other coordinates ----------------------------------------------------

float kelvin_or_missing(float celsius) { return celsius == MISSING ? MISSING : celsius + 273.15f; }

bool tephigram(float lat, float lon, float &x, float &y) {
  MapState &m = g_map;
  const MAP_limits &L = m.limits, &V = m.view;
  if (m.xfactor == 0.0f) {
    x = lat;
    y = std::log(lon);
    return true;
  }
  if (m.xfactor == MISSING) {
    m.xfactor = (V.x_max - V.x_min) / (L.x_max - L.x_min);
    m.yfactor = (V.y_max - V.y_min) / (L.y_max - L.y_min);
  }
  float b = std::log(pot_temp(kelvin_or_missing(lat), lon));
  float X = m.xfactor * (lat - L.x_min) + V.x_min;
  float Y = m.yfactor * (b - L.y_min) + V.y_min;
  float c = 0.5f * (Y - V.y_min) + 0.5f * (V.x_min + X);
  X = c;
  Y = Y - (c - V.x_min);
  x = L.x_min + (X - V.x_min) / m.xfactor;
  y = L.y_min + (Y - V.y_min) / m.yfactor;
  return true;
}

bool diagram(float lat, float lon, float &x, float &y) {
  MapState &m = g_map;
  const MAP_limits &L = m.limits, &V = m.view;
  switch (m.domain.proj) {
    case DOM_PIXEL:
      x = lat;
      y = -lon;
      return true;
    case DOM_XY:
    case DOM_CAT:
      x = L.x_min + (lat - L.x_min) * m.xfactor;
      y = L.y_min + (lon - L.y_min) * m.yfactor;
      return true;
    case DOM_XP:
      x = L.x_min + (lat - L.x_min) * m.xfactor;
      y = L.y_min + (L.y_min - lon) * m.yfactor;
      return true;
    case DOM_XLOGY:
    case DOM_EMA:
      x = lat;
      y = -std::log(lon);
      return true;
    case DOM_HODO:
      x = static_cast<float>(lon * std::sin(lat * DEG));
      y = static_cast<float>(lon * std::cos(lat * DEG));
      return true;
    case DOM_SKEWT:
      y = -std::log(lon);
      if (m.xfactor == MISSING) {
        m.scale = L.y_min;
        m.xfactor =
            (L.x_max - L.x_min) * ((V.y_max - V.y_min) / (V.x_max - V.x_min)) / (L.y_max - m.scale);
      }
      x = lat + m.xfactor * (y - m.scale);
      return true;
    case DOM_STUVE:
      x = lat;
      y = -std::pow(lon, 0.285714f);
      return true;
    case DOM_TEPH: return tephigram(lat, lon, x, y);
    case DOM_RTEPH:
      x = lat;
      y = std::log(pot_temp(kelvin_or_missing(lat), lon));
      return true;
    default: return false;  // a region that was not found, zoom, size: no transform
  }
}

void invalidate() {
  g_map.xfactor = MISSING;
  g_map.sat_ratio = MISSING;
}

}  // namespace

int MAP_domain(const Domain *dom) {
  MapState &m = g_map;
  if (!dom) {
    m.domain.proj = DOM_NONE;
    return -1;
  }
  m.domain = *dom;
  Domain &d = m.domain;
  if (d.plat == MISSING) d.plat = d.clat;
  if (d.plon == MISSING) d.plon = d.clon;
  if (d.proj == DOM_POLAR) {
    m.tlat1 = d.plat < 0.0f ? -60.0f : 60.0f;
    if (d.param[0] != MISSING) m.tlat1 = d.param[0];
  } else if (d.proj == DOM_LAMBERT) {
    m.tlat1 = 30.0f;
    m.tlat2 = 60.0f;
    if (d.param[0] != MISSING) {
      m.tlat1 = d.param[0];
      // One standard latitude: the cone touches the earth there.
      m.tlat2 = d.param[1] != MISSING ? d.param[1] : d.param[0];
    }
  } else if (d.proj == DOM_SATELLITE) {
    m.sat_rad = d.param[0] != MISSING ? d.param[0] : MAP_SAT_RAD;
    m.sat_rad2 = m.sat_rad * m.sat_rad;
    m.sat_rad4 = m.sat_rad2 * m.sat_rad2;
    m.sat2_earth2 = m.sat_rad2 - MAP_EARTH_MAJ * MAP_EARTH_MAJ;
  }
  invalidate();
  m.earth_ratio2 = (MAP_EARTH_MIN * MAP_EARTH_MIN) / (MAP_EARTH_MAJ * MAP_EARTH_MAJ);
  MAP_set_limits();
  return 0;
}

int MAP_set_limits() {
  MapState &m = g_map;
  const Domain &d = m.domain;
  if (is_geographic(d.proj)) {
    float xc, yc;
    MAP_tran(d.clat, d.clon, &xc, &yc);
    float hx = d.dx * (static_cast<float>(d.nx) - 1.0f) / 2.0f;
    float hy = d.dy * (static_cast<float>(d.ny) - 1.0f) / 2.0f;
    m.limits = {xc - hx, xc + hx, yc - hy, yc + hy};
    return 0;
  }
  float ax = 0, ay = 0, bx = 0, by = 0, unused = 0;
  switch (d.proj) {
    case DOM_SKEWT:
    case DOM_TEPH:
    case DOM_RTEPH:
      m.xfactor = m.yfactor = 0.0f;
      MAP_tran(d.clat, d.clon, &ax, &ay);
      MAP_tran(d.clat + d.dx, d.clon, &bx, &unused);
      MAP_tran(d.clat, d.clon + d.dy, &unused, &by);
      m.xfactor = MISSING;
      break;
    case DOM_HODO:
      ax = d.clat, ay = d.clon;
      bx = d.clat + d.dx, by = d.clon + d.dy;
      break;
    case DOM_XY:
    case DOM_CAT:
    case DOM_XP: {
      float sign = d.proj == DOM_XP ? -1.0f : 1.0f;
      ax = d.clat, ay = sign * d.clon;
      bx = d.clat + static_cast<float>(d.nx), by = sign * d.clon + static_cast<float>(d.ny);
      m.xfactor = static_cast<float>(d.nx) / d.dx;
      m.yfactor = static_cast<float>(d.ny) / d.dy;
      break;
    }
    default:
      MAP_tran(d.clat, d.clon, &ax, &ay);
      MAP_tran(d.clat + d.dx, d.clon + d.dy, &bx, &by);
      break;
  }
  m.limits = {std::min(ax, bx), std::max(ax, bx), std::min(ay, by), std::max(ay, by)};
  return 0;
}

int MAP_tran(float lat, float lon, float *x, float *y) {
  float xs, ys;
  if (!x) x = &xs;
  if (!y) y = &ys;
  int proj = g_map.domain.proj;
  if (proj == DOM_NONE) {
    *x = lat;
    *y = lon;
    return 1;
  }
  float px = MISSING, py = MISSING;
  bool seen = is_geographic(proj) ? geographic(lat, lon, px, py) : diagram(lat, lon, px, py);
  if (!seen || !std::isfinite(px) || !std::isfinite(py)) {
    *x = *y = MISSING;
    return 0;
  }
  *x = px;
  *y = py;
  return 1;
}

int MAP_tran_center(float *x, float *y) {
  return MAP_tran(g_map.domain.clat, g_map.domain.clon, x, y);
}

int MAP_in_grid_domain(float x, float y) {
  const MapState &m = g_map;
  if (m.domain.proj == DOM_NONE) return 1;
  const MAP_limits &L = m.limits;
  float mx = MAP_GRID_MARGIN * m.domain.dx, my = MAP_GRID_MARGIN * m.domain.dy;
  return x >= L.x_min - mx && x <= L.x_max + mx && y >= L.y_min - my && y <= L.y_max + my ? 1 : 0;
}

int MAP_in_domain(float x, float y) {
  const MapState &m = g_map;
  if (m.domain.proj == DOM_NONE) return 1;
  const MAP_limits &L = m.limits;
  return x >= L.x_min && x <= L.x_max && y >= L.y_min && y <= L.y_max ? 1 : 0;
}

int MAP_get_domain(Domain *dom) {
  if (!dom) return -1;
  *dom = g_map.domain;
  return 0;
}

int MAP_proj(int proj) {
  g_map.domain.proj = proj;
  invalidate();
  return 0;
}

int MAP_coord(float plat, float plon) {
  g_map.domain.plat = plat;
  g_map.domain.plon = plon;
  invalidate();
  return 0;
}

float MAP_get_clat() { return g_map.domain.clat; }
float MAP_get_clon() { return g_map.domain.clon; }
int MAP_get_proj() { return g_map.domain.proj; }

int MAP_get_limits(MAP_limits *lim) {
  if (!lim) return -1;
  *lim = g_map.limits;
  return 0;
}

int MAP_set_view(const MAP_limits *view) {
  if (!view) return -1;
  g_map.view = *view;
  g_map.xfactor = MISSING;  // the diagrams' factors depend on the viewport
  return 0;
}

void MAP_reset_state() { g_map = MapState{}; }
