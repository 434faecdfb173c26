// Station-model maps of gathered reports: one SVG document of the current map
// domain with a station model for every station that has a report.
//
// The page is the domain's rectangle (MAP_get_limits: x to the right, y up) scaled to
// SFC_MAP_WIDTH pixels wide (less when the domain is more than twice as tall as it
// is wide, so that the page stays within SFC_MAP_MAX_HEIGHT), under a title strip of
// SFC_MAP_TITLE pixels. Under the stations lie the graticule every 10 degrees and the
// shorelines, lake shores, state and country borders of the shoreline database
// (geo/shore.h), clipped to the frame. Without a current domain (gathering by a
// station database alone) the map takes a domain that shows the stations: polar
// stereographic around their middle, or the whole globe in latitude and longitude
// when they are spread too far for that.
//
// A station model, drawn around the station's projected place (one group
// <g class="station" data-id="ID" transform="translate(x,y)">):
//   - the sky-cover circle: empty for clear, a quarter filled for few, half for
//     scattered, three quarters for broken, full for overcast, a cross for an
//     obscured sky, "M" for a missing cover (cover in eighths as the usual
//     eighths symbols);
//   - a wind barb from the circle towards the direction the wind comes from (north
//     as the projection shows it at the station), half barb 5 knots, full barb 10,
//     pennant 50, speed rounded to 5 knots, barbs on the clockwise side (the other
//     side south of the equator); a calm wind is a circle around the station; a
//     variable direction (0 with a speed) draws no barb;
//   - temperature at the upper left, present weather (short code) at the left and
//     dew point at the lower left, right-aligned, in whole degrees Fahrenheit; the
//     coded sea-level pressure (last three digits of tenths of millibars) at the
//     upper right, left-aligned; the identifier small below.
// Texts are monospace. Stations whose models would overlap are thinned: models are
// placed in order of station priority (lower digit first, then in the given order)
// and one that would touch a model already placed is left out.
//
// The document is self-contained (no external fonts, images or scripts) and every
// text from the data is escaped (& < > " ' as entities; bytes outside printable
// ASCII as '?'). Warnings and notes go through MESS_print; nothing is thrown. The
// module keeps no state of its own (the shoreline files are kept by geo/shore).
#pragma once

#include <string>
#include <vector>

#include "messages/messages.h"
#include "surface/report.h"

/// Page width in pixels.
constexpr float SFC_MAP_WIDTH = 1200.0f;
/// Height of the tallest page in pixels.
constexpr float SFC_MAP_MAX_HEIGHT = 2400.0f;
/// Height of the title strip above the map, pixels.
constexpr float SFC_MAP_TITLE = 24.0f;
/// Fastest wind drawn as a barb, knots (a faster one is taken for a fault).
constexpr float SFC_MAP_MAX_WIND = 300.0f;

/// One station of a map.
struct SFC_map_station {
  SFC_report report;     // the decoded report (an all-missing one draws as a circle with "M")
  std::string id;        // the station's identifier
  float lat = -9999.0f;  // the station's place, degrees
  float lon = -9999.0f;
  int prior = 9;  // station priority, 0 most important
};

/// Where map coordinates fall on the page.
struct SFC_map_page {
  float x_min = 0.0f, y_max = 0.0f;  // map coordinates of the frame's upper left corner
  float scale = 1.0f;                // pixels per map unit
  int width = 0, height = 0;         // page size in pixels, title strip included
  /// Page column of map x.
  float px(float x) const { return (x - x_min) * scale; }
  /// Page row of map y.
  float py(float y) const { return SFC_MAP_TITLE + (y_max - y) * scale; }
};

/// What a map shows.
struct SFC_map_info {
  SFC_map_page page;
  int stations = 0;     // stations with a report inside the frame
  int drawn = 0;        // station models drawn
  int thinned = 0;      // models left out because they would overlap others
  int lines = 0;        // shoreline and border lines drawn; -1 without the database
  bool fitted = false;  // the domain was chosen to show the stations
};

/// Builds the SVG document of the current map domain with `stations`, titled
/// `title` (escaped). `info` (may be null) gets what the map shows. A domain without
/// an extent on the page, or without a station inside, gives a map with its frame
/// and a note.
std::string SFC_map_svg(const std::vector<SFC_map_station> &stations, const char *title,
                        SFC_map_info *info = nullptr);

/// Writes the document of SFC_map_svg in one MESS_print with class `level`. Builds
/// nothing when `level` is not shown. Returns 0.
int SFC_print_map(M_type level, const std::vector<SFC_map_station> &stations, const char *title);

/// The sky cover of a report: eighths 0 to 8, 9 for an obscured sky, -1 when the
/// report has no cover. The fullest layer counts (letter codes: clear 0, few 2,
/// scattered 4, broken 6, overcast 8, their thin forms the same; digits as eighths);
/// an obscured layer (vertical visibility) makes the sky obscured; a partly obscured
/// layer adds nothing.
int SFC_map_sky_cover(const SFC_report &report);

/// The barbs of a wind speed rounded to 5 knots: pennants of 50, full barbs of 10
/// and half barbs of 5 into the three outputs. False (nothing set) for a speed that
/// is missing, negative, not a number or above SFC_MAP_MAX_WIND.
bool SFC_map_barbs(float speed, int *pennants, int *full, int *half);

/// The coded sea-level pressure: the last three digits of the pressure in tenths of
/// millibars ("132" for 1013.2), into `code` (4 bytes). False for a pressure that is
/// missing or outside 0 to 2000 millibars.
bool SFC_map_pressure_code(float pmb, char *code);

/// Appends `text` to `out` escaped for XML text and attribute values.
void SFC_map_escape(std::string &out, const std::string &text);
