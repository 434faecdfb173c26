// Shorelines, borders and graticule: clipping, the binned file layout (on small files
// written here), damaged files, and the real database where it is installed.
#include <gtest/gtest.h>
#include <netcdf.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "geo/geo_testing.h"
#include "geo/map.h"
#include "geo/shore.h"
#include "messages/messages.h"
#include "shore_fixture.h"

namespace {

using shore_test::make_domain;

// The whole globe in latitude and longitude: map x is the longitude, y the latitude.
Domain globe(float clon = 0.0f) { return make_domain(DOM_LATLON, 0.0f, clon, 361, 181, 1.0f); }

class ShoreTest : public shore_test::ShoreDirTest {
 protected:
  // The lines of the current domain, catching the warnings.
  int Lines(char res, MAP_lines &lines) {
    testing::internal::CaptureStderr();
    const int n = MAP_shore_lines(res, lines);
    warnings_ = testing::internal::GetCapturedStderr();
    return n;
  }
};

// ---- clipping -------------------------------------------------------------------------

struct ClipCase {
  const char *what;
  float x0, y0, x1, y1;
  bool visible;
  float ex0, ey0, ex1, ey1;  // the visible part
};

TEST(ShoreClip, SegmentAgainstTheBox) {
  const MAP_limits box{0.0f, 10.0f, 0.0f, 10.0f};
  const ClipCase cases[] = {
      {"inside", 1, 1, 9, 9, true, 1, 1, 9, 9},
      {"outside to the left", -5, 1, -1, 9, false, 0, 0, 0, 0},
      {"outside above", 1, 11, 9, 20, false, 0, 0, 0, 0},
      {"leaving to the right", 5, 5, 15, 5, true, 5, 5, 10, 5},
      {"entering from below", 5, -5, 5, 5, true, 5, 0, 5, 5},
      {"across", -10, 5, 20, 5, true, 0, 5, 10, 5},
      {"diagonal through corners", -1, -1, 11, 11, true, 0, 0, 10, 10},
      {"along the edge", 0, -5, 0, 15, true, 0, 0, 0, 10},
      {"a point inside", 3, 3, 3, 3, true, 3, 3, 3, 3},
      {"a point outside", 30, 3, 30, 3, false, 0, 0, 0, 0},
      {"passing by a corner", 9, 12, 12, 9, false, 0, 0, 0, 0},
  };
  for (const ClipCase &c : cases) {
    float x0 = c.x0, y0 = c.y0, x1 = c.x1, y1 = c.y1;
    EXPECT_EQ(MAP_clip_segment(box, x0, y0, x1, y1), c.visible) << c.what;
    if (!c.visible) continue;
    EXPECT_NEAR(x0, c.ex0, 1e-5) << c.what;
    EXPECT_NEAR(y0, c.ey0, 1e-5) << c.what;
    EXPECT_NEAR(x1, c.ex1, 1e-5) << c.what;
    EXPECT_NEAR(y1, c.ey1, 1e-5) << c.what;
  }
}

TEST_F(ShoreTest, LineSplitWhereItLeavesTheBox) {
  const Domain d = globe();
  MAP_domain(&d);
  const MAP_limits box{0.0f, 10.0f, 0.0f, 10.0f};
  // Along 5 N: in, out beyond 10 E, back in on the way back.
  const float lat[] = {5, 5, 5, 5, 5};
  const float lon[] = {2, 8, 14, 8, 2};
  std::vector<MAP_polyline> out;
  EXPECT_EQ(MAP_clip_line(lat, lon, 5, box, out), 2);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], (MAP_polyline{2, 5, 8, 5, 10, 5}));
  EXPECT_EQ(out[1], (MAP_polyline{10, 5, 8, 5, 2, 5}));
}

TEST_F(ShoreTest, LineBrokenAtTheDateLineOfTheProjection) {
  // The globe centred on 0 E has its cut at 180: a line across it would run across
  // the whole map.
  const Domain d = globe(0.0f);
  MAP_domain(&d);
  MAP_limits box;
  MAP_get_limits(&box);
  const float lat[] = {50, 50, 50, 50, 50};
  const float lon[] = {170, 175, 180, -175, -170};
  std::vector<MAP_polyline> out;
  MAP_clip_line(lat, lon, 5, box, out);
  ASSERT_EQ(out.size(), 2u);
  for (const MAP_polyline &line : out)
    for (std::size_t i = 2; i + 1 < line.size(); i += 2)
      EXPECT_LT(std::fabs(line[i] - line[i - 2]), 10.0f);

  // Centred on 180 the same line is one piece, and a line across 0 E breaks.
  MAP_reset_state();
  const Domain pacific = globe(180.0f);
  MAP_domain(&pacific);
  MAP_get_limits(&box);
  out.clear();
  MAP_clip_line(lat, lon, 5, box, out);
  EXPECT_EQ(out.size(), 1u);
  const float lon0[] = {-10, -5, 0, 5, 10};
  out.clear();
  MAP_clip_line(lat, lon0, 5, box, out);
  EXPECT_EQ(out.size(), 2u);
}

TEST_F(ShoreTest, HiddenPointsBreakTheLine) {
  // The orthographic view centred on 0 N 0 E sees the equator from 90 W to 90 E.
  const Domain d = make_domain(DOM_ORTHO, 0.0f, 0.0f, 121, 121, 1.1f);
  MAP_domain(&d);
  MAP_limits box;
  MAP_get_limits(&box);
  std::vector<float> lat, lon;
  for (float m = -175; m <= 175; m += 10) {
    lat.push_back(0);
    lon.push_back(m);
  }
  std::vector<MAP_polyline> out;
  MAP_clip_line(lat.data(), lon.data(), static_cast<int>(lat.size()), box, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].size(), 2u * 18);  // 85 W to 85 E in steps of 10
}

TEST_F(ShoreTest, GraticuleInsideTheDomain) {
  const Domain us = make_domain(DOM_POLAR, 39.0f, -97.0f, 25, 17, 2.3f);
  MAP_domain(&us);
  MAP_limits box;
  MAP_get_limits(&box);
  std::vector<MAP_polyline> grid;
  const int n = MAP_graticule(MAP_GRATICULE_STEP, grid);
  EXPECT_EQ(n, static_cast<int>(grid.size()));
  EXPECT_GE(n, 8);  // meridians 130 W to 70 W, parallels 20 N to 50 N at least
  for (const MAP_polyline &line : grid) {
    ASSERT_GE(line.size(), 4u);
    for (std::size_t i = 0; i + 1 < line.size(); i += 2) {
      EXPECT_GE(line[i], box.x_min);
      EXPECT_LE(line[i], box.x_max);
      EXPECT_GE(line[i + 1], box.y_min);
      EXPECT_LE(line[i + 1], box.y_max);
    }
  }
  // The globe: 36 meridians and 17 parallels, the meridian on the cut at 180 drawn
  // once at the edge.
  const Domain g = globe();
  MAP_domain(&g);
  grid.clear();
  EXPECT_EQ(MAP_graticule(10.0f, grid), 36 + 17);
  // Not geographic, or a step out of range: nothing.
  grid.clear();
  EXPECT_EQ(MAP_graticule(0.5f, grid), 0);
  const Domain xy = make_domain(DOM_XY, 0.0f, 0.0f, 10, 10, 1.0f);
  MAP_domain(&xy);
  EXPECT_EQ(MAP_graticule(10.0f, grid), 0);
}

TEST(ShoreResolution, ByMapScale) {
  const struct {
    float km;
    char res;
  } cases[] = {{100.0f, 'c'}, {15.0f, 'c'}, {14.9f, 'l'}, {4.6f, 'l'},
               {2.0f, 'l'},   {1.9f, 'i'},  {0.1f, 'i'}};
  for (const auto &c : cases) EXPECT_EQ(MAP_shore_resolution(c.km), c.res) << c.km;
}

// ---- binned files written here ----------------------------------------------------------

// The arrays of one binned file of 10-degree bins (36 by 18).
struct FileSpec {
  bool border = false;
  int bin_minutes = 600, nlon = 36, nlat = 18;
  int nbins = 36 * 18;  // length of the bin arrays
  std::vector<int> bin_first, bin_count;
  std::vector<int> seg_first, seg_npts, seg_level;
  std::vector<int> plon, plat;  // fractions 0..65535
  int declared_points = -1;     // N_points_in_file; -1: the real count
  const char *skip = nullptr;   // a variable left out
};

// A file with one bin holding the given segments: bin (row, col).
FileSpec one_bin(int row, int col) {
  FileSpec f;
  f.bin_first.assign(f.nbins, 0);
  f.bin_count.assign(f.nbins, 0);
  f.bin_count[row * 36 + col] = 0;
  return f;
}

void add_segment(FileSpec &f, int row, int col, int level,
                 const std::vector<std::pair<int, int>> &pts) {
  const int bin = row * f.nlon + col;
  f.bin_first[bin] = static_cast<int>(f.seg_first.size()) - f.bin_count[bin];
  ++f.bin_count[bin];
  f.seg_first.push_back(static_cast<int>(f.plon.size()));
  f.seg_npts.push_back(static_cast<int>(pts.size()));
  f.seg_level.push_back(level);
  for (const auto &[lon, lat] : pts) {
    f.plon.push_back(lon);
    f.plat.push_back(lat);
  }
}

void write_file(const std::string &path, const FileSpec &f) {
  int nc;
  ASSERT_EQ(nc_create(path.c_str(), NC_CLOBBER, &nc), NC_NOERR);
  int d_scalar, d_bin, d_seg, d_pt;
  nc_def_dim(nc, "Dimension_of_scalar", 1, &d_scalar);
  nc_def_dim(nc, "Dimension_of_bin_arrays", f.nbins, &d_bin);
  nc_def_dim(nc, "Dimension_of_segment_arrays", f.seg_first.empty() ? 1 : f.seg_first.size(),
             &d_seg);
  nc_def_dim(nc, "Dimension_of_point_arrays", f.plon.empty() ? 1 : f.plon.size(), &d_pt);
  struct Var {
    const char *name;
    nc_type type;
    int dim;
    std::vector<int> values;
  };
  std::vector<Var> vars = {
      {"Bin_size_in_minutes", NC_INT, d_scalar, {f.bin_minutes}},
      {"N_bins_in_360_longitude_range", NC_INT, d_scalar, {f.nlon}},
      {"N_bins_in_180_degree_latitude_range", NC_INT, d_scalar, {f.nlat}},
      {"N_points_in_file",
       NC_INT,
       d_scalar,
       {f.declared_points >= 0 ? f.declared_points
                               : static_cast<int>(f.plon.empty() ? 1 : f.plon.size())}},
      {"Id_of_first_segment_in_a_bin", NC_INT, d_bin, f.bin_first},
      {"N_segments_in_a_bin", NC_SHORT, d_bin, f.bin_count},
      {"Id_of_first_point_in_a_segment", NC_INT, d_seg, f.seg_first},
  };
  if (f.border) {
    vars.push_back({"N_points_for_a_segment", NC_SHORT, d_seg, f.seg_npts});
    vars.push_back({"Hierarchial_level_of_a_segment", NC_SHORT, d_seg, f.seg_level});
  } else {
    std::vector<int> packed;
    for (std::size_t s = 0; s < f.seg_npts.size(); ++s)
      packed.push_back(f.seg_npts[s] << 9 | f.seg_level[s] << 6);
    vars.push_back({"Embedded_npts_levels_exit_entry_for_a_segment", NC_INT, d_seg, packed});
  }
  std::vector<int> lon16, lat16;  // as the file stores them: 16-bit two's complement
  for (int v : f.plon) lon16.push_back(v > 32767 ? v - 65536 : v);
  for (int v : f.plat) lat16.push_back(v > 32767 ? v - 65536 : v);
  vars.push_back({"Relative_longitude_from_SW_corner_of_bin", NC_SHORT, d_pt, lon16});
  vars.push_back({"Relative_latitude_from_SW_corner_of_bin", NC_SHORT, d_pt, lat16});
  std::vector<int> ids;
  for (Var &v : vars) {
    if (f.skip && std::string(f.skip) == v.name) {
      ids.push_back(-1);
      continue;
    }
    int id;
    ASSERT_EQ(nc_def_var(nc, v.name, v.type, 1, &v.dim, &id), NC_NOERR) << v.name;
    ids.push_back(id);
  }
  nc_enddef(nc);
  for (std::size_t i = 0; i < vars.size(); ++i) {
    if (ids[i] < 0 || vars[i].values.empty()) continue;
    ASSERT_EQ(nc_put_var_int(nc, ids[i], vars[i].values.data()), NC_NOERR) << vars[i].name;
  }
  nc_close(nc);
}

// A shoreline file with one triangle in the bin 40-50 N, 10-20 E (row 4, column 1),
// a lake segment, and a segment of level 3 (an island in a lake: not drawn).
FileSpec sample_shore() {
  FileSpec f = one_bin(4, 1);
  add_segment(f, 4, 1, 1, {{0, 0}, {32768, 65535}, {65535, 0}});
  add_segment(f, 4, 1, 2, {{6553, 6553}, {13107, 6553}});
  add_segment(f, 4, 1, 3, {{6553, 13107}, {13107, 13107}});
  return f;
}

TEST_F(ShoreTest, BinnedShorelineFile) {
  write_file(dir_ + "/binned_GSHHS_l.nc", sample_shore());
  const Domain d = globe();
  MAP_domain(&d);
  MAP_lines lines;
  EXPECT_EQ(Lines('l', lines), 2);
  EXPECT_EQ(warnings_, "");
  ASSERT_EQ(lines.kind[MAP_LINE_COAST].size(), 1u);
  const MAP_polyline &coast = lines.kind[MAP_LINE_COAST][0];
  ASSERT_EQ(coast.size(), 6u);
  const float expected[] = {10.0f, 40.0f, 15.0f, 50.0f, 20.0f, 40.0f};  // x lon, y lat
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(coast[i], expected[i], 1e-3) << i;
  ASSERT_EQ(lines.kind[MAP_LINE_LAKE].size(), 1u);
  EXPECT_NEAR(lines.kind[MAP_LINE_LAKE][0][0], 11.0f, 1e-3);
  EXPECT_NEAR(lines.kind[MAP_LINE_LAKE][0][1], 41.0f, 1e-3);
  EXPECT_TRUE(lines.kind[MAP_LINE_COUNTRY].empty());

  // A domain far from the bin takes nothing from it.
  MAP_lines none;
  const Domain far = make_domain(DOM_POLAR, -40.0f, -60.0f, 25, 17, 1.0f);
  MAP_domain(&far);
  EXPECT_EQ(Lines('l', none), 0);
  EXPECT_TRUE(none.kind[MAP_LINE_COAST].empty());
}

TEST_F(ShoreTest, BinnedBorderFileAndResolutionFallback) {
  FileSpec f = one_bin(5, 26);  // 30-40 N, 260-270 E (100-90 W)
  f.border = true;
  add_segment(f, 5, 26, 1, {{0, 32768}, {65535, 32768}});  // along 35 N
  add_segment(f, 5, 26, 2, {{32768, 0}, {32768, 65535}});  // along 95 W
  add_segment(f, 5, 26, 3, {{0, 0}, {65535, 65535}});      // marine: not drawn
  write_file(dir_ + "/binned_border_c.nc", f);             // only the crude file exists
  const Domain d = make_domain(DOM_LATLON, 35.0f, -95.0f, 21, 21, 1.0f);
  MAP_domain(&d);
  MAP_lines lines;
  EXPECT_EQ(Lines('i', lines), 2);
  EXPECT_EQ(warnings_, "");
  ASSERT_EQ(lines.kind[MAP_LINE_COUNTRY].size(), 1u);
  ASSERT_EQ(lines.kind[MAP_LINE_STATE].size(), 1u);
  // x is the longitude east of 95 W: the state line runs along x = 0.
  EXPECT_NEAR(lines.kind[MAP_LINE_STATE][0][0], 0.0f, 1e-3);
  EXPECT_NEAR(lines.kind[MAP_LINE_COUNTRY][0][1], 35.0f, 1e-3);
}

TEST_F(ShoreTest, NoDatabaseWarnsOnce) {
  const Domain d = globe();
  MAP_domain(&d);
  MAP_lines lines;
  EXPECT_EQ(Lines('l', lines), -1);
  EXPECT_NE(warnings_.find("MAP_shore_lines: No shoreline files to use in " + dir_),
            std::string::npos)
      << warnings_;
  EXPECT_EQ(Lines('l', lines), -1);
  EXPECT_EQ(warnings_, "");
}

TEST_F(ShoreTest, DamagedFilesWarnAndDrawNothing) {
  struct Damage {
    const char *what;
    void (*spoil)(FileSpec &);
    const char *reason;
  };
  const Damage cases[] = {
      {"bins of 7 minutes", [](FileSpec &f) { f.bin_minutes = 7; }, "bins do not cover the globe"},
      {"a bin count that does not fit", [](FileSpec &f) { f.nlon = 35; },
       "bins do not cover the globe"},
      {"a short bin array",
       [](FileSpec &f) {
         f.nbins = 100;
         f.bin_first.resize(100);
         f.bin_count.resize(100);
       },
       "Id_of_first_segment_in_a_bin has 100 values, 648 expected"},
      {"a bin beyond the segments", [](FileSpec &f) { f.bin_count[4 * 36 + 1] = 40; },
       "bin 145 lists segments"},
      {"a negative first segment", [](FileSpec &f) { f.bin_first[0] = -3; },
       "bin 0 lists segments"},
      {"a segment beyond the points", [](FileSpec &f) { f.seg_npts[2] = 9; },
       "segment 2 lists points"},
      {"a negative first point", [](FileSpec &f) { f.seg_first[1] = -1; },
       "segment 1 lists points"},
      {"a point count that differs", [](FileSpec &f) { f.declared_points = 99; },
       "Relative_longitude_from_SW_corner_of_bin has 7 values, 99 expected"},
      {"no latitudes", [](FileSpec &f) { f.skip = "Relative_latitude_from_SW_corner_of_bin"; },
       "no variable Relative_latitude_from_SW_corner_of_bin"},
  };
  const Domain d = globe();
  for (const Damage &c : cases) {
    MAP_shore_reset_state();
    MAP_domain(&d);
    FileSpec f = sample_shore();
    c.spoil(f);
    write_file(dir_ + "/binned_GSHHS_l.nc", f);
    MAP_lines lines;
    EXPECT_EQ(Lines('l', lines), -1) << c.what;
    EXPECT_NE(
        warnings_.find("MAP_shore_lines: Damaged shoreline file " + dir_ + "/binned_GSHHS_l.nc ("),
        std::string::npos)
        << c.what << ": " << warnings_;
    EXPECT_NE(warnings_.find(c.reason), std::string::npos) << c.what << ": " << warnings_;
    EXPECT_TRUE(lines.kind[MAP_LINE_COAST].empty()) << c.what;
  }
  // Not netCDF at all; and a damaged file beside a good one of another resolution:
  // the good one is drawn.
  MAP_shore_reset_state();
  std::ofstream(dir_ + "/binned_GSHHS_l.nc") << "not a netCDF file\n";
  write_file(dir_ + "/binned_GSHHS_c.nc", sample_shore());
  MAP_lines lines;
  EXPECT_EQ(Lines('l', lines), 2);
  EXPECT_NE(warnings_.find("binned_GSHHS_l.nc"), std::string::npos) << warnings_;
  EXPECT_EQ(lines.kind[MAP_LINE_COAST].size(), 1u);
}

// ---- the installed database --------------------------------------------------------------

// The distance in degrees from (lat, lon) to the nearest line of `lines` on the globe
// map (x the longitude, y the latitude).
float nearest(const std::vector<MAP_polyline> &lines, float lat, float lon) {
  float best = 1e9f;
  for (const MAP_polyline &line : lines) {
    for (std::size_t i = 2; i + 1 < line.size(); i += 2) {
      const float ax = line[i - 2], ay = line[i - 1], bx = line[i], by = line[i + 1];
      const float len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
      float t = len2 > 0 ? ((lon - ax) * (bx - ax) + (lat - ay) * (by - ay)) / len2 : 0.0f;
      t = std::fmax(0.0f, std::fmin(1.0f, t));
      best = std::fmin(best, std::hypot(ax + t * (bx - ax) - lon, ay + t * (by - ay) - lat));
    }
  }
  return best;
}

TEST_F(ShoreTest, InstalledDatabaseDrawsKnownShores) {
  if (!std::ifstream(std::string(MAP_SHORE_DIR) + "/binned_GSHHS_c.nc"))
    GTEST_SKIP() << "no shoreline database";
  setenv(MAP_SHORE_ENV, MAP_SHORE_DIR, 1);
  const Domain d = globe();
  MAP_domain(&d);
  MAP_lines crude;
  EXPECT_GT(Lines('c', crude), 100);
  EXPECT_EQ(warnings_, "");
  const auto &coast = crude.kind[MAP_LINE_COAST];
  // clang-format off
  EXPECT_LT(nearest(coast, 36.0f, -5.6f), 0.5f);    // Strait of Gibraltar
  EXPECT_LT(nearest(coast, -34.4f, 18.5f), 0.5f);   // Cape of Good Hope
  EXPECT_LT(nearest(coast, 25.2f, -80.6f), 0.5f);   // southern Florida
  EXPECT_LT(nearest(coast, 8.08f, 77.55f), 0.5f);   // the southern tip of India
  EXPECT_GT(nearest(coast, 30.0f, -40.0f), 5.0f);   // the open Atlantic
  EXPECT_LT(nearest(crude.kind[MAP_LINE_COUNTRY], 49.0f, -100.0f), 0.3f);  // United States and Canada
  // clang-format on

  MAP_shore_reset_state();
  MAP_lines low;
  EXPECT_GT(Lines('l', low), 1000);
  EXPECT_LT(nearest(low.kind[MAP_LINE_LAKE], 43.0f, -87.9f), 0.2f);    // Lake Michigan at Milwaukee
  EXPECT_LT(nearest(low.kind[MAP_LINE_STATE], 41.0f, -105.0f), 0.2f);  // Colorado and Wyoming
}

}  // namespace
