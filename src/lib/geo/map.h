// Map projections: the current map domain and the projection of points into it.
#pragma once

/// Projects (lat, lon) into map coordinates of the current domain; returns 1, or 0 with -9999 coordinates for a hidden point.
int MAP_tran(float lat, float lon, float *x, float *y);
/// 1 when the map point lies in the current domain (widened by three grid spacings) or no domain is current, else 0.
int MAP_in_grid_domain(float x, float y);
