// Decoding of domain strings: the templates of parameter lists, projection names and
// their colon pieces, region references and station locations.
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "files/files.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/util.h"

namespace {

constexpr M_type kTraceClass = M_DEBUG & M_SUB_C;  // debug c: the template that matched

// Module state of the decoder.
struct DomState {
  int priority = 3;                             // station priority of the last domain
  int loc_prior = 4;                            // local station priority
  DOM_station_lookup station_lookup = nullptr;  // behind "id:" items
  int depth = 0;                                // region references being decoded
  std::string missing_station;                  // the last "id:" item not found
};
DomState g_dom;

// ---- numbers ---------------------------------------------------------------------------

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && zyp::is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && zyp::is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// The whole text (blanks around it allowed) as a finite decimal number that fits a
// float; a plus sign is taken like a minus sign.
bool read_float(std::string_view s, float &out) {
  s = trimmed(s);
  // The number reader would allow other white space after the number; a domain
  // parameter allows only blanks.
  if (s.empty() || zyp::is_space(s.back())) return false;
  return zyp::read_float(s, out);
}

// The whole text (blanks around it allowed) as a decimal integer of 32 bits.
bool read_int(std::string_view s, int &out) {
  s = trimmed(s);
  if (s.empty() || zyp::is_space(s.back())) return false;
  return zyp::read_int(s, out);
}

// A whole-number part of a float as an int, or -9999 when it has none in range.
int whole(float v) {
  return std::isfinite(v) && std::fabs(v) < 2.0e9f ? static_cast<int>(v) : -9999;
}

bool is_miss(const char *s) { return stricmp(s, "miss") == 0 || stricmp(s, "none") == 0; }
bool starts_id(const char *s) { return strnicmp(s, "id:", 3) == 0; }

// A projection on the earth, or none yet (the templates without a projection item
// complete to polar stereographic).
bool on_map(int proj) { return proj == DOM_NONE || (proj >= DOM_POLAR && proj <= DOM_SATELLITE); }

// A grid spacing: positive on a map; a diagram's axis may also run backwards.
bool spacing_ok(float v, int proj) { return v > 0.0f || (!on_map(proj) && v != 0.0f); }

// ---- items -----------------------------------------------------------------------------

// A projection name with optional colon pieces: "ps:-100" (the reference longitude),
// or "name[:e]:plat:plon:p0:p1:p2:p3" (empty pieces leave their value missing).
bool take_projection(const char *param, Domain *d) {
  int code = DOM_proj_str(param);
  if (code == DOM_UNKNOWN) {
    d->proj = DOM_POLAR;
    return false;
  }
  d->proj = code;
  ParsedList pieces;
  parse_string(param, ':', pieces);
  if (pieces.size() == 2) return read_float(pieces[1], d->plon);
  size_t i = 1;
  if (i < pieces.size() && pieces[i] == "e") {
    d->ellipse = 1;
    ++i;
  }
  float *slots[] = {&d->plat, &d->plon, &d->param[0], &d->param[1], &d->param[2], &d->param[3]};
  if (pieces.size() - i > std::size(slots)) return false;  // more pieces than values
  for (float *slot : slots) {
    if (i >= pieces.size()) break;
    const std::string &piece = pieces[i++];
    if (trimmed(piece).empty()) continue;
    if (!read_float(piece, *slot)) return false;
  }
  return std::fabs(d->plat) <= 90.0f || d->plat == -9999.0f || !on_map(code);
}

// "id:STATION" or "id:FILE:STATION": the station's location becomes the centre.
bool take_station(const char *param, Domain *d) {
  if (!starts_id(param)) return false;
  std::string rest(param + 3);
  std::string file;
  size_t colon = rest.find(':');
  if (colon != std::string::npos) {
    file = rest.substr(0, colon);
    rest = rest.substr(colon + 1);
  }
  float lat = -9999.0f, lon = -9999.0f;
  bool found =
      !rest.empty() && g_dom.station_lookup &&
      g_dom.station_lookup(file.empty() ? nullptr : file.c_str(), rest.c_str(), &lat, &lon) == 1 &&
      std::isfinite(lat) && std::isfinite(lon);
  if (!found) {
    g_dom.missing_station = param;
    return false;
  }
  d->clat = lat;
  d->clon = lon;
  return true;
}

void region_not_found(const char *param, Domain *d) {
  MESS_print(M_WARN, "DOM_decode: Region not found: %s\n", param);
  d->proj = DOM_UNKNOWN;
}

// Decodes the domain string of a region entry; refuses to follow references deeper
// than DOM_NEST_MAX (a region file that names itself).
void decode_entry(const char *param, const std::string &domstr, Domain *d) {
  if (g_dom.depth >= DOM_NEST_MAX) {
    MESS_print(M_WARN, "DOM_decode: Region references nest too deeply: %s\n", param);
    DOM_init(d);
    d->proj = DOM_UNKNOWN;
    return;
  }
  ++g_dom.depth;
  DOM_decode(domstr.c_str(), d);
  --g_dom.depth;
}

// A region reference: "fi:FILE" (the first entry of FILE), "FILE:NAME" (NAME in FILE;
// "FILE:" reads the menu of FILE), or a name in the region file or among the
// predefined regions. Fails only for an "id:" parameter.
bool take_region(const char *param, Domain *d) {
  if (!*param || std::strncmp(param, "id:", 3) == 0) return false;
  std::string domstr;
  const char *colon = std::strchr(param, ':');
  if (std::strncmp(param, "fi:", 3) == 0) {
    if (param[3] && DOM_search_file(param + 3, nullptr, domstr))
      decode_entry(param, domstr, d);
    else
      region_not_found(param, d);
  } else if (colon) {
    std::string file(param, static_cast<size_t>(colon - param));
    const char *name = colon + 1;
    if (!file.empty() && !*name) {
      DOM_read_menu(file.c_str());
    } else if (!file.empty() && DOM_search_file(file.c_str(), name, domstr)) {
      decode_entry(param, domstr, d);
    } else {
      region_not_found(param, d);
    }
  } else if (DOM_search_file(DOM_REGION_FILE, param, domstr)) {
    decode_entry(param, domstr, d);
  } else if (!DOM_get_def_region(param, d)) {
    region_not_found(param, d);
  }
  return true;
}

bool take_item(int item, const char *param, Domain *d) {
  switch (item) {
    case DOM_I_REGION: return take_region(param, d);
    case DOM_I_PROJ: return take_projection(param, d);
    case DOM_I_STATION: return take_station(param, d);
    case DOM_I_PLON: return read_float(param, d->plon);
    case DOM_I_CLAT:
      if (starts_id(param)) return take_station(param, d);
      return read_float(param, d->clat) && (!on_map(d->proj) || std::fabs(d->clat) <= 90.0f);
    case DOM_I_CLON: return read_float(param, d->clon);
    case DOM_I_DX: return read_float(param, d->dx) && spacing_ok(d->dx, d->proj);
    case DOM_I_DY: return read_float(param, d->dy) && spacing_ok(d->dy, d->proj);
    case DOM_I_NX: return read_int(param, d->nx) && d->nx > 0;
    case DOM_I_NY: return read_int(param, d->ny) && d->ny > 0;
    default: return false;
  }
}

// ---- templates -------------------------------------------------------------------------

// What a template sets after it matched.
enum class Completion {
  None,          // nothing
  Grid,          // nx 25, ny 17
  DyFromDx,      // dy = dx
  Polar,         // proj 1
  PolarDy,       // proj 1, dy = dx
  GridDy,        // nx 25, ny 17, dy = dx
  PolarGridDy,   // proj 1, nx 25, ny 17, dy = dx
  PolarSpacing,  // proj 1, dx = dy = 1.2
  PolarDefault,  // proj 1, nx 25, ny 17, dx = dy = 1.2
  Plain,         // "size": nx, ny from clat, clon; else the default grid and spacing
};

struct Template {
  std::array<int, 8> items;
  Completion completion;
  const char *message;
};

// Tried in this order; the first that takes every parameter wins.
// clang-format off
const Template templates[] = {
    {{DOM_I_PROJ, DOM_I_PLON, DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY, DOM_I_DX, DOM_I_DY},
     Completion::None, "proj,plon,clat,clon,nx,ny,dx,dy"},
    {{DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY, DOM_I_DX, DOM_I_DY}, Completion::None,
     "proj,clat,clon,nx,ny,dx,dy"},
    {{DOM_I_PROJ, DOM_I_PLON, DOM_I_CLAT, DOM_I_CLON, DOM_I_DX, DOM_I_DY}, Completion::Grid,
     "proj,plon,clat,clon,dx,dy"},
    {{DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY, DOM_I_DX}, Completion::DyFromDx,
     "proj,clat,clon,nx,ny,dx"},
    {{DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY, DOM_I_DX, DOM_I_DY}, Completion::Polar,
     "clat,clon,nx,ny,dx,dy"},
    {{DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON, DOM_I_DX, DOM_I_DY}, Completion::Grid, "proj,clat,clon,dx,dy"},
    {{DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY, DOM_I_DX}, Completion::PolarDy, "clat,clon,nx,ny,dx"},
    {{DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON, DOM_I_DX}, Completion::GridDy, "proj,clat,clon,dx"},
    {{DOM_I_CLAT, DOM_I_CLON, DOM_I_NX, DOM_I_NY}, Completion::PolarSpacing, "clat,clon,nx,ny"},
    {{DOM_I_CLAT, DOM_I_CLON, DOM_I_DX}, Completion::PolarGridDy, "clat,clon,dx"},
    {{DOM_I_PROJ, DOM_I_CLAT, DOM_I_CLON}, Completion::Plain, "proj,clat,clon"},
    {{DOM_I_CLAT, DOM_I_CLON}, Completion::PolarDefault, "clat,clon"},
    {{DOM_I_STATION}, Completion::PolarDefault, "id:###"},
    {{DOM_I_REGION}, Completion::None, "reg:REG"},
};
// clang-format on

void default_grid(Domain *d) {
  d->nx = DOM_NX_DEFAULT;
  d->ny = DOM_NY_DEFAULT;
}

void complete(Completion c, Domain *d) {
  switch (c) {
    case Completion::None: break;
    case Completion::Grid: default_grid(d); break;
    case Completion::DyFromDx: d->dy = d->dx; break;
    case Completion::Polar: d->proj = DOM_POLAR; break;
    case Completion::PolarDy:
      d->proj = DOM_POLAR;
      d->dy = d->dx;
      break;
    case Completion::GridDy:
      default_grid(d);
      d->dy = d->dx;
      break;
    case Completion::PolarGridDy:
      d->proj = DOM_POLAR;
      default_grid(d);
      d->dy = d->dx;
      break;
    case Completion::PolarSpacing:
      d->proj = DOM_POLAR;
      d->dx = d->dy = DOM_DX_DEFAULT;
      break;
    case Completion::PolarDefault:
      d->proj = DOM_POLAR;
      default_grid(d);
      d->dx = d->dy = DOM_DX_DEFAULT;
      break;
    case Completion::Plain:
      if (d->proj == DOM_SIZE) {
        d->nx = whole(d->clat);
        d->ny = whole(d->clon);
        d->clat = d->clon = -9999.0f;
      } else {
        d->dx = d->dy = d->proj == DOM_ZOOM ? 1.0f : DOM_DX_DEFAULT;
        default_grid(d);
      }
      break;
  }
}

int set_params(const std::vector<const char *> &argv, Domain *d, const std::array<int, 8> &items) {
  return DOM_set_params(static_cast<int>(argv.size()), argv.data(), d, items[0], items[1], items[2],
                        items[3], items[4], items[5], items[6], items[7]);
}

}  // namespace

int DOM_init(Domain *domain) {
  if (domain) *domain = Domain{};
  return 0;
}

int DOM_proj_str(const char *proj) {
  struct Name {
    const char *name;
    int count;  // characters compared
    int code;
  };
  static constexpr Name names[] = {
      {"ll", 2, DOM_LATLON},   {"lat", 3, DOM_LATLON},    {"polar", 5, DOM_POLAR},
      {"ps", 2, DOM_POLAR},    {"sat", 3, DOM_SATELLITE}, {"lamb", 4, DOM_LAMBERT},
      {"lc", 2, DOM_LAMBERT},  {"la", 2, DOM_AZIMUTHAL},  {"gn", 2, DOM_GNOMONIC},
      {"or", 2, DOM_ORTHO},    {"mo", 2, DOM_MOLLWEIDE},  {"me", 2, DOM_MERCATOR},
      {"pix", 3, DOM_PIXEL},   {"xy", 2, DOM_XY},         {"xlogy", 5, DOM_XLOGY},
      {"xlogp", 5, DOM_XLOGY}, {"cat", 3, DOM_CAT},       {"skewt", 5, DOM_SKEWT},
      {"ema", 3, DOM_EMA},     {"teph", 4, DOM_TEPH},     {"rteph", 5, DOM_RTEPH},
      {"therm", 5, DOM_SKEWT}, {"stuve", 5, DOM_STUVE},   {"hodo", 4, DOM_HODO},
      {"vert", 4, DOM_XLOGY},  {"xp", 4, DOM_XP},         {"zoom", 4, DOM_ZOOM},
      {"size", 4, DOM_SIZE},
  };
  if (!proj) return DOM_UNKNOWN;
  for (const Name &n : names)
    if (strnicmp(proj, n.name, n.count) == 0) return n.code;
  if (stricmp(proj, "miss") == 0) return DOM_NONE;
  return DOM_UNKNOWN;
}

int DOM_set_params(int paramc, const char *const *paramv, Domain *domain, int i1, int i2, int i3,
                   int i4, int i5, int i6, int i7, int i8) {
  // One spare end mark beyond the nine positions the pre-pass may look at.
  int items[10] = {i1, i2, i3, i4, i5, i6, i7, i8, DOM_I_END, DOM_I_END};
  if (paramc < 0 || (paramc > 0 && !paramv)) return -1;
  // A "clat" parameter naming a station takes the place of the clat, clon pair.
  for (int pos = 0; pos < 9 && items[pos] != DOM_I_END; ++pos) {
    if (items[pos] == DOM_I_CLAT && pos < paramc && starts_id(paramv[pos])) {
      items[pos] = DOM_I_STATION;
      if (items[pos + 1] == DOM_I_CLON)
        for (int k = pos + 1; k < 9; ++k) items[k] = items[k + 1];
    }
  }
  int length = 0;
  while (length < 9 && items[length] != DOM_I_END) ++length;
  if (length != paramc) return -1;

  Domain scratch;
  if (!domain) domain = &scratch;
  DOM_init(domain);
  if (paramc > 0 && is_miss(paramv[0])) return 0;

  int taken = 0;
  int pos = 0;
  for (; items[pos] != DOM_I_END; ++pos) {
    if (taken >= paramc) return items[pos];
    int item = items[pos];
    if (!take_item(item, paramv[taken], domain)) return item;
    ++taken;
    if (item == DOM_I_STATION && items[pos + 1] == DOM_I_CLON) ++pos;
  }
  if (taken < paramc) return taken - paramc;
  return 0;
}

int DOM_decode(const char *str, Domain *domain) {
  Domain scratch;
  if (!domain) domain = &scratch;
  DOM_init(domain);
  if (!str || !*str || stricmp(str, "miss") == 0) return DOM_RES_UNSET;

  ParsedList items;
  parse_string(str, ',', items);
  if (items.empty() || is_miss(items[0].c_str())) return DOM_RES_UNSET;
  std::vector<const char *> argv;
  for (const std::string &s : items) argv.push_back(s.c_str());
  MESS_print(kTraceClass, "******** PARSING DOMAIN: %d %s\n", static_cast<int>(argv.size()), str);
  g_dom.missing_station.clear();

  int result = DOM_RES_INVALID;
  if (stricmp(argv[0], "size") == 0 &&
      set_params(argv, domain, {DOM_I_PROJ, DOM_I_NX, DOM_I_NY}) == 0) {
    MESS_print(kTraceClass, "%2d proj,nx,ny\n", 0);
    result = DOM_RES_PARAMS;
  } else {
    for (const Template &t : templates) {
      if (set_params(argv, domain, t.items) != 0) continue;
      complete(t.completion, domain);
      MESS_print(kTraceClass, "%2d %s\n", 0, t.message);
      result = t.items[0] == DOM_I_REGION ? DOM_RES_REGION : DOM_RES_PARAMS;
      break;
    }
  }
  if (result == DOM_RES_INVALID) {
    if (!g_dom.missing_station.empty())
      MESS_print(M_WARN, "DOM_decode: Station not found: %s\n", g_dom.missing_station.c_str());
    MESS_print(M_WARN, "DOM_decode: Invalid plot domain\n");
    DOM_init(domain);  // the run goes on without a domain
  }

  FLAG_set(FLAG_DOMAIN, result);
  FILE_set_key('r', str);
  DOM_set_base_prior(static_cast<float>(domain->ny - 1) * domain->dy);
  return result;
}

int DOM_get_region(Domain *domain, int flag) {
  DOM_init(domain);
  const char *value = nullptr;
  if ((flag == 1 || flag == 3 || flag == 4) && (value = RES_get("plot_domain")))
    return DOM_decode(value, domain);
  if ((value = RES_get("region"))) return DOM_decode(value, domain);
  if (flag == 4) {
    if (DOM_num_regs() == 0) DOM_read_menu(DOM_REGION_FILE);
    const MENU_item &first = DOM_get_menu()[1];
    return DOM_decode(first.has_name ? first.abbr.c_str() : nullptr, domain);
  }
  return 0;
}

DOM_station_lookup DOM_set_station_lookup(DOM_station_lookup lookup) {
  DOM_station_lookup old = g_dom.station_lookup;
  g_dom.station_lookup = lookup;
  return old;
}

int DOM_set_base_prior(float size) {
  int p = 6;
  if (size > 50.0f)
    p = 1;
  else if (size > 25.0f)
    p = 2;
  else if (size > 12.5f)
    p = 3;
  else if (size > 6.25f)
    p = 4;
  else if (size > 3.0f)
    p = 5;
  if (const char *s = RES_get("stat_prior")) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (s[0] == '+' && digit(s[1]))
      p += s[1] - '0';
    else if (s[0] == '-' && digit(s[1]))
      p -= s[1] - '0';
    else if (digit(s[0]))
      p = s[0] - '0';
  }
  g_dom.priority = p;
  return 0;
}

int DOM_get_prior() { return g_dom.priority; }
int DOM_set_prior(int prior) {
  g_dom.priority = prior;
  return 0;
}
int DOM_get_loc_prior() { return g_dom.loc_prior; }
int DOM_set_loc_prior(int prior) {
  g_dom.loc_prior = prior;
  return 0;
}

void DOM_reset_state() {
  g_dom = DomState{};
  DOM_reset_menu();
}
