// Fuzzes the map writer: a domain of any values (or none) made current, then up to
// 64 stations of any place, priority and identifier whose reports are any bytes
// (numbers of every kind, texts without their ends). The document must be well
// formed ASCII XML with no "nan" or "inf" in it, its counts must agree with the
// station groups it holds, its page must stay within its bounds, and the current
// domain must be the one it was before.
// Input layout: one byte picking the projection code (its top bit: with the
// installed shoreline database, else with none), eight floats (clat, clon, dx,
// dy, plat, plon, param[0], param[1]), two 32-bit integers (nx, ny); then per
// station two floats (lat, lon), one byte of priority, one byte of identifier length
// (at most 12) and the identifier, then up to 320 bytes laid over an initialised
// report.
// The installed shoreline database (where there is one) is read once and kept
// between inputs; drawing its lines is slow under the sanitizers, so only inputs
// that ask for it get it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/lib/surface/xml_check.h"
#include "byte_reader.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "geo/map.h"
#include "geo/shore.h"
#include "messages/messages.h"
#include "surface/print_map.h"

namespace {

constexpr int kCodes[] = {DOM_NONE,  DOM_POLAR,    DOM_LATLON,    DOM_MERCATOR,  DOM_LAMBERT,
                          DOM_ORTHO, DOM_GNOMONIC, DOM_MOLLWEIDE, DOM_AZIMUTHAL, DOM_SATELLITE,
                          DOM_XY,    DOM_UNKNOWN,  DOM_PIXEL};
constexpr std::size_t kNumCodes = sizeof kCodes / sizeof kCodes[0];
constexpr std::size_t kMaxStations = 64;
constexpr std::size_t kMaxId = 12;

// The document without the texts that come from the data (identifiers, weather,
// titles), which may spell anything.
std::string without_data_texts(const std::string &svg) {
  std::string out;
  std::size_t at = 0;
  while (at < svg.size()) {
    const std::size_t text = svg.find("<text", at), title = svg.find("<title>", at),
                      id = svg.find("data-id=\"", at);
    const std::size_t next = std::min(text, std::min(title, id));
    if (next == std::string::npos) break;
    out.append(svg, at, next - at);
    std::size_t end;
    if (next == id)
      end = svg.find('"', id + 9);
    else if (next == title)
      end = svg.find("</title>", title);
    else
      end = svg.find("</text>", text);
    if (end == std::string::npos) return out;
    at = end + 1;
  }
  out.append(svg, at, std::string::npos);
  return out;
}

int count(const std::string &text, const char *what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  MESS_set(MESS_USER_SET, 0);  // notes and warnings are not what is checked
  MAP_reset_state();
  ByteReader in{data, size};
  Domain d;
  const uint8_t pick = in.take<uint8_t>();
  d.proj = kCodes[(pick & 0x7f) % kNumCodes];
  setenv(MAP_SHORE_ENV, (pick & 0x80) ? MAP_SHORE_DIR : "/nonexistent/shoreline", 1);
  d.clat = in.take<float>();
  d.clon = in.take<float>();
  d.dx = in.take<float>();
  d.dy = in.take<float>();
  d.plat = in.take<float>();
  d.plon = in.take<float>();
  d.param[0] = in.take<float>();
  d.param[1] = in.take<float>();
  d.nx = in.take<int32_t>();
  d.ny = in.take<int32_t>();
  MAP_domain(&d);
  const int proj_before = MAP_get_proj();

  std::vector<SFC_map_station> stations;
  while (in.left > 0 && stations.size() < kMaxStations) {
    SFC_map_station &s = stations.emplace_back();
    s.lat = in.take<float>();
    s.lon = in.take<float>();
    s.prior = static_cast<int8_t>(in.take<uint8_t>());
    char id[kMaxId];
    const std::size_t len = in.take<uint8_t>() % (kMaxId + 1);
    s.id.assign(id, in.bytes(id, len));
    SFC_initialize(&s.report);
    in.bytes(&s.report, sizeof s.report);
  }

  SFC_map_info info;
  const std::string svg = SFC_map_svg(stations, "fuzz <&>", &info);
  const std::string fault = xml_check::Check(svg);
  if (!fault.empty()) {
    std::fprintf(stderr, "not well formed: %s\n", fault.c_str());
    std::abort();
  }
  const std::string numbers = without_data_texts(svg);
  if (numbers.find("nan") != std::string::npos || numbers.find("inf") != std::string::npos)
    std::abort();
  if (count(svg, "<g class=\"station\"") != info.drawn) std::abort();
  if (info.drawn + info.thinned != info.stations ||
      info.stations > static_cast<int>(stations.size()))
    std::abort();
  if (info.page.width < 1 || info.page.width > SFC_MAP_WIDTH + 1 ||
      info.page.height <= SFC_MAP_TITLE ||
      info.page.height > SFC_MAP_TITLE + SFC_MAP_MAX_HEIGHT + 1)
    std::abort();
  if (MAP_get_proj() != proj_before) std::abort();
  return 0;
}
