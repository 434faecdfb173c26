// Lines under a map of the current domain: shorelines, country and state borders
// from the binned shoreline and border database, and the graticule.
//
// The database is a set of netCDF files (Debian package "gmt-gshhg-low", directory
// MAP_SHORE_DIR, or the directory the environment variable "zypshore" names), one
// file of shorelines and one of borders for each of three resolutions: crude 'c'
// (bins of 20 degrees), low 'l' (10 degrees) and intermediate 'i' (5 degrees). Each
// file cuts the lines into bins of latitude and longitude; a bin lists its segments,
// a segment its points, and a point is stored as two unsigned 16-bit fractions of
// the bin's size east and north of the bin's south-west corner. Bins are numbered
// from the north-west: row 0 is the band south of 90 N, column 0 starts at 0 E.
//
// A file is read whole (its bins, segments and points) at its first use and kept
// for the run; every map then takes the bins that reach its domain, projects their
// points with MAP_tran and clips the lines to the domain's limits. A missing
// directory or file, or a file whose arrays do not fit together, gives one warning
// per run and the map is drawn without its lines.
#pragma once

#include <vector>

#include "geo/map.h"

/// Kinds of map lines.
enum MAP_line_kind : int {
  MAP_LINE_COAST = 0,    // shoreline between land and sea (Antarctic ice front too)
  MAP_LINE_LAKE = 1,     // shoreline of a lake
  MAP_LINE_COUNTRY = 2,  // border between countries
  MAP_LINE_STATE = 3,    // border between states or provinces
  MAP_LINE_KINDS = 4,
};

/// One line on the map: its points in map coordinates, x0 y0 x1 y1 ... (at least two
/// points).
using MAP_polyline = std::vector<float>;

/// The map lines of each kind.
struct MAP_lines {
  std::vector<MAP_polyline> kind[MAP_LINE_KINDS];
};

/// Directory of the shoreline database when "zypshore" is not set.
constexpr const char *MAP_SHORE_DIR = "/usr/share/gmt-gshhg";
/// Environment variable naming another directory of the database.
constexpr const char *MAP_SHORE_ENV = "zypshore";
/// Largest count of bins, segments or points a database file may declare (the full
/// resolution, which is not used, has about 11 million points).
constexpr long MAP_SHORE_MAX_COUNT = 1L << 25;
/// Graticule spacing, degrees.
constexpr float MAP_GRATICULE_STEP = 10.0f;

/// The resolution that suits a map of `km_per_pixel`: 'c' from 15 km per pixel on,
/// 'l' from 2, else 'i'.
char MAP_shore_resolution(float km_per_pixel);

/// Appends the shorelines and borders of the current domain, clipped to its limits,
/// to `lines`, from the files of resolution `res` ('c', 'l' or 'i'; when its files
/// are missing the next coarser, then finer one that exists). Returns the number of
/// lines appended, or -1 when no shoreline file could be used (warned once per run).
/// Nothing for a domain that is not geographic (projection codes 1 to 9).
int MAP_shore_lines(char res, MAP_lines &lines);

/// Appends the meridians and parallels every `step` degrees (at most 90 lines of
/// each), clipped to the limits of the current domain. Returns the number of lines
/// appended; nothing for a domain that is not geographic.
int MAP_graticule(float step, std::vector<MAP_polyline> &out);

/// Projects a line of `n` points (degrees) into the current domain and appends its
/// pieces inside `box` to `out`: a point that cannot be seen, and a step across the
/// cut of a projection that has one (the meridian opposite the central one of the
/// latitude-longitude, Mercator, Lambert conformal and Mollweide projections), break
/// the line. Returns the number of pieces appended.
int MAP_clip_line(const float *lat, const float *lon, int n, const MAP_limits &box,
                  std::vector<MAP_polyline> &out);

/// Clips the segment (x0,y0)-(x1,y1) to `box`: true with the visible part in place,
/// false when no part is inside.
bool MAP_clip_segment(const MAP_limits &box, float &x0, float &y0, float &x1, float &y1);
