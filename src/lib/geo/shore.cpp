// Shorelines, borders and the graticule of a map of the current domain.
#include "geo/geo_testing.h"
#include "geo/shore.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "messages/messages.h"

namespace {

constexpr int MINUTES_360 = 360 * 60;
constexpr int MINUTES_180 = 180 * 60;
constexpr double FRACTION = 65535.0;  // a point's offsets are fractions of the bin size
constexpr int BIN_SAMPLES = 5;        // points per side of a bin tried against the domain
constexpr float LINE_STEP = 1.0f;     // degrees between the points of a graticule line

// One binned file, as read.
struct Binned {
  bool usable = false;
  int bin_minutes = 0, nlon = 0, nlat = 0;
  std::vector<int> bin_first, bin_count;  // per bin: first segment, number of segments
  std::vector<int> seg_first, seg_npts;   // per segment: first point, number of points
  std::vector<signed char> seg_kind;      // per segment: MAP_LINE_..., -1 not drawn
  std::vector<std::uint16_t> plon, plat;  // per point: fractions of the bin size
};

// The shore lines' state for the run.
struct ShoreState {
  // Files read so far, by path (kept for the run, also those that could not be used).
  std::map<std::string, Binned> files;
  bool missing_warned = false;  // a missing shore file has been told once
};
ShoreState g_shore;

struct NcFile {
  int id = -1;
  ~NcFile() {
    if (id >= 0) nc_close(id);
  }
};

// The length of the one dimension of variable `name`; false (with the reason) when
// there is no such variable, it has another shape, or the length is out of bounds.
bool var_length(int nc, const char *name, int *var, std::size_t *len, std::string &why) {
  int ndims = 0, dim = -1;
  if (nc_inq_varid(nc, name, var) != NC_NOERR) {
    why = std::string("no variable ") + name;
    return false;
  }
  if (nc_inq_varndims(nc, *var, &ndims) != NC_NOERR || ndims != 1 ||
      nc_inq_vardimid(nc, *var, &dim) != NC_NOERR || nc_inq_dimlen(nc, dim, len) != NC_NOERR) {
    why = std::string(name) + " is no list";
    return false;
  }
  if (*len > static_cast<std::size_t>(MAP_SHORE_MAX_COUNT)) {
    why = std::string(name) + " is too long";
    return false;
  }
  return true;
}

// Reads the integers of variable `name`; `expected` (when not SIZE_MAX) is the length
// it must have.
bool read_ints(int nc, const char *name, std::size_t expected, std::vector<int> &out,
               std::string &why) {
  int var = -1;
  std::size_t len = 0;
  if (!var_length(nc, name, &var, &len, why)) return false;
  if (expected != SIZE_MAX && len != expected) {
    why = std::string(name) + " has " + std::to_string(len) + " values, " +
          std::to_string(expected) + " expected";
    return false;
  }
  out.assign(len, 0);
  const int status = len ? nc_get_var_int(nc, var, out.data()) : NC_NOERR;
  if (status != NC_NOERR) {
    why = std::string(name) + ": " + nc_strerror(status);
    return false;
  }
  return true;
}

bool read_scalar(int nc, const char *name, int *value, std::string &why) {
  std::vector<int> v;
  if (!read_ints(nc, name, 1, v, why)) return false;
  *value = v[0];
  return true;
}

// Reads the point offsets (16-bit, read as unsigned fractions).
bool read_fractions(int nc, const char *name, std::size_t expected, std::vector<std::uint16_t> &out,
                    std::string &why) {
  int var = -1;
  std::size_t len = 0;
  if (!var_length(nc, name, &var, &len, why)) return false;
  if (len != expected) {
    why = std::string(name) + " has " + std::to_string(len) + " values, " +
          std::to_string(expected) + " expected";
    return false;
  }
  std::vector<short> raw(len);
  const int status = len ? nc_get_var_short(nc, var, raw.data()) : NC_NOERR;
  if (status != NC_NOERR) {
    why = std::string(name) + ": " + nc_strerror(status);
    return false;
  }
  out.resize(len);
  for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<std::uint16_t>(raw[i]);
  return true;
}

// Reads and checks one file: shorelines (`border` false) or borders.
bool load(const std::string &path, bool border, Binned &b, std::string &why) {
  NcFile nc;
  const int status = nc_open(path.c_str(), NC_NOWRITE, &nc.id);
  if (status != NC_NOERR) {
    nc.id = -1;
    why = nc_strerror(status);
    return false;
  }
  if (!read_scalar(nc.id, "Bin_size_in_minutes", &b.bin_minutes, why) ||
      !read_scalar(nc.id, "N_bins_in_360_longitude_range", &b.nlon, why) ||
      !read_scalar(nc.id, "N_bins_in_180_degree_latitude_range", &b.nlat, why))
    return false;
  if (b.bin_minutes <= 0 || MINUTES_360 % b.bin_minutes != 0 ||
      b.nlon != MINUTES_360 / b.bin_minutes || b.nlat != MINUTES_180 / b.bin_minutes) {
    why = "bins do not cover the globe";
    return false;
  }
  const std::size_t nbins = static_cast<std::size_t>(b.nlon) * static_cast<std::size_t>(b.nlat);
  if (!read_ints(nc.id, "Id_of_first_segment_in_a_bin", nbins, b.bin_first, why) ||
      !read_ints(nc.id, "N_segments_in_a_bin", nbins, b.bin_count, why) ||
      !read_ints(nc.id, "Id_of_first_point_in_a_segment", SIZE_MAX, b.seg_first, why))
    return false;
  const std::size_t nseg = b.seg_first.size();
  std::vector<int> levels;
  if (border) {
    if (!read_ints(nc.id, "N_points_for_a_segment", nseg, b.seg_npts, why) ||
        !read_ints(nc.id, "Hierarchial_level_of_a_segment", nseg, levels, why))
      return false;
  } else {
    // Points, level, exit and entry side packed into one number: the points above
    // bit 9, the level in bits 6 to 8.
    std::vector<int> packed;
    if (!read_ints(nc.id, "Embedded_npts_levels_exit_entry_for_a_segment", nseg, packed, why))
      return false;
    b.seg_npts.resize(nseg);
    levels.resize(nseg);
    for (std::size_t s = 0; s < nseg; ++s) {
      b.seg_npts[s] = packed[s] < 0 ? -1 : packed[s] >> 9;
      levels[s] = (packed[s] >> 6) & 7;
    }
  }
  int npoints = 0;
  if (!read_scalar(nc.id, "N_points_in_file", &npoints, why) ||
      !read_fractions(nc.id, "Relative_longitude_from_SW_corner_of_bin",
                      static_cast<std::size_t>(npoints < 0 ? 0 : npoints), b.plon, why) ||
      !read_fractions(nc.id, "Relative_latitude_from_SW_corner_of_bin", b.plon.size(), b.plat, why))
    return false;

  for (std::size_t i = 0; i < nbins; ++i) {
    if (b.bin_first[i] < 0 || b.bin_count[i] < 0 ||
        static_cast<std::size_t>(b.bin_first[i]) + static_cast<std::size_t>(b.bin_count[i]) >
            nseg) {
      why = "bin " + std::to_string(i) + " lists segments that are not there";
      return false;
    }
  }
  b.seg_kind.resize(nseg);
  for (std::size_t s = 0; s < nseg; ++s) {
    if (b.seg_first[s] < 0 || b.seg_npts[s] < 0 ||
        static_cast<std::size_t>(b.seg_first[s]) + static_cast<std::size_t>(b.seg_npts[s]) >
            b.plon.size()) {
      why = "segment " + std::to_string(s) + " lists points that are not there";
      return false;
    }
    const int lake_or_state = border ? MAP_LINE_STATE : MAP_LINE_LAKE;
    const int coast_or_country = border ? MAP_LINE_COUNTRY : MAP_LINE_COAST;
    b.seg_kind[s] = static_cast<signed char>(levels[s] == 1   ? coast_or_country
                                             : levels[s] == 2 ? lake_or_state
                                                              : -1);
  }
  return true;
}

std::string shore_dir() {
  const char *env = std::getenv(MAP_SHORE_ENV);
  return env && *env ? env : MAP_SHORE_DIR;
}

bool exists(const std::string &path) {
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

// The file of `kind` ("GSHHS" or "border") in the resolution nearest `res` that
// exists and can be used; null when none.
const Binned *binned_file(const std::string &dir, const char *kind, char res) {
  const char *order = res == 'c' ? "cli" : res == 'i' ? "ilc" : "lci";
  for (const char *r = order; *r; ++r) {
    const std::string path = dir + "/binned_" + kind + "_" + *r + ".nc";
    auto found = g_shore.files.find(path);
    if (found == g_shore.files.end()) {
      if (!exists(path)) continue;
      Binned &b = g_shore.files[path];
      std::string why;
      b.usable = load(path, kind[0] == 'b', b, why);
      if (!b.usable) {
        MESS_print(M_WARN,
                   "MAP_shore_lines: Damaged shoreline file %s (%s): the map is drawn without it\n",
                   path.c_str(), why.c_str());
        b = Binned{};
      }
      found = g_shore.files.find(path);
    }
    if (found->second.usable) return &found->second;
  }
  return nullptr;
}

bool geographic() {
  const int proj = MAP_get_proj();
  return proj >= DOM_POLAR && proj <= DOM_SATELLITE;
}

bool valid_box(const MAP_limits &box) {
  return std::isfinite(box.x_min) && std::isfinite(box.x_max) && std::isfinite(box.y_min) &&
         std::isfinite(box.y_max) && box.x_max > box.x_min && box.y_max > box.y_min;
}

// Whether bin (row, col) of `b` reaches into `box`: the rectangle around its
// visible sample points meets the box.
bool bin_in_box(const Binned &b, int row, int col, const MAP_limits &box) {
  const float size = static_cast<float>(b.bin_minutes) / 60.0f;
  const float lat0 = 90.0f - static_cast<float>(row + 1) * size;
  const float lon0 = static_cast<float>(col) * size;
  float x_min = 0, x_max = 0, y_min = 0, y_max = 0;
  bool any = false;
  for (int i = 0; i < BIN_SAMPLES; ++i) {
    for (int j = 0; j < BIN_SAMPLES; ++j) {
      float x, y;
      const float lat = lat0 + size * static_cast<float>(i) / (BIN_SAMPLES - 1);
      const float lon = lon0 + size * static_cast<float>(j) / (BIN_SAMPLES - 1);
      if (!MAP_tran(lat, lon, &x, &y) || !std::isfinite(x) || !std::isfinite(y)) continue;
      if (!any) {
        x_min = x_max = x;
        y_min = y_max = y;
        any = true;
      } else {
        x_min = std::fmin(x_min, x);
        x_max = std::fmax(x_max, x);
        y_min = std::fmin(y_min, y);
        y_max = std::fmax(y_max, y);
      }
    }
  }
  // A bin's sides bulge between the samples: a margin of a tenth of its size.
  const float mx = (x_max - x_min) * 0.1f, my = (y_max - y_min) * 0.1f;
  return any && x_max + mx >= box.x_min && x_min - mx <= box.x_max && y_max + my >= box.y_min &&
         y_min - my <= box.y_max;
}

// Appends the lines of `b` that reach into `box`. Returns their number.
int add_lines(const Binned &b, const MAP_limits &box, MAP_lines &lines) {
  int added = 0;
  const double size = b.bin_minutes / 60.0;
  std::vector<float> lat, lon;
  for (int row = 0; row < b.nlat; ++row) {
    for (int col = 0; col < b.nlon; ++col) {
      const int bin = row * b.nlon + col;
      if (b.bin_count[bin] == 0 || !bin_in_box(b, row, col, box)) continue;
      const double lat0 = 90.0 - (row + 1) * size, lon0 = col * size;
      for (int s = b.bin_first[bin]; s < b.bin_first[bin] + b.bin_count[bin]; ++s) {
        if (b.seg_kind[s] < 0 || b.seg_npts[s] < 2) continue;
        lat.resize(b.seg_npts[s]);
        lon.resize(b.seg_npts[s]);
        for (int p = 0; p < b.seg_npts[s]; ++p) {
          lon[p] = static_cast<float>(lon0 + b.plon[b.seg_first[s] + p] * size / FRACTION);
          lat[p] = static_cast<float>(lat0 + b.plat[b.seg_first[s] + p] * size / FRACTION);
        }
        added +=
            MAP_clip_line(lat.data(), lon.data(), b.seg_npts[s], box, lines.kind[b.seg_kind[s]]);
      }
    }
  }
  return added;
}

// A longitude difference brought into -180..180.
double wrap(double d) {
  d = std::fmod(d, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}

}  // namespace

char MAP_shore_resolution(float km_per_pixel) {
  if (km_per_pixel >= 15.0f) return 'c';
  if (km_per_pixel >= 2.0f) return 'l';
  return 'i';
}

bool MAP_clip_segment(const MAP_limits &box, float &x0, float &y0, float &x1, float &y1) {
  double t0 = 0.0, t1 = 1.0;
  const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
  // One side of the box: p the rate at which the segment leaves it, q the distance.
  auto side = [&](double p, double q) {
    if (p == 0.0) return q >= 0.0;
    const double r = q / p;
    if (p < 0.0) {
      if (r > t1) return false;
      if (r > t0) t0 = r;
    } else {
      if (r < t0) return false;
      if (r < t1) t1 = r;
    }
    return true;
  };
  if (!side(-dx, static_cast<double>(x0) - box.x_min) ||
      !side(dx, box.x_max - static_cast<double>(x0)) ||
      !side(-dy, static_cast<double>(y0) - box.y_min) ||
      !side(dy, box.y_max - static_cast<double>(y0)))
    return false;
  const double sx = x0, sy = y0;
  if (t1 < 1.0) {
    x1 = static_cast<float>(sx + t1 * dx);
    y1 = static_cast<float>(sy + t1 * dy);
  }
  if (t0 > 0.0) {
    x0 = static_cast<float>(sx + t0 * dx);
    y0 = static_cast<float>(sy + t0 * dy);
  }
  return true;
}

int MAP_clip_line(const float *lat, const float *lon, int n, const MAP_limits &box,
                  std::vector<MAP_polyline> &out) {
  const std::size_t before = out.size();
  Domain dom;
  MAP_get_domain(&dom);
  const bool cut = dom.proj == DOM_LATLON || dom.proj == DOM_MERCATOR || dom.proj == DOM_LAMBERT ||
                   dom.proj == DOM_MOLLWEIDE;
  MAP_polyline line;
  auto flush = [&] {
    if (line.size() >= 4) out.push_back(std::move(line));
    line.clear();
  };
  bool have_prev = false;
  float px = 0, py = 0, plon = 0;
  for (int i = 0; i < n; ++i) {
    float x, y;
    if (!MAP_tran(lat[i], lon[i], &x, &y) || !std::isfinite(x) || !std::isfinite(y)) {
      flush();
      have_prev = false;
      continue;
    }
    // Across the cut x changes sign (x is 0 on the central meridian and has the sign
    // of the longitude difference), and the two points lie more than 180 degrees of
    // longitude apart around the central meridian. A point on the cut itself may be
    // put on either side, so the sign of x decides.
    const bool across = cut && px * x < 0.0f &&
                        std::fabs(wrap(static_cast<double>(plon) - dom.plon)) +
                                std::fabs(wrap(static_cast<double>(lon[i]) - dom.plon)) >
                            180.0;
    if (have_prev && !across) {
      float ax = px, ay = py, bx = x, by = y;
      if (MAP_clip_segment(box, ax, ay, bx, by)) {
        if (line.empty() || line[line.size() - 2] != ax || line.back() != ay) {
          flush();
          line = {ax, ay};
        }
        line.push_back(bx);
        line.push_back(by);
        if (bx != x || by != y) flush();  // the line leaves the box here
      } else {
        flush();
      }
    } else {
      flush();
    }
    px = x;
    py = y;
    plon = lon[i];
    have_prev = true;
  }
  flush();
  return static_cast<int>(out.size() - before);
}

int MAP_shore_lines(char res, MAP_lines &lines) {
  MAP_limits box;
  MAP_get_limits(&box);
  if (!geographic() || !valid_box(box)) return 0;
  const std::string dir = shore_dir();
  const Binned *shore = binned_file(dir, "GSHHS", res);
  const Binned *border = binned_file(dir, "border", res);
  if (!shore && !border) {
    if (!g_shore.missing_warned)
      MESS_print(
          M_WARN,
          "MAP_shore_lines: No shoreline files to use in %s (package gmt-gshhg-low): the map is "
          "drawn without coastlines and borders\n",
          dir.c_str());
    g_shore.missing_warned = true;
    return -1;
  }
  MAP_lines found;
  if (shore) add_lines(*shore, box, found);
  if (border) add_lines(*border, box, found);
  // A line along the edge of a bin is kept by the bins on both sides: once is enough.
  int added = 0;
  for (int k = 0; k < MAP_LINE_KINDS; ++k) {
    std::vector<MAP_polyline> &v = found.kind[k];
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    added += static_cast<int>(v.size());
    lines.kind[k].insert(lines.kind[k].end(), std::make_move_iterator(v.begin()),
                         std::make_move_iterator(v.end()));
  }
  return added;
}

int MAP_graticule(float step, std::vector<MAP_polyline> &out) {
  MAP_limits box;
  MAP_get_limits(&box);
  if (!geographic() || !valid_box(box) || !(step >= 2.0f && step <= 90.0f)) return 0;
  int added = 0;
  std::vector<float> lat, lon;
  // A meridian from pole to pole, or a parallel all round, at `at` degrees.
  auto line = [&](bool meridian, float at) {
    lat.clear();
    lon.clear();
    const float end = meridian ? 90.0f : 180.0f;
    for (float t = -end; t <= end; t += LINE_STEP) {
      lat.push_back(meridian ? t : at);
      lon.push_back(meridian ? at : t);
    }
    added += MAP_clip_line(lat.data(), lon.data(), static_cast<int>(lat.size()), box, out);
  };
  for (float m = -180.0f; m < 180.0f; m += step) line(true, m);
  for (float p = -90.0f + step; p < 90.0f; p += step) line(false, p);  // the poles left out
  return added;
}

void MAP_shore_reset_state() {
  g_shore.files.clear();
  g_shore.missing_warned = false;
}
