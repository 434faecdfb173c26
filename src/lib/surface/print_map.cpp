// Station-model maps of gathered reports, as SVG documents.
#include "surface/print_map.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "geo/map.h"
#include "geo/shore.h"
#include "surface/weather.h"

namespace {

// The lesser warning class ("warn c"): the lower bit of the warning group.
constexpr M_type kLesserWarning = M_WARN & ~(M_WARN << 1);

constexpr double DEG = 0.017453292519943334;

// ---- the station model, in pixels around the station --------------------------------

constexpr float kRadius = 4.5f;        // sky-cover circle
constexpr float kCalm = 7.5f;          // circle of a calm wind
constexpr float kShaft = 26.0f;        // barb shaft, from the centre to the tip
constexpr float kFeather = 10.0f;      // length of a full barb or pennant side
constexpr float kFeatherTurn = 60.0f;  // degrees between shaft and barb
constexpr float kBarbStep = 4.0f;      // distance between barbs along the shaft
constexpr float kPennant = 5.0f;       // width of a pennant along the shaft
constexpr float kFont = 11.0f;         // numbers and weather
constexpr float kIdFont = 8.0f;        // identifier
constexpr float kCharWidth = 0.6f;     // monospace advance, in font sizes
constexpr float kAscent = 0.8f;        // text above the baseline, in font sizes
constexpr float kDescent = 0.25f;      // text below the baseline, in font sizes
constexpr float kGap = 2.5f;           // between the circle and the texts beside it
constexpr float kUpper = -4.0f;        // baselines: temperature and pressure
constexpr float kMiddle = 5.0f;        // weather
constexpr float kLower = 14.0f;        // dew point
constexpr float kIdLine = 22.0f;       // identifier
constexpr float kThinCell = 32.0f;     // cell of the grid that finds neighbouring models

// ---- fitted domains --------------------------------------------------------------------

constexpr double kFitSpread = 60.0;  // degrees from the middle beyond which the globe is shown
constexpr float kFitMargin = 0.08f;  // margin around the stations, part of the extent
constexpr float kFitMinHalf = 2.0f;  // smallest half extent, map units (200 km)
constexpr int kFitCells = 48;        // grid spacings across the larger extent

// ---- numbers and text ------------------------------------------------------------------

// Appends `v` rounded to one decimal, without a trailing ".0" ("12.5", "-3", "0");
// a value that is no number, or beyond a billion, as 0.
void num(std::string &out, float v) {
  const double tenths = std::round(static_cast<double>(v) * 10.0);
  if (!(std::fabs(tenths) < 1e10)) {
    out += '0';
    return;
  }
  long long t = static_cast<long long>(tenths);
  if (t < 0) {
    out += '-';
    t = -t;
  }
  char buf[24];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, t / 10).ptr);
  if (t % 10) {
    out += '.';
    out += static_cast<char>('0' + t % 10);
  }
}

void pair(std::string &out, float x, float y) {
  num(out, x);
  out += ',';
  num(out, y);
}

bool present(float v) { return v != SFC_MISSING_F && std::isfinite(v); }

// A whole number of degrees, or false for a value that is missing or absurd.
bool whole_degrees(float v, long *out) {
  if (!present(v) || std::fabs(v) >= 1000.0f) return false;
  *out = std::lround(v);
  return true;
}

// ---- boxes -------------------------------------------------------------------------------

struct Box {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty = true;
  void add(float ax, float ay, float bx, float by) {
    if (empty) {
      *this = {std::fmin(ax, bx), std::fmin(ay, by), std::fmax(ax, bx), std::fmax(ay, by), false};
      return;
    }
    x0 = std::fmin(x0, std::fmin(ax, bx));
    y0 = std::fmin(y0, std::fmin(ay, by));
    x1 = std::fmax(x1, std::fmax(ax, bx));
    y1 = std::fmax(y1, std::fmax(ay, by));
  }
  void add(float x, float y) { add(x, y, x, y); }
  bool meets(const Box &o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

// ---- one station model -----------------------------------------------------------------

// The elements of one model (relative to the station) and the box they cover.
struct Model {
  std::string svg;
  Box box;
};

// A text of the model: `anchor` "end" (right-aligned at x), "start" or "middle".
void text(Model &m, const char *cls, float x, float y, const char *anchor, float font,
          const std::string &content) {
  const float w = static_cast<float>(content.size()) * kCharWidth * font;
  const float left = anchor[0] == 'e' ? x - w : anchor[0] == 's' ? x : x - w / 2;
  m.box.add(left, y - kAscent * font, left + w, y + kDescent * font);
  m.svg += "<text class=\"";
  m.svg += cls;
  m.svg += "\" x=\"";
  num(m.svg, x);
  m.svg += "\" y=\"";
  num(m.svg, y);
  m.svg += '"';
  if (anchor[0] != 's') {
    m.svg += " text-anchor=\"";
    m.svg += anchor;
    m.svg += '"';
  }
  m.svg += '>';
  SFC_map_escape(m.svg, content);
  m.svg += "</text>";
}

// The sky-cover circle and its filling.
void cover(Model &m, int eighths) {
  const float r = kRadius;
  m.box.add(-r - 1, -r - 1, r + 1, r + 1);
  std::string fill;   // filled part
  std::string lines;  // lines drawn across the circle
  switch (eighths) {
    case 1: lines = "M0,-4.5V4.5"; break;
    case 2:
    case 3:
      fill = "M0,0V-4.5A4.5,4.5 0 0 1 4.5,0Z";
      if (eighths == 3) lines = "M0,0V4.5";
      break;
    case 4:
    case 5:
      fill = "M0,-4.5A4.5,4.5 0 0 1 0,4.5Z";
      if (eighths == 5) lines = "M0,0H-4.5";
      break;
    case 6: fill = "M0,0V-4.5A4.5,4.5 0 1 1 -4.5,0Z"; break;
    case 7:
    case 8: break;
    case 9: lines = "M-3.2,-3.2L3.2,3.2M-3.2,3.2L3.2,-3.2"; break;
    default: break;
  }
  m.svg += eighths >= 7 && eighths <= 8 ? "<circle class=\"f\" r=\"4.5\"/>"
                                        : "<circle class=\"c\" r=\"4.5\"/>";
  if (eighths == 7) m.svg += "<path class=\"g\" d=\"M0,-4.5V4.5\"/>";
  if (!fill.empty()) m.svg += "<path class=\"k\" d=\"" + fill + "\"/>";
  if (!lines.empty()) m.svg += "<path class=\"l\" d=\"" + lines + "\"/>";
  if (eighths < 0) m.svg += "<text class=\"m\" y=\"2.5\" text-anchor=\"middle\">M</text>";
}

// The wind: a barb from the circle towards where the wind comes from, or the calm
// circle. (dx, dy) is the page direction the wind comes from, (rx, ry) the side the
// barbs go to; both of length 1.
void wind(Model &m, const SFC_report &r, float dx, float dy, float rx, float ry) {
  if (!present(r.w_spd) || !present(r.w_dir)) return;
  if (std::lround(r.w_spd) == 0 && r.w_spd >= 0.0f) {
    m.svg += "<circle class=\"l\" r=\"7.5\"/>";
    m.box.add(-kCalm - 1, -kCalm - 1, kCalm + 1, kCalm + 1);
    return;
  }
  int pennants = 0, full = 0, half = 0;
  if (r.w_dir == 0.0f || !SFC_map_barbs(r.w_spd, &pennants, &full, &half)) return;
  auto at = [&](float s, float side, float along, float *x, float *y) {
    *x = dx * (s + along) + rx * side;
    *y = dy * (s + along) + ry * side;
    m.box.add(*x, *y);
  };
  const float out = kFeather * static_cast<float>(std::cos(kFeatherTurn * DEG));
  const float side = kFeather * static_cast<float>(std::sin(kFeatherTurn * DEG));
  std::string shaft = "M";
  std::string flags;
  float x, y;
  at(kRadius, 0, 0, &x, &y);
  pair(shaft, x, y);
  at(kShaft, 0, 0, &x, &y);
  shaft += 'L';
  pair(shaft, x, y);
  float s = kShaft;
  for (int i = 0; i < pennants; ++i) {
    flags += 'M';
    at(s, 0, 0, &x, &y);
    pair(flags, x, y);
    flags += 'L';
    at(s, side, out, &x, &y);
    pair(flags, x, y);
    flags += 'L';
    at(s - kPennant, 0, 0, &x, &y);
    pair(flags, x, y);
    flags += 'Z';
    s -= kPennant + 1.0f;
  }
  if (pennants == 0 && full == 0) s -= kBarbStep;  // a lone half barb stands off the tip
  for (int i = 0; i < full + half; ++i) {
    const float len = i < full ? 1.0f : 0.5f;
    shaft += 'M';
    at(s, 0, 0, &x, &y);
    pair(shaft, x, y);
    shaft += 'L';
    at(s, side * len, out * len, &x, &y);
    pair(shaft, x, y);
    s -= kBarbStep;
  }
  m.svg += "<path class=\"l\" d=\"" + shaft + "\"/>";
  if (!flags.empty()) m.svg += "<path class=\"k\" d=\"" + flags + "\"/>";
}

// The direction of north on the page at a station (dx, dy of length 1); straight up
// when the projection cannot tell.
void page_north(float lat, float lon, float x, float y, float *nx, float *ny) {
  *nx = 0.0f;
  *ny = -1.0f;
  const float step = lat > 89.0f ? -0.05f : 0.05f;
  float x2, y2;
  if (!MAP_tran(lat + step, lon, &x2, &y2)) return;
  float ex = x2 - x, ey = y2 - y;
  if (step < 0) {
    ex = -ex;
    ey = -ey;
  }
  const float len = std::hypot(ex, ey);
  if (!(len > 0.0f) || !std::isfinite(len)) return;
  *nx = ex / len;
  *ny = -ey / len;  // page rows grow downwards
}

Model station_model(const SFC_map_station &st, float x, float y) {
  Model m;
  const SFC_report &r = st.report;
  cover(m, SFC_map_sky_cover(r));

  // Direction the wind comes from: north turned clockwise by the wind direction.
  float nx, ny;
  page_north(st.lat, st.lon, x, y, &nx, &ny);
  const double a = present(r.w_dir) ? r.w_dir * DEG : 0.0;
  const float ex = -ny, ey = nx;  // east on the page: north turned clockwise
  const float dx = static_cast<float>(nx * std::cos(a) + ex * std::sin(a));
  const float dy = static_cast<float>(ny * std::cos(a) + ey * std::sin(a));
  const float turn = st.lat < 0.0f ? -1.0f : 1.0f;  // barbs clockwise of the shaft in the north
  wind(m, r, dx, dy, -dy * turn, dx * turn);

  long v;
  const float left = -kRadius - kGap, right = kRadius + kGap;
  if (whole_degrees(r.t, &v)) text(m, "t", left, kUpper, "end", kFont, std::to_string(v));
  char wx[SFC_WEATHER_SIZE] = "";
  WX_short_code(r.weather, wx, sizeof wx);
  if (wx[0] && wx[0] != ' ') text(m, "x", left, kMiddle, "end", kFont, wx);
  if (whole_degrees(r.td, &v)) text(m, "d", left, kLower, "end", kFont, std::to_string(v));
  char code[4];
  if (SFC_map_pressure_code(r.pmb, code)) text(m, "p", right, kUpper, "start", kFont, code);
  if (!st.id.empty()) text(m, "i", 0.0f, kIdLine, "middle", kIdFont, st.id);
  return m;
}

// ---- domains ---------------------------------------------------------------------------

bool valid_limits(const MAP_limits &l) {
  return std::isfinite(l.x_min) && std::isfinite(l.x_max) && std::isfinite(l.y_min) &&
         std::isfinite(l.y_max) && l.x_max > l.x_min && l.y_max > l.y_min;
}

bool valid_place(const SFC_map_station &s) {
  return std::isfinite(s.lat) && std::isfinite(s.lon) && s.lat >= -90.0f && s.lat <= 90.0f &&
         std::fabs(s.lon) <= 360.0f;
}

// A domain that shows the stations with a report: polar stereographic around their
// middle, or the globe in latitude and longitude when they lie too far apart.
Domain fit_domain(const std::vector<SFC_map_station> &stations) {
  double sx = 0, sy = 0, sz = 0;
  int n = 0;
  for (const SFC_map_station &s : stations) {
    if (!valid_place(s)) continue;
    sx += std::cos(s.lat * DEG) * std::cos(s.lon * DEG);
    sy += std::cos(s.lat * DEG) * std::sin(s.lon * DEG);
    sz += std::sin(s.lat * DEG);
    ++n;
  }
  Domain d;
  const double len = std::sqrt(sx * sx + sy * sy + sz * sz);
  const float clat =
      n ? static_cast<float>(std::asin(std::clamp(sz / len, -1.0, 1.0)) / DEG) : 0.0f;
  const float clon = n ? static_cast<float>(std::atan2(sy, sx) / DEG) : 0.0f;
  double spread = 0;
  for (const SFC_map_station &s : stations) {
    if (!valid_place(s)) continue;
    const double c = std::sin(clat * DEG) * std::sin(s.lat * DEG) +
                     std::cos(clat * DEG) * std::cos(s.lat * DEG) * std::cos((s.lon - clon) * DEG);
    spread = std::max(spread, std::acos(std::clamp(c, -1.0, 1.0)) / DEG);
  }
  if (n == 0 || !(len > n * 1e-3) || spread > kFitSpread) {
    d.proj = DOM_LATLON;
    d.clat = 0.0f;
    d.clon = n ? std::round(clon) : 0.0f;
    d.nx = 361;
    d.ny = 181;
    d.dx = d.dy = 1.0f;
    return d;
  }
  d.proj = DOM_POLAR;
  d.clat = clat;
  d.clon = clon;
  d.nx = d.ny = 3;
  d.dx = d.dy = 1.0f;
  MAP_domain(&d);
  float xc, yc;
  MAP_tran_center(&xc, &yc);
  float hx = 0, hy = 0;
  for (const SFC_map_station &s : stations) {
    float x, y;
    if (!valid_place(s) || !MAP_tran(s.lat, s.lon, &x, &y)) continue;
    hx = std::max(hx, std::fabs(x - xc));
    hy = std::max(hy, std::fabs(y - yc));
  }
  hx = std::max(hx * (1 + kFitMargin), kFitMinHalf);
  hy = std::max(hy * (1 + kFitMargin), kFitMinHalf);
  hx = std::max(hx, hy / 2);  // neither side less than half the other
  hy = std::max(hy, hx / 2);
  d.dx = d.dy = 2 * std::max(hx, hy) / kFitCells;
  d.nx = 2 * static_cast<int>(std::ceil(hx / d.dx)) + 1;
  d.ny = 2 * static_cast<int>(std::ceil(hy / d.dx)) + 1;
  return d;
}

SFC_map_page page_of(const MAP_limits &l) {
  SFC_map_page p;
  p.x_min = l.x_min;
  p.y_max = l.y_max;
  const double w = static_cast<double>(l.x_max) - l.x_min,
               h = static_cast<double>(l.y_max) - l.y_min;
  double scale = SFC_MAP_WIDTH / w;
  if (h * scale > SFC_MAP_MAX_HEIGHT) scale = SFC_MAP_MAX_HEIGHT / h;
  p.scale = static_cast<float>(scale);
  p.width = std::max(1, static_cast<int>(std::lround(w * scale)));
  p.height =
      static_cast<int>(SFC_MAP_TITLE) + std::max(1, static_cast<int>(std::lround(h * scale)));
  return p;
}

// ---- the document --------------------------------------------------------------------------

constexpr const char *kStyle =
    "<style>"
    ".bg{fill:#fff}"
    ".frame{fill:none;stroke:#000;stroke-width:1}"
    ".grat{fill:none;stroke:#b0b0b0;stroke-width:0.5;stroke-dasharray:2 3}"
    ".coast{fill:none;stroke:#1f6fb2;stroke-width:1.2;stroke-linejoin:round}"
    ".lake{fill:none;stroke:#1f6fb2;stroke-width:0.7;stroke-linejoin:round}"
    ".country{fill:none;stroke:#6b4e2e;stroke-width:1.2;stroke-linejoin:round}"
    ".state{fill:none;stroke:#b09070;stroke-width:0.6;stroke-linejoin:round}"
    "text{font-family:monospace;font-size:11px}"
    ".title{font-size:13px;fill:#000;white-space:pre}"
    ".c{fill:#fff;stroke:#000;stroke-width:1}"
    ".f{fill:#000;stroke:#000;stroke-width:1}"
    ".k{fill:#000;stroke:none}"
    ".l{fill:none;stroke:#000;stroke-width:1}"
    ".g{stroke:#fff;stroke-width:1.2}"
    ".t{fill:#c62828}"
    ".d{fill:#2e7d32}"
    ".p{fill:#1a237e}"
    ".x{fill:#6a1b9a}"
    ".i{fill:#555;font-size:8px}"
    ".m{font-size:7px;fill:#000}"
    "</style>\n";

// One <path> of every line of a kind, in page coordinates.
void lines_path(std::string &out, const char *cls, const std::vector<MAP_polyline> &lines,
                const SFC_map_page &page) {
  if (lines.empty()) return;
  out += "<path class=\"";
  out += cls;
  out += "\" d=\"";
  for (const MAP_polyline &line : lines) {
    out += 'M';
    float lx = 0, ly = 0;
    for (std::size_t i = 0; i + 1 < line.size(); i += 2) {
      const float x = std::round(page.px(line[i]) * 10) / 10,
                  y = std::round(page.py(line[i + 1]) * 10) / 10;
      if (i > 0 && i + 2 < line.size() && x == lx && y == ly) continue;  // no step on the page
      if (i > 0) out += ' ';
      pair(out, x, y);
      lx = x;
      ly = y;
    }
  }
  out += "\"/>\n";
}

}  // namespace

int SFC_map_sky_cover(const SFC_report &report) {
  const int layers = std::clamp(report.num_cld, 0, SFC_MAX_CLD);
  int best = -1;
  for (int i = 0; i < layers; ++i) {
    int eighths = -1;
    switch (report.cld_cover[i]) {
      case 'C': eighths = 0; break;
      case 'F': eighths = 2; break;
      case 'S':
      case 's': eighths = 4; break;
      case 'B':
      case 'b': eighths = 6; break;
      case 'O':
      case 'o': eighths = 8; break;
      case 'X': return 9;
      default:
        if (report.cld_cover[i] >= '0' && report.cld_cover[i] <= '8')
          eighths = report.cld_cover[i] - '0';
        else if (report.cld_cover[i] == '9')
          return 9;
        break;
    }
    best = std::max(best, eighths);
  }
  return best;
}

bool SFC_map_barbs(float speed, int *pennants, int *full, int *half) {
  if (!present(speed) || speed < 0.0f || speed > SFC_MAP_MAX_WIND) return false;
  const int knots = static_cast<int>(std::lround(speed / 5.0f)) * 5;
  *pennants = knots / 50;
  *full = knots % 50 / 10;
  *half = knots % 10 / 5;
  return true;
}

bool SFC_map_pressure_code(float pmb, char *code) {
  if (!present(pmb) || pmb <= 0.0f || pmb >= 2000.0f) return false;
  const long tenths = std::lround(pmb * 10.0) % 1000;
  code[0] = static_cast<char>('0' + tenths / 100);
  code[1] = static_cast<char>('0' + tenths / 10 % 10);
  code[2] = static_cast<char>('0' + tenths % 10);
  code[3] = '\0';
  return true;
}

void SFC_map_escape(std::string &out, const std::string &text) {
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += (c >= 0x20 && c < 0x7f) ? c : '?'; break;
    }
  }
}

std::string SFC_map_svg(const std::vector<SFC_map_station> &stations, const char *title,
                        SFC_map_info *info) {
  SFC_map_info local;
  SFC_map_info &inf = info ? *info : local;
  inf = SFC_map_info{};

  // Without a domain the map takes one that shows the stations; the current domain
  // is put back afterwards.
  Domain saved;
  MAP_get_domain(&saved);
  if (saved.proj == DOM_NONE) {
    const Domain fitted = fit_domain(stations);
    MAP_domain(&fitted);
    inf.fitted = true;
  }
  MAP_limits limits;
  MAP_get_limits(&limits);
  const bool extent = valid_limits(limits);
  if (!extent) {
    MESS_print(kLesserWarning,
               "SFC_print_map: The domain has no extent on a map: the map is empty\n");
    limits = {0.0f, SFC_MAP_WIDTH, 0.0f, SFC_MAP_WIDTH * 2 / 3};
  }
  const SFC_map_page page = page_of(limits);
  inf.page = page;

  std::string svg;
  svg.reserve(1 << 18);
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(page.width) +
         "\" height=\"" + std::to_string(page.height) + "\" viewBox=\"0 0 " +
         std::to_string(page.width) + " " + std::to_string(page.height) + "\">\n<title>";
  SFC_map_escape(svg, title ? title : "");
  svg += "</title>\n";
  svg += kStyle;
  svg += "<rect class=\"bg\" width=\"" + std::to_string(page.width) + "\" height=\"" +
         std::to_string(page.height) + "\"/>\n";

  // Lines under the stations: graticule, shores, borders.
  if (extent) {
    std::vector<MAP_polyline> grid;
    MAP_graticule(MAP_GRATICULE_STEP, grid);
    svg += "<g class=\"map\">\n";
    lines_path(svg, "grat", grid, page);
    MAP_lines lines;
    const float km_per_pixel = 100.0f / page.scale;
    inf.lines = MAP_shore_lines(MAP_shore_resolution(km_per_pixel), lines);
    lines_path(svg, "lake", lines.kind[MAP_LINE_LAKE], page);
    lines_path(svg, "coast", lines.kind[MAP_LINE_COAST], page);
    lines_path(svg, "state", lines.kind[MAP_LINE_STATE], page);
    lines_path(svg, "country", lines.kind[MAP_LINE_COUNTRY], page);
    svg += "</g>\n";
  }
  const float top = SFC_MAP_TITLE;
  svg += "<rect class=\"frame\" x=\"0.5\" y=\"";
  num(svg, top + 0.5f);
  svg += "\" width=\"" + std::to_string(page.width - 1) + "\" height=\"" +
         std::to_string(page.height - static_cast<int>(top) - 1) + "\"/>\n";

  // The stations inside the frame, placed by priority; a model that would touch one
  // already placed is left out.
  struct Placed {
    std::size_t index;
    float x, y;
    Model model;
  };
  std::vector<Placed> inside;
  if (extent) {
    for (std::size_t i = 0; i < stations.size(); ++i) {
      float x, y;
      if (!valid_place(stations[i]) || !MAP_tran(stations[i].lat, stations[i].lon, &x, &y))
        continue;
      if (!(x >= limits.x_min && x <= limits.x_max && y >= limits.y_min && y <= limits.y_max))
        continue;
      const float px = std::round(page.px(x) * 10) / 10, py = std::round(page.py(y) * 10) / 10;
      inside.push_back({i, px, py, station_model(stations[i], x, y)});
    }
  }
  inf.stations = static_cast<int>(inside.size());
  std::vector<std::size_t> order(inside.size());
  std::iota(order.begin(), order.end(), 0);
  auto rank = [&](std::size_t k) {
    const int p = stations[inside[k].index].prior;
    return p < 0 ? 10 : std::min(p, 10);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
  const int cols = page.width / static_cast<int>(kThinCell) + 1;
  const int rows = page.height / static_cast<int>(kThinCell) + 1;
  std::vector<std::vector<Box>> cells(static_cast<std::size_t>(cols) * rows);
  auto cell_range = [&](const Box &b, int *c0, int *c1, int *r0, int *r1) {
    *c0 = std::clamp(static_cast<int>(std::floor(b.x0 / kThinCell)), 0, cols - 1);
    *c1 = std::clamp(static_cast<int>(std::floor(b.x1 / kThinCell)), 0, cols - 1);
    *r0 = std::clamp(static_cast<int>(std::floor(b.y0 / kThinCell)), 0, rows - 1);
    *r1 = std::clamp(static_cast<int>(std::floor(b.y1 / kThinCell)), 0, rows - 1);
  };
  std::vector<char> drawn(inside.size(), 0);
  for (std::size_t k : order) {
    Box b = inside[k].model.box;
    b = {b.x0 + inside[k].x, b.y0 + inside[k].y, b.x1 + inside[k].x, b.y1 + inside[k].y, false};
    int c0, c1, r0, r1;
    cell_range(b, &c0, &c1, &r0, &r1);
    bool free = true;
    for (int r = r0; r <= r1 && free; ++r)
      for (int c = c0; c <= c1 && free; ++c)
        for (const Box &o : cells[static_cast<std::size_t>(r) * cols + c])
          if (o.meets(b)) {
            free = false;
            break;
          }
    if (!free) continue;
    drawn[k] = 1;
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) cells[static_cast<std::size_t>(r) * cols + c].push_back(b);
  }

  svg += "<g class=\"stations\">\n";
  for (std::size_t k = 0; k < inside.size(); ++k) {
    if (!drawn[k]) continue;
    ++inf.drawn;
    svg += "<g class=\"station\" data-id=\"";
    SFC_map_escape(svg, stations[inside[k].index].id);
    svg += "\" transform=\"translate(";
    pair(svg, inside[k].x, inside[k].y);
    svg += ")\">";
    svg += inside[k].model.svg;
    svg += "</g>\n";
  }
  svg += "</g>\n";
  inf.thinned = inf.stations - inf.drawn;

  // The title strip.
  std::string heading = title ? title : "";
  char counts[96];
  if (inf.stations == 0) {
    MESS_print(kLesserWarning, "SFC_print_map: No station with a report inside the map\n");
    std::snprintf(counts, sizeof counts, "  no station with a report");
  } else {
    std::snprintf(counts, sizeof counts, "  %d stations, %d drawn", inf.stations, inf.drawn);
  }
  heading += counts;
  svg += "<text class=\"title\" x=\"6\" y=\"17\">";
  SFC_map_escape(svg, heading);
  svg += "</text>\n</svg>\n";

  if (inf.fitted) MAP_domain(&saved);
  return svg;
}

int SFC_print_map(M_type level, const std::vector<SFC_map_station> &stations, const char *title) {
  if (!MESS_check(level)) return 0;
  const std::string svg = SFC_map_svg(stations, title);
  MESS_print(level, "%s", svg.c_str());
  return 0;
}
