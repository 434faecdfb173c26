// Map projections: the current map domain of the process and the conversion of
// latitude and longitude into its map coordinates.
//
// Coordinates are in map units of 100 km for the geographic projections (codes 1 to
// 9, on a sphere of radius 63.7122 units), in the diagram's own units for the others.
// Factors of the current projection are cached and computed again at the first
// MAP_tran after MAP_domain, MAP_proj or MAP_coord.
#pragma once

#include "geo/geo.h"

/// A rectangle of map (or device) coordinates.
struct MAP_limits {
  float x_min = -9999.0f, x_max = -9999.0f;
  float y_min = -9999.0f, y_max = -9999.0f;
};

/// Mean radius, map units.
constexpr float MAP_EARTH_RAD = 63.7122f;
/// Equatorial semi-axis.
constexpr float MAP_EARTH_MAJ = 63.781368f;
/// Polar semi-axis.
constexpr float MAP_EARTH_MIN = 63.56752f;
/// Default satellite distance from the centre.
constexpr float MAP_SAT_RAD = 421.61f;
/// Grid spacings added around the grid domain.
constexpr float MAP_GRID_MARGIN = 3.0f;

/// Makes `dom` current (a missing plat/plon becomes clat/clon) and computes its limits.
/// With a null pointer the projection becomes -9999 and the result is -1; else 0.
int MAP_domain(const Domain *dom);
/// Recomputes the limits of the current domain. Returns 0.
int MAP_set_limits();
/// Projects one point: 1 with *x, *y set; 0 with both -9999 when the point cannot be
/// seen (far side of the orthographic and satellite views, antipode of the azimuthal
/// projection, a latitude outside -90..90 or a value that is no number, a projection
/// without a transform). With no projection current, x = lat and y = lon.
int MAP_tran(float lat, float lon, float *x, float *y);
/// Projects the centre of the current domain (as MAP_tran).
int MAP_tran_center(float *x, float *y);
/// 1 when the point lies in the limits widened by three grid spacings on every side,
/// or when no projection is current; else 0.
int MAP_in_grid_domain(float x, float y);
/// 1 when the point lies in the limits, or when no projection is current; else 0.
int MAP_in_domain(float x, float y);

/// Copies the current domain into `dom`. Returns 0 (-1 for a null pointer).
int MAP_get_domain(Domain *dom);
/// Sets the projection code of the current domain. Returns 0.
int MAP_proj(int proj);
/// Sets the reference point of the current domain. Returns 0.
int MAP_coord(float plat, float plon);
/// Centre latitude of the current domain.
float MAP_get_clat();
/// Centre longitude of the current domain.
float MAP_get_clon();
/// Projection code of the current domain (-9999: none).
int MAP_get_proj();
/// Copies the limits of the current domain into `lim`. Returns 0 (-1 for a null pointer).
int MAP_get_limits(MAP_limits *lim);
/// Sets the plotting viewport of the thermodynamic diagrams. Returns 0 (-1 for null).
int MAP_set_view(const MAP_limits *view);
