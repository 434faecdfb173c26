// Projection without a current domain: points keep their latitude and longitude and
// every point is inside.
#include "geo/map.h"

int MAP_tran(float lat, float lon, float *x, float *y) {
  if (x) *x = lat;
  if (y) *y = lon;
  return 1;
}

int MAP_in_grid_domain(float, float) { return 1; }
