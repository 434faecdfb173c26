// The variable-list line: a row of the variables a user chose, in the order of
// the list, and its two header lines.
//
// Each variable's name is looked up (any case) in a sorted table of the known
// names. A value column goes through SFC_set_print_str with the unit the value
// is held in; derived quantities are computed once per row from the temperature
// and dew point in kelvin, the wind speed in m/s and the station pressure in mb
// (from the altimeter setting and the station elevation).
#include "surface/print_var.h"

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

enum class Col {
  kId, kOtime, kTemp, kDewp, kDewd, kWdir, kWspd, kWgst, kAlt, kPres, kWx, kSaowx, kTxtwx,
  kVis, kCldcl, kCldcv, kPtend, kPrec1, kPrec3, kPrec6, kPrec12, kPrec24, kPrec, kExtt,
  kMaxt, kMaxt6, kMint, kMint6, kSnwdp, kNlcld, kLcld, kMcld, kHcld, kSolar, kSst, kWavper,
  kWavhgt, kVpres, kSvpres, kWchilt, kWchill2, kWchilf, kHeat, kHumit, kMrat, kSmrat, kShum,
  kRhum, kWetblb, kThetaw, kThetae, kThetav, kTheta, kVtemp, kFr, kRmk, kUnknown,
};

struct Known {
  std::string_view name;  // lower case
  Col col;
};

// Sorted by name for the binary search.
constexpr Known kKnown[] = {
    {"alt", Col::kAlt},         {"city", Col::kId},         {"cldcl", Col::kCldcl},
    {"cldcv", Col::kCldcv},     {"dewd", Col::kDewd},       {"dewp", Col::kDewp},
    {"extt", Col::kExtt},       {"fr", Col::kFr},           {"hcld", Col::kHcld},
    {"heat", Col::kHeat},       {"humit", Col::kHumit},     {"id", Col::kId},
    {"lcld", Col::kLcld},       {"maxt", Col::kMaxt},       {"maxt6", Col::kMaxt6},
    {"mcld", Col::kMcld},       {"mint", Col::kMint},       {"mint6", Col::kMint6},
    {"mrat", Col::kMrat},       {"nlcld", Col::kNlcld},     {"otime", Col::kOtime},
    {"prec", Col::kPrec},       {"prec1", Col::kPrec1},     {"prec12", Col::kPrec12},
    {"prec24", Col::kPrec24},   {"prec3", Col::kPrec3},     {"prec6", Col::kPrec6},
    {"pres", Col::kPres},       {"ptend", Col::kPtend},     {"rhum", Col::kRhum},
    {"rmk", Col::kRmk},         {"saowx", Col::kSaowx},     {"shum", Col::kShum},
    {"smrat", Col::kSmrat},     {"snwdp", Col::kSnwdp},     {"solar", Col::kSolar},
    {"sst", Col::kSst},         {"svpres", Col::kSvpres},   {"temp", Col::kTemp},
    {"theta", Col::kTheta},     {"thetae", Col::kThetae},   {"thetav", Col::kThetav},
    {"thetaw", Col::kThetaw},   {"txtwx", Col::kTxtwx},     {"vis", Col::kVis},
    {"vpres", Col::kVpres},     {"vtemp", Col::kVtemp},     {"wavhgt", Col::kWavhgt},
    {"wavper", Col::kWavper},   {"wchilf", Col::kWchilf},   {"wchill2", Col::kWchill2},
    {"wchilt", Col::kWchilt},   {"wdir", Col::kWdir},       {"wetblb", Col::kWetblb},
    {"wgst", Col::kWgst},       {"wspd", Col::kWspd},       {"wx", Col::kWx},
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
  float tk;  // temperature, K
  float tdk; // dew point, K
  float ws;  // wind speed, m/s
  float p;   // station pressure, mb
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

// One code character as a text; a zero byte reads as a blank.
void Code(Row &row, char c) { Text(row, std::string_view(c == '\0' ? " " : &c, 1)); }

// The ceiling cover as text: a blank "M", the letter codes as words, anything
// else "%1c/8".
void CoverText(Row &row, char cover) {
  switch (cover) {
    case ' ':
    case '\0': Text(row, "M"); break;
    case 'B': Text(row, "BKN"); break;
    case 'C': Text(row, "CLR"); break;
    case 'F': Text(row, "FEW"); break;
    case 'O': Text(row, "OVC"); break;
    case 'S': Text(row, "SCT"); break;
    case 'X': Text(row, "X"); break;
    case 'b': Text(row, "-BKN"); break;
    case 'o': Text(row, "-OVC"); break;
    case 's': Text(row, "-SCT"); break;
    case 'x': Text(row, "-X"); break;
    default: {
      const char text[4] = {cover, '/', '8', '\0'};
      Text(row, text);
    }
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

// The columns of the entries of the current list, looked up once per list.
std::vector<Col> columns;
long columns_of = -1;  // VAR_get_builds of the list they belong to

const std::vector<Col> &Columns(const VAR_data *vars, int num) {
  if (columns_of != VAR_get_builds() || static_cast<int>(columns.size()) != num) {
    columns.clear();
    for (int k = 0; k < num; ++k) columns.push_back(Lookup(vars[k].name));
    columns_of = VAR_get_builds();
  }
  return columns;
}

void Column(Row &row, const SFC_report &r, const Inputs &in, const VAR_data &v, Col col) {
  switch (col) {
    case Col::kId: {
      const std::string_view id = Bounded(r.id);
      if (SFC_get_miss_dash() && id.empty()) row.Text(" -     ");
      else row.Str("%-6.6s ", id);
      break;
    }
    case Col::kOtime:
      if (r.time != SFC_MISSING) row.Int("  %4.4d ", r.time);
      else Missing(row);
      break;
    case Col::kTemp: Value(row, r.t, "F", v); break;
    case Col::kDewp: Value(row, r.td, "F", v); break;
    case Col::kDewd:
      Value(row, Present(r.t) && Present(r.td) ? r.t - r.td : kMiss, "F", v);
      break;
    case Col::kWdir: Value(row, r.w_dir, "deg", v); break;
    case Col::kWspd: Value(row, r.w_spd, "knt", v); break;
    case Col::kWgst: Value(row, r.w_gust, "knt", v); break;
    case Col::kAlt: Value(row, r.alt, "in_Hg", v); break;
    case Col::kPres: Value(row, r.pmb, "mb", v); break;
    case Col::kWx: Text(row, Bounded(r.weather)); break;
    case Col::kSaowx: {
      char code[SFC_WEATHER_SIZE];
      WX_short_code(r.weather, code, sizeof code);
      Text(row, code);
      break;
    }
    case Col::kTxtwx: {
      char words[WX_TEXT_SIZE];
      WX_weather_text(r.weather, words);
      row.Str("%s ", words);
      break;
    }
    case Col::kVis: Value(row, r.vis, "mi", v); break;
    case Col::kCldcl: {
      float height = kMiss;
      WX_set_cloud(&r, nullptr, &height);
      Value(row, Present(height) ? height / 100.0f : kMiss, "100ft", v);
      break;
    }
    case Col::kCldcv: {
      char cover = ' ';
      WX_set_cloud(&r, &cover, nullptr);
      CoverText(row, cover);
      break;
    }
    case Col::kPtend: Value(row, r.ptend, "mb", v); break;
    case Col::kPrec1: Value(row, r.rain1, "in", v); break;
    case Col::kPrec3: Value(row, r.rain3, "in", v); break;
    case Col::kPrec6: Value(row, r.rain6, "in", v); break;
    case Col::kPrec12: Value(row, r.rain12, "in", v); break;
    case Col::kPrec24: Value(row, r.rain24, "in", v); break;
    case Col::kPrec: Value(row, Precip(r, v.time), "in", v); break;
    case Col::kExtt: Value(row, FirstPresent(r.max_t, r.min_t), "F", v); break;
    case Col::kMaxt: Value(row, r.max_t, "F", v); break;
    case Col::kMaxt6: Value(row, r.max6_t, "F", v); break;
    case Col::kMint: Value(row, r.min_t, "F", v); break;
    case Col::kMint6: Value(row, r.min6_t, "F", v); break;
    case Col::kSnwdp: Value(row, r.scover, "in", v); break;
    case Col::kNlcld: Code(row, r.cld_low); break;
    case Col::kLcld: Code(row, r.cld_type[0]); break;
    case Col::kMcld: Code(row, r.cld_type[1]); break;
    case Col::kHcld: Code(row, r.cld_type[2]); break;
    case Col::kSolar: Value(row, r.solar, "min", v); break;
    case Col::kSst: Value(row, r.sst, "C", v); break;
    case Col::kWavper: Value(row, r.wav_per, "sec", v); break;
    case Col::kWavhgt: Value(row, r.wav_hgt, "m", v); break;
    case Col::kVpres: Value(row, vapor_pr(in.tdk), "mb", v); break;
    case Col::kSvpres: Value(row, vapor_pr(in.tk), "mb", v); break;
    case Col::kWchilt: Value(row, wind_chill_temp(in.tk, in.ws), "K", v); break;
    case Col::kWchill2: Value(row, wind_chill_temp2(in.tk, in.ws), "K", v); break;
    case Col::kWchilf: Value(row, wind_chill(in.tk, in.ws), "W/m^2", v); break;
    case Col::kHeat: Value(row, heat_index(in.tk, in.tdk), "K", v); break;
    case Col::kHumit: Value(row, humiture(in.tk, in.tdk), "F", v); break;
    case Col::kMrat: Value(row, mix_ratio(in.tdk, in.p), "g/kg", v); break;
    case Col::kSmrat: Value(row, mix_ratio(in.tk, in.p), "g/kg", v); break;
    case Col::kShum: Value(row, spec_hum(in.tdk, in.p), "g/kg", v); break;
    case Col::kRhum: Value(row, rel_hum(in.tk, in.tdk), "%", v); break;
    case Col::kWetblb: Value(row, wet_bulb(in.tk, in.tdk, in.p), "K", v); break;
    case Col::kThetaw: Value(row, wet_bulb_pot_temp(in.tk, in.tdk, in.p), "K", v); break;
    case Col::kThetae: Value(row, eq_pot_temp(in.tk, in.tdk, in.p), "K", v); break;
    case Col::kThetav: Value(row, virt_pot_temp(in.tk, in.tdk, in.p), "K", v); break;
    case Col::kTheta: Value(row, pot_temp(in.tk, in.p), "K", v); break;
    case Col::kVtemp: Value(row, virt_temp(in.tk, in.tdk, in.p), "K", v); break;
    case Col::kFr: Text(row, FlightCategory(r)); break;
    case Col::kRmk: row.Str("%s ", Bounded(r.comment)); break;
    case Col::kUnknown: Missing(row); break;
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
constexpr std::size_t kPairsMax = 2 * VAR_MAX;
std::vector<KnownPair> known_pairs;

float Convert(float value, const char *iunit, const char *ounit) {
  if (iunit == nullptr) iunit = "";
  for (const KnownPair &k : known_pairs)
    if (std::strncmp(k.iunit, iunit, UNIT_NAME_MAX) == 0 &&
        std::strncmp(k.ounit, ounit, UNIT_NAME_MAX) == 0)
      return UNIT_apply(k.cvt, value);
  KnownPair k;
  if (!UNIT_get_cvt(iunit, ounit, &k.cvt)) return 0.0f;
  if (known_pairs.size() < kPairsMax) {
    std::snprintf(k.iunit, sizeof k.iunit, "%s", iunit);
    std::snprintf(k.ounit, sizeof k.ounit, "%s", ounit);
    known_pairs.push_back(k);
  }
  return UNIT_apply(k.cvt, value);
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
  for (; **p >= '0' && **p <= '9'; ++*p) {
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
    if (*p == '-') f.left = true;
    else other_flags = true;
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
  if (ounits != nullptr && *ounits != '\0') val = Convert(val, iunits, ounits);
  FloatFormat f = ReadFormat(format);
  if (!f.ok) {
    format = kDefaultFormat;
    f = ReadFormat(format);
  }
  if (f.plain) WritePlain(f, val, str, size);
  else std::snprintf(str, size, format, static_cast<double>(val));
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
  const Inputs in = MakeInputs(*report);
  const std::vector<Col> &cols = Columns(vars, num);
  for (int k = 0; k < num; ++k) {
    MakeRoom(level, row);
    Column(row, *report, in, vars[k], cols[k]);
  }
  MESS_print(level, "%s\n", row.c_str());
  return 0;
}

void SFC_print_var_reset() {
  known_pairs.clear();
  columns.clear();
  columns_of = -1;
}
