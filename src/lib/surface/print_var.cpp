// The variable-list line: a row of the variables a user chose, in the order of
// the list, and its two header lines.
//
// Each variable's name is looked up (any case) in a sorted table of the known
// names. A value column goes through SFC_set_print_str with the unit the value
// is held in; derived quantities are computed once per row from the temperature
// and dew point in kelvin, the wind speed in m/s and the station pressure in mb
// (from the altimeter setting and the station elevation).
#include "surface/print_var.h"
#include "surface/print_testing.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "calc/calc.h"
#include "surface/print_line.h"
#include "surface/print_row.h"
#include "surface/weather.h"
#include "util/chars.h"
#include "var/var.h"

using sfc_print::Row;

namespace {

constexpr float kMiss = SFC_MISSING_F;
constexpr double kKnotsToMs = 0.5144;
constexpr double kInHgToMb = 33.85399;
constexpr const char *kDefaultFormat = "%4.0f";
// The longest text one column adds to a row ("%s " of the remarks); a row longer
// than a line buffer goes out in pieces.
constexpr std::size_t kColumnMax = SFC_COMMENT_SIZE + 8;

// clang-format off
enum class Col {
  kId, kOtime, kTemp, kDewp, kDewd, kWdir, kWspd, kWgst, kAlt, kPres, kWx, kSaowx, kTxtwx,
  kVis, kCldcl, kCldcv, kPtend, kPrec1, kPrec3, kPrec6, kPrec12, kPrec24, kPrec, kExtt,
  kMaxt, kMaxt6, kMint, kMint6, kSnwdp, kNlcld, kLcld, kMcld, kHcld, kSolar, kSst, kWavper,
  kWavhgt, kVpres, kSvpres, kWchilt, kWchill2, kWchilf, kHeat, kHumit, kMrat, kSmrat, kShum,
  kRhum, kWetblb, kThetaw, kThetae, kThetav, kTheta, kVtemp, kFr, kRmk, kUnknown,
};
// clang-format on

struct Known {
  std::string_view name;  // lower case
  Col col;
};

// Sorted by name for the binary search.
constexpr Known kKnown[] = {
    {"alt", Col::kAlt},       {"city", Col::kId},       {"cldcl", Col::kCldcl},
    {"cldcv", Col::kCldcv},   {"dewd", Col::kDewd},     {"dewp", Col::kDewp},
    {"extt", Col::kExtt},     {"fr", Col::kFr},         {"hcld", Col::kHcld},
    {"heat", Col::kHeat},     {"humit", Col::kHumit},   {"id", Col::kId},
    {"lcld", Col::kLcld},     {"maxt", Col::kMaxt},     {"maxt6", Col::kMaxt6},
    {"mcld", Col::kMcld},     {"mint", Col::kMint},     {"mint6", Col::kMint6},
    {"mrat", Col::kMrat},     {"nlcld", Col::kNlcld},   {"otime", Col::kOtime},
    {"prec", Col::kPrec},     {"prec1", Col::kPrec1},   {"prec12", Col::kPrec12},
    {"prec24", Col::kPrec24}, {"prec3", Col::kPrec3},   {"prec6", Col::kPrec6},
    {"pres", Col::kPres},     {"ptend", Col::kPtend},   {"rhum", Col::kRhum},
    {"rmk", Col::kRmk},       {"saowx", Col::kSaowx},   {"shum", Col::kShum},
    {"smrat", Col::kSmrat},   {"snwdp", Col::kSnwdp},   {"solar", Col::kSolar},
    {"sst", Col::kSst},       {"svpres", Col::kSvpres}, {"temp", Col::kTemp},
    {"theta", Col::kTheta},   {"thetae", Col::kThetae}, {"thetav", Col::kThetav},
    {"thetaw", Col::kThetaw}, {"txtwx", Col::kTxtwx},   {"vis", Col::kVis},
    {"vpres", Col::kVpres},   {"vtemp", Col::kVtemp},   {"wavhgt", Col::kWavhgt},
    {"wavper", Col::kWavper}, {"wchilf", Col::kWchilf}, {"wchill2", Col::kWchill2},
    {"wchilt", Col::kWchilt}, {"wdir", Col::kWdir},     {"wetblb", Col::kWetblb},
    {"wgst", Col::kWgst},     {"wspd", Col::kWspd},     {"wx", Col::kWx},
};

constexpr bool Sorted() {
  for (std::size_t i = 1; i < std::size(kKnown); ++i)
    if (!(kKnown[i - 1].name < kKnown[i].name)) return false;
  return true;
}
static_assert(Sorted(), "the known names are kept sorted");

Col Lookup(const char *name) {
  char low[VAR_NAME_SIZE];
  std::size_t n = 0;
  for (; n + 1 < sizeof low && name[n] != '\0'; ++n)
    low[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n])));
  const std::string_view key(low, n);
  const auto it = std::lower_bound(std::begin(kKnown), std::end(kKnown), key,
                                   [](const Known &k, std::string_view s) { return k.name < s; });
  return it != std::end(kKnown) && it->name == key ? it->col : Col::kUnknown;
}

bool Present(float v) { return v != kMiss; }

template <std::size_t N>
std::string_view Bounded(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

float FirstPresent(float a, float b) { return Present(a) ? a : b; }

// The quantities the derived columns share, made once per row.
struct Inputs {
  float tk;   // temperature, K
  float tdk;  // dew point, K
  float ws;   // wind speed, m/s
  float p;    // station pressure, mb
};

Inputs MakeInputs(const SFC_report &r) {
  Inputs in;
  in.tk = Present(r.t) ? f_to_k(r.t) : kMiss;
  in.tdk = Present(r.td) ? f_to_k(r.td) : kMiss;
  in.ws = Present(r.w_spd) ? static_cast<float>(r.w_spd * kKnotsToMs) : kMiss;
  in.p = Present(r.alt) ? sfc_pr_alt(static_cast<float>(r.alt * kInHgToMb), r.elev) : kMiss;
  return in;
}

void Text(Row &row, std::string_view text) { row.Str("%6.6s ", text); }

void Value(Row &row, float value, const char *iunits, const VAR_data &v) {
  char str[SFC_PRINT_STR_SIZE];
  SFC_set_print_str(value, iunits, v.units, v.format, str, sizeof str);
  Text(row, str);
}

void Missing(Row &row) { row.Text(SFC_get_miss_dash() ? "     - " : "       "); }

// One code character as a text (in `buf`); a zero byte reads as a blank.
std::string_view Code(char c, char *buf) {
  buf[0] = c == '\0' ? ' ' : c;
  buf[1] = '\0';
  return {buf, 1};
}

// The ceiling cover as text: a blank "M", the letter codes as words, anything
// else "%1c/8" (made in `buf`).
std::string_view CoverText(char cover, char *buf) {
  switch (cover) {
    case ' ':
    case '\0': return "M";
    case 'B': return "BKN";
    case 'C': return "CLR";
    case 'F': return "FEW";
    case 'O': return "OVC";
    case 'S': return "SCT";
    case 'X': return "X";
    case 'b': return "-BKN";
    case 'o': return "-OVC";
    case 's': return "-SCT";
    case 'x': return "-X";
    default:
      buf[0] = cover;
      buf[1] = '/';
      buf[2] = '8';
      buf[3] = '\0';
      return {buf, 3};
  }
}

// Flight category from the ceiling (in feet) and the visibility (in miles).
const char *FlightCategory(const SFC_report &r) {
  char cover = ' ';
  float h = kMiss;
  WX_set_cloud(&r, &cover, &h);
  if (cover != 'B' && cover != 'O' && !(cover >= '0' && cover <= '5')) h = kMiss;
  const float v = r.vis;
  if (Present(h) && h < 1000.0f) return "IFR";
  if (Present(v) && v < 3.0f) return "IFR";
  if (Present(h) && h <= 3000.0f) return "MVFR";
  if (!Present(v)) return "VFR";
  if (v <= 5.0f) return "MVFR";
  return "VFR";
}

// The precipitation of the hours of the variable's time: 3, 6, 12 or 24 hours
// give that amount; any other range the first present of 24, 12 and 6 hours.
float Precip(const SFC_report &r, int time) {
  switch ((time / 1000) % 1000) {
    case 3: return r.rain3;
    case 6: return r.rain6;
    case 12: return r.rain12;
    case 24: return r.rain24;
    default: return FirstPresent(r.rain24, FirstPresent(r.rain12, r.rain6));
  }
}

// Conversions of the unit pairs met so far. UNIT_cvt remembers only the last
// pair, so a row of values in several units would read the units file for
// nearly every value; kept here, each pair is read once and every value still
// converts exactly as UNIT_cvt converts it. A pair whose units file cannot be
// read is not kept (it gives 0, as UNIT_cvt does, and is tried again).
struct KnownPair {
  char iunit[UNIT_NAME_MAX + 1];
  char ounit[UNIT_NAME_MAX + 1];
  UNIT_conversion cvt;
};

// Unit pairs kept at the most.
constexpr std::size_t kPairsMax = std::size_t{2} * VAR_MAX;

// The line's state: what it looked up once and keeps.
struct VarState {
  std::vector<Col> columns;            // the columns of the current list's entries
  long columns_of = -1;                // VAR_get_builds of the list they belong to
  std::vector<KnownPair> known_pairs;  // unit conversions met so far (kPairsMax at most)
};

VarState g_var;

// The columns of the entries of the current list, looked up once per list.
const std::vector<Col> &Columns(const VAR_data *vars, int num) {
  if (g_var.columns_of != VAR_get_builds() || static_cast<int>(g_var.columns.size()) != num) {
    g_var.columns.clear();
    for (int k = 0; k < num; ++k) g_var.columns.push_back(Lookup(vars[k].name));
    g_var.columns_of = VAR_get_builds();
  }
  return g_var.columns;
}

// What the variable `v` (of column `col`) gives for the report: a value in the
// unit it is held in, or a text. `buf` keeps a text made on the way
// (WX_TEXT_SIZE bytes); the cell points into it.
SFC_var_cell Evaluate(const SFC_report &r, const Inputs &in, const VAR_data &v, Col col,
                      char *buf) {
  SFC_var_cell c;
  auto number = [&c](float value, const char *unit) {
    c.kind = SFC_CELL_NUMBER;
    c.value = value;
    c.unit = unit;
  };
  auto text = [&c](std::string_view t, SFC_cell_kind kind = SFC_CELL_TEXT) {
    c.kind = kind;
    c.text = t;
  };
  switch (col) {
    case Col::kId: text(Bounded(r.id), SFC_CELL_ID); break;
    case Col::kOtime:
      c.kind = SFC_CELL_TIME;
      c.time = r.time;
      break;
    case Col::kTemp: number(r.t, "F"); break;
    case Col::kDewp: number(r.td, "F"); break;
    case Col::kDewd: number(Present(r.t) && Present(r.td) ? r.t - r.td : kMiss, "F"); break;
    case Col::kWdir: number(r.w_dir, "deg"); break;
    case Col::kWspd: number(r.w_spd, "knt"); break;
    case Col::kWgst: number(r.w_gust, "knt"); break;
    case Col::kAlt: number(r.alt, "in_Hg"); break;
    case Col::kPres: number(r.pmb, "mb"); break;
    case Col::kWx: text(Bounded(r.weather)); break;
    case Col::kSaowx:
      WX_short_code(r.weather, buf, SFC_WEATHER_SIZE);
      text(buf);
      break;
    case Col::kTxtwx:
      WX_weather_text(r.weather, buf);
      text(buf, SFC_CELL_WHOLE);
      break;
    case Col::kVis: number(r.vis, "mi"); break;
    case Col::kCldcl: {
      float height = kMiss;
      WX_set_cloud(&r, nullptr, &height);
      number(Present(height) ? height / 100.0f : kMiss, "100ft");
      break;
    }
    case Col::kCldcv: {
      char cover = ' ';
      WX_set_cloud(&r, &cover, nullptr);
      text(CoverText(cover, buf));
      c.blank = cover == ' ' || cover == '\0';
      break;
    }
    case Col::kPtend: number(r.ptend, "mb"); break;
    case Col::kPrec1: number(r.rain1, "in"); break;
    case Col::kPrec3: number(r.rain3, "in"); break;
    case Col::kPrec6: number(r.rain6, "in"); break;
    case Col::kPrec12: number(r.rain12, "in"); break;
    case Col::kPrec24: number(r.rain24, "in"); break;
    case Col::kPrec: number(Precip(r, v.time), "in"); break;
    case Col::kExtt: number(FirstPresent(r.max_t, r.min_t), "F"); break;
    case Col::kMaxt: number(r.max_t, "F"); break;
    case Col::kMaxt6: number(r.max6_t, "F"); break;
    case Col::kMint: number(r.min_t, "F"); break;
    case Col::kMint6: number(r.min6_t, "F"); break;
    case Col::kSnwdp: number(r.scover, "in"); break;
    case Col::kNlcld: text(Code(r.cld_low, buf)); break;
    case Col::kLcld: text(Code(r.cld_type[0], buf)); break;
    case Col::kMcld: text(Code(r.cld_type[1], buf)); break;
    case Col::kHcld: text(Code(r.cld_type[2], buf)); break;
    case Col::kSolar: number(r.solar, "min"); break;
    case Col::kSst: number(r.sst, "C"); break;
    case Col::kWavper: number(r.wav_per, "sec"); break;
    case Col::kWavhgt: number(r.wav_hgt, "m"); break;
    case Col::kVpres: number(vapor_pr(in.tdk), "mb"); break;
    case Col::kSvpres: number(vapor_pr(in.tk), "mb"); break;
    case Col::kWchilt: number(wind_chill_temp(in.tk, in.ws), "K"); break;
    case Col::kWchill2: number(wind_chill_temp2(in.tk, in.ws), "K"); break;
    case Col::kWchilf: number(wind_chill(in.tk, in.ws), "W/m^2"); break;
    case Col::kHeat: number(heat_index(in.tk, in.tdk), "K"); break;
    case Col::kHumit: number(humiture(in.tk, in.tdk), "F"); break;
    case Col::kMrat: number(mix_ratio(in.tdk, in.p), "g/kg"); break;
    case Col::kSmrat: number(mix_ratio(in.tk, in.p), "g/kg"); break;
    case Col::kShum: number(spec_hum(in.tdk, in.p), "g/kg"); break;
    case Col::kRhum: number(rel_hum(in.tk, in.tdk), "%"); break;
    case Col::kWetblb: number(wet_bulb(in.tk, in.tdk, in.p), "K"); break;
    case Col::kThetaw: number(wet_bulb_pot_temp(in.tk, in.tdk, in.p), "K"); break;
    case Col::kThetae: number(eq_pot_temp(in.tk, in.tdk, in.p), "K"); break;
    case Col::kThetav: number(virt_pot_temp(in.tk, in.tdk, in.p), "K"); break;
    case Col::kTheta: number(pot_temp(in.tk, in.p), "K"); break;
    case Col::kVtemp: number(virt_temp(in.tk, in.tdk, in.p), "K"); break;
    case Col::kFr: text(FlightCategory(r)); break;
    case Col::kRmk: text(Bounded(r.comment), SFC_CELL_WHOLE); break;
    case Col::kUnknown: c.kind = SFC_CELL_UNKNOWN; break;
  }
  return c;
}

// One column of the variable-list line.
void Column(Row &row, const VAR_data &v, const SFC_var_cell &c) {
  switch (c.kind) {
    case SFC_CELL_ID:
      if (SFC_get_miss_dash() && c.text.empty())
        row.Text(" -     ");
      else
        row.Str("%-6.6s ", c.text);
      break;
    case SFC_CELL_TIME:
      if (c.time != SFC_MISSING)
        row.Int("  %4.4d ", c.time);
      else
        Missing(row);
      break;
    case SFC_CELL_NUMBER: Value(row, c.value, c.unit, v); break;
    case SFC_CELL_TEXT: Text(row, c.text); break;
    case SFC_CELL_WHOLE: row.Str("%s ", c.text); break;
    case SFC_CELL_UNKNOWN: Missing(row); break;
  }
}

// Calls `visit(var, cell)` for every variable of the current list, in order.
template <class Visit>
void Walk(const SFC_report &r, Visit &&visit) {
  const VAR_data *vars = VAR_get_vars();
  const int num = VAR_get_num();
  const Inputs in = MakeInputs(r);
  const std::vector<Col> &cols = Columns(vars, num);
  char buf[WX_TEXT_SIZE > SFC_WEATHER_SIZE ? WX_TEXT_SIZE : SFC_WEATHER_SIZE];
  for (int k = 0; k < num; ++k) visit(vars[k], Evaluate(r, in, vars[k], cols[k], buf));
}

// `value` in `ounit` into `*out`; false (and 0) when the units file cannot be read.
bool Convert(float value, const char *iunit, const char *ounit, float *out) {
  if (iunit == nullptr) iunit = "";
  for (const KnownPair &k : g_var.known_pairs)
    if (std::strncmp(k.iunit, iunit, UNIT_NAME_MAX) == 0 &&
        std::strncmp(k.ounit, ounit, UNIT_NAME_MAX) == 0) {
      *out = UNIT_apply(k.cvt, value);
      return true;
    }
  KnownPair k;
  if (!UNIT_get_cvt(iunit, ounit, &k.cvt)) {
    *out = 0.0f;
    return false;
  }
  if (g_var.known_pairs.size() < kPairsMax) {
    std::snprintf(k.iunit, sizeof k.iunit, "%s", iunit);
    std::snprintf(k.ounit, sizeof k.ounit, "%s", ounit);
    g_var.known_pairs.push_back(k);
  }
  *out = UNIT_apply(k.cvt, value);
  return true;
}

// Sends out what the row holds when the next column might not fit.
void MakeRoom(M_type level, Row &row) {
  if (row.view().size() + kColumnMax <= Row::kCapacity) return;
  MESS_print(level, "%s", row.c_str());
  row.Clear();
}

// A user's print format, read: one float conversion and nothing else.
struct FloatFormat {
  bool ok = false;
  bool plain = false;  // "%W.Pf" or "%-W.Pf": written without printf
  bool left = false;
  int width = 0;
  int prec = 6;
};

// Reads at most two digits; false for a longer number or one above `max`.
bool SmallNumber(const char **p, int max, int *value) {
  int v = 0, digits = 0;
  for (; zyp::is_digit(**p); ++*p) {
    if (++digits > 2) return false;
    v = v * 10 + (**p - '0');
  }
  *value = v;
  return v <= max;
}

FloatFormat ReadFormat(const char *format) {
  FloatFormat f;
  if (format == nullptr || *format != '%') return f;
  const char *p = format + 1;
  bool other_flags = false;
  for (; *p != '\0' && std::strchr("-+ #0", *p) != nullptr; ++p) {
    if (*p == '-')
      f.left = true;
    else
      other_flags = true;
  }
  if (!SmallNumber(&p, SFC_FORMAT_WIDTH_MAX, &f.width)) return f;
  if (*p == '.') {
    ++p;
    if (!SmallNumber(&p, SFC_FORMAT_PREC_MAX, &f.prec)) return f;
  }
  if (*p == 'l') ++p;
  if (*p == '\0' || std::strchr("fFeEgG", *p) == nullptr || p[1] != '\0') return f;
  f.ok = true;
  f.plain = *p == 'f' && !other_flags;
  return f;
}

// `value` with a plain "%W.Pf" format, exactly as snprintf writes it, through
// the printers' fixed-point writer (many times faster than printf).
void WritePlain(const FloatFormat &f, double value, char *str, std::size_t size) {
  char body[sfc_print::kFixedSize];
  const std::size_t n = sfc_print::FormatFixed(value, f.prec, body);
  const std::size_t pad = n < static_cast<std::size_t>(f.width) ? f.width - n : 0;
  std::size_t at = 0;
  auto fill = [&](std::size_t len) {
    for (std::size_t i = 0; i < len && at + 1 < size; ++i) str[at++] = ' ';
  };
  if (!f.left) fill(pad);
  for (std::size_t i = 0; i < n && at + 1 < size; ++i) str[at++] = body[i];
  if (f.left) fill(pad);
  str[at] = '\0';
}

}  // namespace

int SFC_float_format_ok(const char *format) { return ReadFormat(format).ok ? 1 : 0; }

int SFC_set_print_str(float val, const char *iunits, const char *ounits, const char *format,
                      char *str, std::size_t size) {
  if (str == nullptr || size == 0) return 0;
  if (val == kMiss) {
    std::snprintf(str, size, "%s", SFC_get_miss_dash() ? " -" : "");
    return 0;
  }
  if (ounits != nullptr && *ounits != '\0') Convert(val, iunits, ounits, &val);
  FloatFormat f = ReadFormat(format);
  if (!f.ok) {
    format = kDefaultFormat;
    f = ReadFormat(format);
  }
  if (f.plain)
    WritePlain(f, val, str, size);
  else {
    // The user's format is not a literal, but ReadFormat above accepted it only as
    // one floating-point conversion ("%[flags][width][.prec][l]f|e|g") and nothing else.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(str, size, format, static_cast<double>(val));
#pragma GCC diagnostic pop
  }
  return 0;
}

int SFC_print_var(M_type level, const SFC_report *report) {
  const VAR_data *vars = VAR_get_vars();
  const int num = VAR_get_num();
  Row row;
  if (report == nullptr) {
    for (int k = 0; k < num; ++k) Text(row, Bounded(vars[k].name));
    MESS_print(level, "%s\n", row.c_str());
    row.Clear();
    for (int k = 0; k < num; ++k) Text(row, Bounded(vars[k].units));
    MESS_print(level, "%s\n", row.c_str());
    return 0;
  }
  Walk(*report, [&](const VAR_data &v, const SFC_var_cell &cell) {
    MakeRoom(level, row);
    Column(row, v, cell);
  });
  MESS_print(level, "%s\n", row.c_str());
  return 0;
}

void SFC_var_cells(const SFC_report &report, SFC_var_visit visit, void *ctx) {
  Walk(report, [&](const VAR_data &v, const SFC_var_cell &cell) { visit(ctx, v, cell); });
}

int SFC_var_convert(float val, const char *iunits, const char *ounits, float *out) {
  if (val == kMiss || ounits == nullptr || *ounits == '\0') {
    *out = val;
    return 1;
  }
  return Convert(val, iunits, ounits, out) ? 1 : 0;
}

void SFC_print_var_reset() { g_var = VarState{}; }
