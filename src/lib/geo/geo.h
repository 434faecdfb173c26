// Map domains: the Domain record, the decoding of domain strings (explicit parameter
// lists, predefined regions, region files, the location of a station), the region
// menu, and the default station priority of a domain.
//
// A domain string is a comma-separated list: "ps,40,-100,25,17,1.2",
// "lc:40:-100:30:60,40,-100,1", "us", "FILE:NAME", "fi:FILE", "id:KDEN", ... Region
// files are looked up in the directory of the resource "file_path"; one region per
// line: abbreviation, description (underscores for blanks), display flag, domain string.
#pragma once

#include <string>

/// A map domain: projection, reference point, parameters and grid.
struct Domain {
  int proj = -9999;       // projection code (below); -9999 = no domain
  float plat = -9999.0f;  // reference latitude; -9999 = use clat
  float plon = -9999.0f;  // reference (central) longitude; -9999 = use clon
  float param[5] = {-9999.0f, -9999.0f, -9999.0f, -9999.0f, -9999.0f};  // projection parameters
  float clat = -9999.0f, clon = -9999.0f;  // centre (the pixel size of "size" while decoding)
  float dx = -9999.0f, dy = -9999.0f;      // grid spacing in map units of 100 km
  int nx = -9999, ny = -9999;              // grid points in x and y
  int ellipse = 0;                         // 1 = ellipsoidal earth, 0 = sphere
};

// ---- projection codes (Domain::proj) -------------------------------------------------

/// No domain.
constexpr int DOM_NONE = -9999;
/// A region name that was not found.
constexpr int DOM_UNKNOWN = -1;
/// Polar stereographic.
constexpr int DOM_POLAR = 1;
/// Latitude-longitude.
constexpr int DOM_LATLON = 2;
/// Mercator ("me").
constexpr int DOM_MERCATOR = 3;
/// Lambert conformal.
constexpr int DOM_LAMBERT = 4;
/// Orthographic.
constexpr int DOM_ORTHO = 5;
/// Gnomonic ("gn").
constexpr int DOM_GNOMONIC = 6;
/// Mollweide ("mo").
constexpr int DOM_MOLLWEIDE = 7;
/// Lambert azimuthal equal-area.
constexpr int DOM_AZIMUTHAL = 8;
/// Satellite view.
constexpr int DOM_SATELLITE = 9;
/// Plain x-y diagram ("xy").
constexpr int DOM_XY = 20;
/// X against the logarithm of y ("xlogy", "xlogp", "vert").
constexpr int DOM_XLOGY = 22;
/// Polar diagram.
constexpr int DOM_HODO = 23;
/// Cross-section diagram ("cat").
constexpr int DOM_CAT = 24;
/// X against pressure ("xp").
constexpr int DOM_XP = 25;
/// Skew-T thermodynamic diagram ("skewt", "therm").
constexpr int DOM_SKEWT = 40;
/// Stuve diagram ("stuve").
constexpr int DOM_STUVE = 41;
/// Emagram ("ema").
constexpr int DOM_EMA = 42;
/// Tephigram ("teph").
constexpr int DOM_TEPH = 43;
/// Rotated tephigram ("rteph").
constexpr int DOM_RTEPH = 44;
/// Zoom of the current domain ("zoom").
constexpr int DOM_ZOOM = 50;
/// A domain given by its size ("size").
constexpr int DOM_SIZE = 51;
/// Pixel coordinates ("pix").
constexpr int DOM_PIXEL = 99;

// ---- results of DOM_decode (also stored in flag 5) -----------------------------------

/// Null, empty, "miss" or "none": no domain.
constexpr int DOM_RES_UNSET = -9999;
/// Fits no template.
constexpr int DOM_RES_INVALID = -1;
/// An explicit parameter list.
constexpr int DOM_RES_PARAMS = 1;
/// A region reference.
constexpr int DOM_RES_REGION = 2;

// ---- item codes of DOM_set_params templates ----------------------------------------------

/// End of a template.
constexpr int DOM_I_END = 0;
/// The projection word.
constexpr int DOM_I_PROJ = 1;
/// The reference longitude.
constexpr int DOM_I_PLON = 3;
/// A station identifier that gives the centre.
constexpr int DOM_I_STATION = 4;
/// The centre latitude.
constexpr int DOM_I_CLAT = 5;
/// The centre longitude.
constexpr int DOM_I_CLON = 6;
/// Grid points in x (above 0).
constexpr int DOM_I_NX = 7;
/// Grid points in y (above 0).
constexpr int DOM_I_NY = 8;
/// Grid spacing in x.
constexpr int DOM_I_DX = 9;
/// Grid spacing in y.
constexpr int DOM_I_DY = 10;
/// A region name of the region file.
constexpr int DOM_I_REGION = 11;

// ---- limits ------------------------------------------------------------------------------

/// Abbreviations and domain strings of a region file.
constexpr int DOM_STR_MAX = 79;
/// A line of a region file.
constexpr int DOM_LINE_MAX = 500;
/// A menu description.
constexpr int DOM_DESC_MAX = 20;
/// Menu slots, slot 0 "back".
constexpr int DOM_MENU_SLOTS = 23;
/// Slots 1..19 come from a region file.
constexpr int DOM_MENU_FILLED = 19;
/// Region references inside region references.
constexpr int DOM_NEST_MAX = 8;
/// Grid of the templates without a size.
constexpr int DOM_NX_DEFAULT = 25;
/// Grid rows of the templates without a size.
constexpr int DOM_NY_DEFAULT = 17;
/// Spacing of the templates without a spacing.
constexpr float DOM_DX_DEFAULT = 1.2f;

/// The default region file, in the directory of "file_path".
constexpr const char *DOM_REGION_FILE = "zyp.reg";

// ---- domains -----------------------------------------------------------------------------

/// Resets the domain: no projection, every value missing, sphere. Returns 0.
int DOM_init(Domain *domain);
/// Fills `domain` from the resources: with `flag` 1, 3 or 4 "plot_domain" when set,
/// else "region" when set, else (flag 4) the first entry of the region menu. Returns
/// what DOM_decode returned, or 0 when no resource applies (the domain stays unset).
int DOM_get_region(Domain *domain, int flag);
/// Decodes one domain string into `domain`: -9999 (domain unset) for a null or empty
/// string or one whose first item is "miss" or "none"; 1 for explicit parameters; 2 for
/// a region reference; -1 when nothing fits ("DOM_decode: Invalid plot domain", the
/// domain unset). Sets flag 5 to the result, file-name key "r" to the string, and the
/// base priority from the domain's height.
int DOM_decode(const char *str, Domain *domain);
/// Matches `paramc` parameters against the template i1..i8 (item codes, DOM_I_END ends
/// it) and fills `domain`. 0 when every parameter was taken; -1 when the counts differ
/// (domain untouched); taken - paramc when parameters are left; else the failing item.
/// A first parameter "miss" or "none" returns 0 with the domain reset.
int DOM_set_params(int paramc, const char *const *paramv, Domain *domain, int i1, int i2 = 0,
                   int i3 = 0, int i4 = 0, int i5 = 0, int i6 = 0, int i7 = 0, int i8 = 0);
/// The projection code of a projection name ("ps", "lamb", "merc", ...); -9999 for
/// "miss"; -1 for anything else or no name.
int DOM_proj_str(const char *proj);
/// Fills a predefined region ("us", "ne", "at", "se", "mw", "sp", "nw", "sw", "var"):
/// 1; else 0 with the domain at proj 1, 25 by 17, spacing 1.2 and its earlier centre.
int DOM_get_def_region(const char *region, Domain *domain);

// ---- region files ----------------------------------------------------------------------

/// Looks `str` up in region file `file` (the first data line when `str` is null) and
/// copies its domain string into `domstr`: 1 when found, else 0. Comment ("#"), blank,
/// malformed and overlong lines are skipped (the last two with a warning).
int DOM_search_file(const char *file, const char *str, std::string &domstr);

/// One slot of the region menu.
struct MENU_item {
  bool has_name = false;  // false: no entry (the slot after the last one)
  std::string name;       // description, blanks for underscores, at most 20 characters
  std::string abbr;       // the region's abbreviation
  int index = 0;          // the slot's own number
  int disp[10] = {};      // display flags; disp[0] from the file
};
/// Loads slots 1..19 of the region menu from `file` (lines with display flag 0 are
/// left out). 1, or 0 when the file cannot be opened.
int DOM_read_menu(const char *file);
/// The region menu: DOM_MENU_SLOTS slots, slot 0 "Return to previous menu" / "back".
const MENU_item *DOM_get_menu();
/// One more than the number of filled slots; 0 before a menu was read.
int DOM_num_regs();

// ---- station locations ----------------------------------------------------------------

/// Looks a station up in a station database file (null: the default one): 1 with its
/// latitude and longitude, else 0.
using DOM_station_lookup = int (*)(const char *file, const char *id, float *lat, float *lon);
/// Sets the look-up behind "id:STATION" and "id:FILE:STATION" items; with none, every
/// station is unknown. Returns the previous look-up.
DOM_station_lookup DOM_set_station_lookup(DOM_station_lookup lookup);

// ---- station priority ------------------------------------------------------------------

/// Sets the priority from a domain height in map units (1 above 50, 2 above 25, 3 above
/// 12.5, 4 above 6.25, 5 above 3, else 6), then applies "stat_prior": "+d" adds the
/// digit, "-d" subtracts it, a leading digit replaces the priority. Returns 0.
int DOM_set_base_prior(float size);
/// The station priority (initially 3).
int DOM_get_prior();
/// Sets the station priority. Returns 0.
int DOM_set_prior(int prior);
/// The local station priority (initially 4).
int DOM_get_loc_prior();
/// Sets the local station priority. Returns 0.
int DOM_set_loc_prior(int prior);
