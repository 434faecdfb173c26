// Checks the browser's picture of the "us" map of the sample hour:
//
//   map_png_check PICTURE.png MAP.svg
//
// - the picture has the page size of the "us" domain (1200 pixels wide, the title
//   strip and 36.8 / 55.2 of that high), worked out here from the domain itself;
// - land boundaries are drawn: pixels of the coastline colour lie on the Gulf coast
//   near known points, and none in the open Gulf;
// - the model of Denver (KDEN, drawn in the document) is at its projected place:
//   the ring of the sky-cover circle around it, the quarter of few clouds
//   filled at its upper right, the rest of the circle empty.
// Prints what it found; exit status 0 when every check holds.
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "geo/geo.h"
#include "geo/map.h"

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows top down
  bool pixel(int x, int y, int *r, int *g, int *b) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    *r = rgb[at];
    *g = rgb[at + 1];
    *b = rgb[at + 2];
    return true;
  }
};

std::uint32_t be32(const std::string &s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 2])) << 8 |
         static_cast<std::uint8_t>(s[at + 3]);
}

int paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Reads an 8-bit RGB or RGBA PNG without interlacing (what the browser writes).
bool read_png(const char *path, Picture &pic, std::string &why) {
  std::ifstream in(path, std::ios::binary);
  const std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (s.size() < 8 || s.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
    why = "no PNG file";
    return false;
  }
  int channels = 0;
  std::string idat;
  for (std::size_t at = 8; at + 12 <= s.size();) {
    const std::uint32_t len = be32(s, at);
    const std::string type = s.substr(at + 4, 4);
    if (at + 12 + len > s.size()) break;
    if (type == "IHDR") {
      pic.width = static_cast<int>(be32(s, at + 8));
      pic.height = static_cast<int>(be32(s, at + 12));
      const int depth = static_cast<std::uint8_t>(s[at + 16]),
                color = static_cast<std::uint8_t>(s[at + 17]);
      const int interlace = static_cast<std::uint8_t>(s[at + 20]);
      channels = color == 2 ? 3 : color == 6 ? 4 : 0;
      if (depth != 8 || channels == 0 || interlace != 0) {
        why = "a PNG of another kind (depth " + std::to_string(depth) + ", colour type " +
              std::to_string(color) + ")";
        return false;
      }
    } else if (type == "IDAT") {
      idat += s.substr(at + 8, len);
    }
    at += 12 + len;
  }
  if (pic.width <= 0 || pic.height <= 0 || pic.width > 10000 || pic.height > 10000) {
    why = "no or a strange picture size";
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(pic.width) * channels;
  std::vector<std::uint8_t> raw((stride + 1) * pic.height);
  uLongf raw_len = raw.size();
  if (uncompress(raw.data(), &raw_len, reinterpret_cast<const Bytef *>(idat.data()), idat.size()) !=
          Z_OK ||
      raw_len != raw.size()) {
    why = "picture data do not inflate";
    return false;
  }
  std::vector<std::uint8_t> cur(stride), prev(stride, 0);
  pic.rgb.resize(static_cast<std::size_t>(pic.width) * pic.height * 3);
  for (int y = 0; y < pic.height; ++y) {
    const std::uint8_t filter = raw[y * (stride + 1)];
    const std::uint8_t *line = &raw[y * (stride + 1) + 1];
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= static_cast<std::size_t>(channels) ? cur[i - channels] : 0;
      const int b = prev[i];
      const int c = i >= static_cast<std::size_t>(channels) ? prev[i - channels] : 0;
      int v = line[i];
      switch (filter) {
        case 1: v += a; break;
        case 2: v += b; break;
        case 3: v += (a + b) / 2; break;
        case 4: v += paeth(a, b, c); break;
        default: break;
      }
      cur[i] = static_cast<std::uint8_t>(v);
    }
    for (int x = 0; x < pic.width; ++x)
      for (int k = 0; k < 3; ++k)
        pic.rgb[(static_cast<std::size_t>(y) * pic.width + x) * 3 + k] = cur[x * channels + k];
    prev.swap(cur);
  }
  return true;
}

// The coastline colour (#1f6fb2), also where the line is blended with the white
// page; the dark blue of the pressures and the grey of the graticule are not.
bool coast_colour(int r, int g, int b) { return b - r >= 60 && g >= 70 && b > g; }
bool dark(int r, int g, int b) { return r + g + b < 3 * 110; }
// A pixel that a black line of one pixel covers at least in part (anti-aliased).
bool inked(int r, int g, int b) { return r + g + b < 3 * 170; }

int checks = 0, failures = 0;
void check(bool ok, const std::string &what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  ++checks;
  if (!ok) ++failures;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: map_png_check PICTURE.png MAP.svg\n");
    return 2;
  }
  Picture pic;
  std::string why;
  if (!read_png(argv[1], pic, why)) {
    std::fprintf(stderr, "map_png_check: %s: %s\n", argv[1], why.c_str());
    return 1;
  }
  std::ifstream svg_in(argv[2]);
  std::stringstream svg;
  svg << svg_in.rdbuf();

  // The "us" domain and its page: 1200 pixels across the domain's width.
  Domain us;
  us.proj = DOM_POLAR;
  us.clat = 39.0f;
  us.clon = -97.0f;
  us.nx = 25;
  us.ny = 17;
  us.dx = us.dy = 2.3f;
  MAP_domain(&us);
  MAP_limits lim;
  MAP_get_limits(&lim);
  const double scale = 1200.0 / (lim.x_max - lim.x_min);
  const int title = 24;
  const int height = title + static_cast<int>(std::lround((lim.y_max - lim.y_min) * scale));
  auto page = [&](float lat, float lon, double *px, double *py) {
    float x, y;
    MAP_tran(lat, lon, &x, &y);
    *px = (x - lim.x_min) * scale;
    *py = title + (lim.y_max - y) * scale;
  };

  check(pic.width == 1200 && pic.height == height, "picture size " + std::to_string(pic.width) +
                                                       " by " + std::to_string(pic.height) +
                                                       ", page 1200 by " + std::to_string(height));

  // Coastline pixels near points of the Gulf coast, none in the open Gulf.
  auto coast_pixels = [&](float lat, float lon, int reach) {
    double px, py;
    page(lat, lon, &px, &py);
    int n = 0, r, g, b;
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx)
        if (pic.pixel(static_cast<int>(px) + dx, static_cast<int>(py) + dy, &r, &g, &b) &&
            coast_colour(r, g, b))
          ++n;
    return n;
  };
  const struct {
    const char *where;
    float lat, lon;
  } shores[] = {
      {"Gulf coast of Louisiana (29.55 N, 92.3 W)", 29.55f, -92.3f},
      {"Gulf coast of Texas (28.6 N, 96.0 W)", 28.6f, -96.0f},
      {"Gulf coast of Florida (30.0 N, 84.4 W)", 30.0f, -84.4f},
  };
  for (const auto &s : shores) {
    const int n = coast_pixels(s.lat, s.lon, 6);
    check(n >= 3,
          std::string(s.where) + ": " + std::to_string(n) + " pixels of the coastline colour");
  }
  const int open = coast_pixels(25.5f, -90.0f, 6);
  check(open == 0,
        "open Gulf (25.5 N, 90 W): " + std::to_string(open) + " pixels of the coastline colour");

  // Denver's model at its projected place.
  check(svg.str().find("<g class=\"station\" data-id=\"KDEN\"") != std::string::npos,
        "KDEN is drawn");
  double cx, cy;
  page(39.85f, -104.65f, &cx, &cy);
  // A page coordinate falls in the pixel below it (pixel i covers i to i + 1).
  auto at = [&](double x, double y, int *r, int *g, int *b) {
    return pic.pixel(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), r, g, b);
  };
  int ring = 0, r, g, b;
  for (int k = 0; k < 16; ++k) {
    const double a = k * 2 * M_PI / 16;
    bool found = false;
    for (double rad = 3.5; rad <= 5.5 && !found; rad += 0.5)
      found = at(cx + rad * std::cos(a), cy + rad * std::sin(a), &r, &g, &b) && inked(r, g, b);
    if (found) ++ring;
  }
  check(ring >= 14, "KDEN circle at (" + std::to_string(cx) + ", " + std::to_string(cy) +
                        "): dark in " + std::to_string(ring) + " of 16 directions");
  check(at(cx + 2, cy - 2, &r, &g, &b) && dark(r, g, b),
        "KDEN few clouds: the upper right quarter filled");
  check(at(cx - 2, cy + 2, &r, &g, &b) && r > 200 && g > 200 && b > 200,
        "KDEN few clouds: the lower left quarter empty");
  std::printf("%d of %d checks hold\n", checks - failures, checks);
  return failures ? 1 : 0;
}
