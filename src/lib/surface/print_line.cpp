// Report line formats: the rows and column headers of the tabular formats 1, 2,
// 4 and 5, and the dispatch to the full report text and the variable-list line.
//
// Every row is put together column by column in a local buffer and leaves in
// one MESS_print per output line; the format strings below are those of the
// columns as they print. A value is "present" when it is not exactly -9999 and
// "non-negative" when it is 0 or more (a negative amount then prints as
// missing); each column uses the test its format has always used.
#include "surface/print_line.h"
#include "surface/print_testing.h"

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "calc/calc.h"
#include "surface/print_report.h"
#include "resources/resources.h"
#include "surface/print_row.h"
#include "surface/print_rows.h"
#include "surface/print_var.h"
#include "surface/weather.h"
#include "var/var.h"

using sfc_print::Fmt;
using sfc_print::Row;

namespace {

// Line formats, by their parameter words.
enum LineFormat : int {
  kTwoLine = 1,   // "plns"
  kOneLine = 2,   // "pln"
  kFull = 3,      // "pfull"
  kSynoptic = 4,  // "psyn"
  kSimple = 5,    // "psimp"
  kVariable = 6,  // "pvar"
};

// The printer's settings.
struct LineState {
  int print_type = kOneLine;  // selected line format
  int miss_dash = 0;          // 1: missing values print as dashes, 0: as blanks
  int var_list = 0;           // 1 once the "variable" resource has been read into a list
};

LineState g_line;

// clang-format off
constexpr std::string_view kHeaderTwoLine1 =
    "  ID Tp Time  Vis    PWx   SLPres   T  Td   WD-WS WG  Alt   PT  Max Min";
constexpr std::string_view kHeaderTwoLine2 =
    "     CHt CCv CHt CCv CHt CCv CHt CCv CHt CCv  L:M:H  Rn3  Rn6 Rn12 Rn24 SC";
constexpr std::string_view kHeaderOneLine =
    "ID     TIME   T  TD  RH DIR SPD GST ALT SLP VIS CIL  COV WX  MAX MIN  PR6 PR24 SC";
constexpr std::string_view kHeaderSynoptic =
    " ID   Cht Cv  Vis   PWx  SLPres   T  Td  WD-WS WG  Te  PT   Rn6 Rn24 SC L:M:H";
constexpr std::string_view kHeaderSimple1 =
    " ID   Temp  Dew  Winds       Press   Clouds   Prec  Weather";
constexpr std::string_view kHeaderSimple2 =
    "        F    F   deg   knt     mb  100ft cov   in";
// clang-format on

bool Present(float v) { return v != SFC_MISSING_F; }
bool NonNegative(float v) { return v >= 0.0f; }

// The first of two values that is present (the second one, maybe missing, else).
float FirstPresent(float a, float b) { return Present(a) ? a : b; }

// A text field of the record up to its terminator, never past the field.
template <std::size_t N>
std::string_view Bounded(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// Cloud layers a row can show: num_cld kept within 0 to SFC_MAX_CLD.
int Layers(const SFC_report &r) {
  if (r.num_cld < 0) return 0;
  return r.num_cld > SFC_MAX_CLD ? SFC_MAX_CLD : r.num_cld;
}

// A cloud type code that names no type: a blank, or a zero byte of a record
// filled from elsewhere.
bool NoCloudType(char c) { return c == ' ' || c == '\0'; }

// A direction without a speed (or a speed without a direction) is no wind:
// printing it would put -9999 into a two-character column.
bool WindPresent(const SFC_report &r) { return Present(r.w_dir) && Present(r.w_spd); }

void Missing(Row &row, std::string_view blank, std::string_view dash) {
  row.Text(g_line.miss_dash ? dash : blank);
}

// A numeric column: `value` with `format` when `ok`, else its blank or dash form.
void Column(Row &row, bool ok, const Fmt<'f'> &format, double value, std::string_view blank,
            std::string_view dash) {
  if (ok)
    row.Num(format, value);
  else
    Missing(row, blank, dash);
}

// The identifier; an empty one shows its dash form when missing values are dashed.
void IdColumn(Row &row, const SFC_report &r, const Fmt<'s'> &format, std::string_view dash) {
  const std::string_view id = Bounded(r.id);
  if (g_line.miss_dash && id.empty())
    row.Text(dash);
  else
    row.Str(format, id);
}

void CloudTypes(Row &row, const SFC_report &r) {
  row.Char(r.cld_type[0]);
  row.Text(":");
  row.Char(r.cld_type[1]);
  row.Text(":");
  row.Char(r.cld_type[2]);
}

void Emit(M_type level, Row &row) {
  MESS_print(level, "%s\n", row.c_str());
  row.Clear();
}

// ---- cloud cover labels -----------------------------------------------------

// Label set A (five characters) of the letter codes, or null.
const char *LabelA(char code) {
  switch (code) {
    case 'C': return " CLR ";
    case 'F': return " FEW ";
    case 'S': return " SCT ";
    case 'B': return " BKN ";
    case 'O': return " OVC ";
    case 'X': return "  X  ";
    case 's': return "-SCT ";
    case 'b': return "-BKN ";
    case 'o': return "-OVC ";
    case 'x': return " -X  ";
    default: return nullptr;
  }
}

// Cover in eighths (converted files) as the letter code of the same cover.
char OktasAsLetter(char code) {
  switch (code) {
    case '0': return 'C';
    case '1': return 'F';
    // clang-format off
    case '2': case '3': return 'S';
    case '4': case '5': case '6': return 'B';
    case '7': case '8': return 'O';
    // clang-format on
    case '9': return 'X';
    default: return code;
  }
}

// Ceiling cover of the one-line format: the letter labels, oktas 9 as obscured,
// other oktas as "%c/8 "; a blank or unknown code is missing.
void CoverOneLine(Row &row, char code) {
  if (const char *label = LabelA(code)) {
    row.Text(label);
  } else if (code == '9') {
    row.Text(LabelA('X'));
  } else if (code >= '0' && code <= '8') {
    row.Char(code);
    row.Text("/8 ");
  } else {
    Missing(row, "     ", "   - ");
  }
}

// Ceiling cover of the simple format: oktas read as the letter codes; an
// unknown code prints nothing.
void CoverSimple(Row &row, char code) {
  if (code == ' ') {
    Missing(row, "     ", "   - ");
  } else if (code == 'f') {
    row.Text("-FEW ");
  } else if (const char *label = LabelA(OktasAsLetter(code))) {
    row.Text(label);
  }
}

// One cloud layer of the two-line format (label set B), eight characters: the
// height in hundreds of feet when it is known, then the cover label. 'f', the
// oktas and any code without a label of its own print as the code in eighths.
void LayerTwoLine(Row &row, char code, float height) {
  const bool known = NonNegative(height);
  const double h = height / 100.0;
  const char *with = nullptr;     // after "%3.0f"
  const char *without = nullptr;  // the whole column
  switch (code) {
    // clang-format off
    case 'C': with = " CLR "; without = "    CLR "; break;
    case 'F': with = " FEW "; without = "   -FEW "; break;
    case 'S': with = " SCT "; without = "    SCT "; break;
    case 'B': with = " BKN "; without = "    BKN "; break;
    case 'O': with = " OVC "; without = "    OVC "; break;
    case 'X': with = " X   "; without = "    X   "; break;
    case 's': with = "-SCT "; without = "   -SCT "; break;
    case 'b': with = "-BKN "; without = "   -BKN "; break;
    case 'o': with = "-OVC "; without = "   -OVC "; break;
    case 'x': with = "-X   "; without = "   -X   "; break;
    // clang-format on
    case ' ':
      if (known) {
        row.Text("    M   ");
        return;
      }
      break;  // "    %1c/8 " below
    default:
      if (known) {
        row.Num("%3.0f ", h);  // "%3.0f %1c/8 "
        row.Char(code);
        row.Text("/8 ");
        return;
      }
      break;  // "    %1c/8 " below
  }
  if (!with) {
    row.Text("    ");
    row.Char(code);
    row.Text("/8 ");
  } else if (known) {
    row.Num("%3.0f", h);
    row.Text(with);
  } else {
    row.Text(without);
  }
}

// ---- format 1: two lines ----------------------------------------------------

std::string_view TypeLetters(int type) {
  if ((type & 3) == 3) return "RS";
  if (type & 1) return "SA";
  if (type & 2) return "SP";
  return "--";
}

void RowTwoLine(M_type level, const SFC_report &r) {
  Row row;
  IdColumn(row, r, "%4s ", " -   ");
  row.Text(TypeLetters(r.type));
  if (r.type & 4)
    row.Text("*");
  else
    Missing(row, " ", "-");
  if (r.time >= 0)
    row.Int("%4.4d ", r.time);
  else
    Missing(row, "     ", "   - ");
  Column(row, NonNegative(r.vis), "%5.1f  ", r.vis, "       ", "    -  ");

  std::string_view wx = Bounded(r.weather);
  if (!wx.empty() && wx.front() == ' ') {
    Missing(row, "      ", "    - ");
  } else {
    if (!wx.empty() && wx.front() == '!') wx.remove_prefix(1);  // the METAR groups
    row.Str("%5.5s ", wx);
  }

  Column(row, NonNegative(r.pmb), " %6.1f ", r.pmb, "        ", "      - ");
  Column(row, Present(r.t), "%3.0f ", r.t, "    ", "  - ");
  Column(row, Present(r.td), "%3.0f ", r.td, "    ", "  - ");
  if (WindPresent(r)) {
    // " %3.0f-%2.0f ", with dashes for missing values " %3.0f %2.0f ", then the gust.
    if (g_line.miss_dash)
      row.Num(" %3.0f ", r.w_dir);
    else
      row.Num(" %3.0f-", r.w_dir);
    row.Num("%2.0f ", r.w_spd);
    Column(row, NonNegative(r.w_gust), "%2.0f ", r.w_gust, "   ", " - ");
  } else {
    Missing(row, "    -      ", "   -  -  - ");
  }
  Column(row, NonNegative(r.alt), "%5.2f ", r.alt, "      ", "    - ");
  Column(row, Present(r.ptend), "%4.1f  ", r.ptend, "      ", "    - ");
  const float high = FirstPresent(r.max_t, r.max6_t);
  Column(row, Present(high), "%3.0f ", high, "    ", "  - ");
  const float low = FirstPresent(r.min_t, r.min6_t);
  Column(row, Present(low), "%3.0f ", low, "    ", "  - ");
  Emit(level, row);

  row.Text("    ");
  const int layers = Layers(r);
  for (int i = 0; i < SFC_MAX_CLD; ++i) {
    if (i < layers)
      LayerTwoLine(row, r.cld_cover[i], r.cld_height[i]);
    else
      Missing(row, "        ", " -   -  ");
  }
  row.Text("  ");
  CloudTypes(row, r);  // "%c:%c:%c  "
  row.Text("  ");
  Column(row, NonNegative(r.rain3), "%4.2f ", r.rain3, "     ", "     ");
  Column(row, NonNegative(r.rain6), "%4.2f ", r.rain6, "     ", "   - ");
  Column(row, NonNegative(r.rain12), "%4.2f ", r.rain12, "     ", "   - ");
  Column(row, NonNegative(r.rain24), "%4.2f ", r.rain24, "     ", "   - ");
  Column(row, NonNegative(r.scover), "%2.0f", r.scover, "  ", "  ");
  Emit(level, row);

  const std::string_view comment = Bounded(r.comment);
  if (!comment.empty()) {
    row.Text("   COMMENT: ");
    row.Text(comment);
    Emit(level, row);
  }
}

// ---- format 2: one line -----------------------------------------------------

// The last three digits of the whole part of `scaled` (a pressure times 10 or
// 100), as the coded pressures of the table show them. False for a value that
// has no whole part to show.
bool CodedPressure(double scaled, int *code) {
  if (!std::isfinite(scaled)) return false;
  *code = static_cast<int>(std::fmod(std::trunc(scaled), 1000.0));
  return true;
}

void RowOneLine(M_type level, const SFC_report &r) {
  Row row;
  IdColumn(row, r, "%-6.6s ", "  -   ");
  if (r.time != SFC_MISSING)
    row.Int("%4.4d ", r.time);
  else
    Missing(row, "     ", "   - ");
  Column(row, Present(r.t), "%3.0f ", r.t, "    ", "  - ");
  Column(row, Present(r.td), "%3.0f ", r.td, "    ", "  - ");

  // Relative humidity from temperature and dew point in kelvin; a pair the
  // formula rejects (a temperature below absolute zero) is missing too.
  float rh = SFC_MISSING_F;
  if (Present(r.t) && Present(r.td)) rh = rel_hum(f_to_k(r.t), f_to_k(r.td));
  Column(row, Present(rh), "%3.0f ", rh, "    ", "  - ");

  Column(row, Present(r.w_dir), "%3.0f ", r.w_dir, "    ", "  - ");
  Column(row, Present(r.w_spd), "%3.0f ", r.w_spd, "    ", "  - ");
  Column(row, Present(r.w_gust), "%3.0f ", r.w_gust, "    ", "  - ");

  // 30.12 inches codes as 012, 1013.2 mb as 132.
  int code = 0;
  if (Present(r.alt) && CodedPressure(100.0 * (r.alt + 0.002), &code))
    row.Int("%03d ", code);
  else
    Missing(row, "    ", "  - ");
  if (Present(r.pmb) && CodedPressure(10.0 * (r.pmb + 0.02), &code))
    row.Int("%03d ", code);
  else
    Missing(row, "    ", "  - ");

  if (!Present(r.vis))
    Missing(row, "    ", "  - ");
  else if (r.vis >= 3.0f)
    row.Num("%3.0f ", r.vis);
  else
    row.Num("%3.1f ", r.vis);

  char cover = ' ';
  float height = SFC_MISSING_F;
  WX_set_cloud(&r, &cover, &height);
  Column(row, Present(height), "%3.0f ", height / 100.0, "    ", "  - ");
  CoverOneLine(row, cover);

  const std::string_view wx = Bounded(r.weather);
  if (!wx.empty() && wx.front() == ' ') {
    Missing(row, "    ", "-   ");
  } else {
    char shortcode[SFC_WEATHER_SIZE];
    WX_short_code(r.weather, shortcode, sizeof shortcode);
    if (g_line.miss_dash && (shortcode[0] == '\0' || shortcode[0] == ' '))
      row.Text("-   ");
    else
      row.Str("%-3.3s ", shortcode);
  }

  const float high = FirstPresent(r.max_t, r.max6_t);
  Column(row, Present(high), "%3.0f ", high, "    ", "  - ");
  const float low = FirstPresent(r.min_t, r.min6_t);
  Column(row, Present(low), "%3.0f ", low, "    ", "  - ");
  Column(row, Present(r.rain6), "%4.2f ", r.rain6, "     ", "   - ");
  Column(row, Present(r.rain24), "%4.2f ", r.rain24, "     ", "   - ");
  Column(row, Present(r.scover), "%2.0f", r.scover, "  ", " -");
  Emit(level, row);
}

// ---- format 4: synoptic -----------------------------------------------------

void RowSynoptic(M_type level, const SFC_report &r) {
  Row row;
  IdColumn(row, r, "%-5s ", " -    ");
  if (Layers(r) >= 1) {
    // " %3.0f %c " with the height, "     %c " without
    if (NonNegative(r.cld_height[0]))
      row.Num(" %3.0f ", r.cld_height[0] / 100.0);
    else
      row.Text("     ");
    row.Char(r.cld_cover[0]);
    row.Text(" ");
  } else {
    row.Text("       ");
  }
  Column(row, NonNegative(r.vis), "%5.1f  ", r.vis, "       ", "    -  ");

  const std::string_view wx = Bounded(r.weather);
  if (wx.empty() || wx.front() != ' ')
    row.Str("%4s", wx);  // the stored text as it is
  else
    Missing(row, "    ", "  - ");

  Column(row, NonNegative(r.pmb), " %6.1f ", r.pmb, "        ", "      - ");
  Column(row, Present(r.t), "%3.0f ", r.t, "    ", "  - ");
  Column(row, Present(r.td), "%3.0f ", r.td, "    ", "  - ");
  if (WindPresent(r)) {
    if (g_line.miss_dash)
      row.Num("%3.0f ", r.w_dir);
    else
      row.Num("%3.0f-", r.w_dir);
    row.Num("%2.0f ", r.w_spd);
    Column(row, NonNegative(r.w_gust), "%2.0f ", r.w_gust, "   ", "  - ");
  } else {
    Missing(row, "   -      ", "   -  -  - ");
  }

  float extreme = r.max_t;
  for (float t : {r.min_t, r.max6_t, r.min6_t})
    if (!Present(extreme)) extreme = t;
  Column(row, Present(extreme), "%2.0f ", extreme, "    ", "  - ");
  Column(row, Present(r.ptend), "%4.1f", r.ptend, "    ", "  - ");
  Column(row, NonNegative(r.rain6), " %4.2f ", r.rain6, "      ", "    - ");
  Column(row, NonNegative(r.rain24), "%4.2f ", r.rain24, "     ", "   - ");
  Column(row, NonNegative(r.scover), "%2.0f", r.scover, "  ", " -");
  if (!NoCloudType(r.cld_type[0])) {
    row.Text(" ");
    CloudTypes(row, r);  // " %c:%c:%c"
  }
  Emit(level, row);
}

// ---- format 5: simple ---------------------------------------------------------

// Dashes mark the missing values of this format whatever the missing-value setting says; only
// the cover and weather columns follow it.
void RowSimple(M_type level, const SFC_report &r) {
  Row row;
  row.Str("%5s ", Bounded(r.id));
  if (Present(r.t))
    row.Num(" %3.0f ", r.t);
  else
    row.Text(" --- ");
  if (Present(r.td))
    row.Num(" %3.0f ", r.td);
  else
    row.Text(" --- ");
  if (WindPresent(r)) {
    row.Num(" %3.0f at ", r.w_dir);  // " %3.0f at %2.0f "
    row.Num("%2.0f ", r.w_spd);
  } else {
    row.Text(" ---    -- ");
  }
  if (Present(r.pmb))
    row.Num(" %6.1f ", r.pmb);
  else
    row.Text(" ------ ");

  char cover = ' ';
  float height = SFC_MISSING_F;
  WX_set_cloud(&r, &cover, &height);
  if (Present(height))
    row.Num(" %3.0f ", height / 100.0);
  else
    row.Text(" --- ");
  CoverSimple(row, cover);

  if (NonNegative(r.rain6))
    row.Num(" %4.2f ", r.rain6);
  else
    row.Text(" ---- ");

  const std::string_view wx = Bounded(r.weather);
  if (wx.empty() || wx.front() != ' ') {
    char words[WX_TEXT_SIZE];
    WX_weather_text(r.weather, words);
    row.Text(words);
  } else if (g_line.miss_dash) {
    row.Text(" - ");
  }
  Emit(level, row);
}

void Header(M_type level, std::string_view line) {
  MESS_print(level, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

int SFC_set_print(int type) {
  g_line.print_type = type;
  return 0;
}

int SFC_get_print() { return g_line.print_type; }

int SFC_set_miss_dash(int flag) {
  g_line.miss_dash = flag;
  return 0;
}

int SFC_get_miss_dash() { return g_line.miss_dash; }

int SFC_print_line(M_type level, const SFC_report *report) {
  if (!MESS_check(level)) return 0;
  // The variable list is built from the first "variable" resource found, with
  // the definitions of the default variable file, whatever the build gives. Only
  // the variable-list format and the CSV and JSON rows look for it: the other
  // formats pay nothing per row and show no notes about a list they do not print.
  if (g_line.print_type == kVariable || SFC_print_is_rows(g_line.print_type)) {
    if (!g_line.var_list) {
      if (const char *text = RES_get("variable")) {
        const std::string list = text;  // the store may move while the list is built
        VAR_open_file(nullptr);
        g_line.var_list = 1;
        VAR_setup(nullptr, list.c_str());
      }
    }
    if (g_line.var_list && g_line.print_type == kVariable) return SFC_print_var(level, report);
  }
  switch (g_line.print_type) {
    case kFull:
      SFC_print_report(report);  // no header: nothing for a null report
      break;
    case kSimple:
      if (report) {
        RowSimple(level, *report);
      } else {
        Header(level, kHeaderSimple1);
        Header(level, kHeaderSimple2);
      }
      break;
    case kTwoLine:
      if (report) {
        RowTwoLine(level, *report);
      } else {
        Header(level, kHeaderTwoLine1);
        Header(level, kHeaderTwoLine2);
      }
      break;
    case kSynoptic:
      if (report)
        RowSynoptic(level, *report);
      else
        Header(level, kHeaderSynoptic);
      break;
    case kOneLine:
      if (report)
        RowOneLine(level, *report);
      else
        Header(level, kHeaderOneLine);
      break;
    case SFC_PRINT_CSV:
    case SFC_PRINT_JSON:
      SFC_print_rows(level, report, g_line.print_type == SFC_PRINT_JSON, g_line.var_list);
      break;
    case kVariable:  // without a variable list nothing prints
    default: break;
  }
  return 0;
}

void SFC_print_reset_state() {
  g_line = LineState{};
  SFC_print_var_reset();
  SFC_rows_reset();
}
