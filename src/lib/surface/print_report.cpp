// Full report text: a decoded report as labelled lines in plain words.
#include "surface/print_report.h"

#include <cstring>
#include <string_view>

#include "calc/calc.h"
#include "surface/print_row.h"
#include "surface/weather.h"

using sfc_print::Row;

namespace {

// Wind chill printed only below this temperature, heat index only above this
// one, degrees Fahrenheit.
constexpr float kWindChillBelow = 30.0f;
constexpr float kHeatIndexAbove = 75.0f;
// Knots to metres per second.
constexpr float kKnotsToMps = 0.5144f;

bool Present(float v) { return v != SFC_MISSING_F; }
bool NonNegative(float v) { return v >= 0.0f; }

template <std::size_t N>
std::string_view Bounded(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

double Celsius(float fahrenheit) { return 5.0 * (fahrenheit - 32.0) / 9.0; }

void Emit(Row &row) {
  MESS_print(SFC_REPORT_CLASS, "%s\n", row.c_str());
  row.Clear();
}

// The cover word of a layer; null for a code without one.
const char *CoverWord(char code) {
  switch (code) {
    // clang-format off
    case '0': case 'C': return "clear";
    case '1': case 'F': return "few";
    case '2': case '3': case 'S': return "scattered";
    case '4': case '5': case '6': case 'B': return "broken";
    case '7': case '8': case 'O': return "overcast";
    case '9': case 'X': return "obscured";
    // clang-format on
    case 's': return "thin scattered";
    case 'b': return "thin broken";
    case 'o': return "thin overcast";
    case 'x': return "partially obscured";
    default: return nullptr;
  }
}

// "Winds: ..." with the gust when there is one. A direction without a speed
// is no wind to describe.
void WindLine(Row &row, const SFC_report &r) {
  if (!Present(r.w_dir) || !Present(r.w_spd)) return;
  if (r.w_spd != 0.0f) {
    row.Num("Winds:               %3.0f deg at ", r.w_dir);
    row.Num("%1.0f knt", r.w_spd);
  } else {
    row.Text("Winds:               calm");
  }
  if (Present(r.w_gust)) row.Num(" Gusts: %1.0f knt", r.w_gust);
  Emit(row);
}

// One line per layer: "Clouds:" before the first, seven blanks before the
// others, the layer number and height (twenty blanks when the height is not
// known), and the cover word. A code without a word still ends its line, so
// that the next line does not run on.
void CloudLines(Row &row, const SFC_report &r) {
  int layers = r.num_cld < 0 ? 0 : r.num_cld;
  if (layers > SFC_MAX_CLD) layers = SFC_MAX_CLD;
  for (int i = 0; i < layers; ++i) {
    row.Text(i == 0 ? "Clouds:" : "       ");
    if (Present(r.cld_height[i])) {
      row.Int("level %d: ", i + 1);  // "level %d: %6.0f feet "
      row.Num("%6.0f feet ", r.cld_height[i]);
    } else {
      row.Text("                    ");
    }
    if (const char *word = CoverWord(r.cld_cover[i])) row.Text(word);
    Emit(row);
  }
}

}  // namespace

int SFC_print_report(const SFC_report *report) {
  if (!report) return -1;
  const SFC_report &r = *report;
  Row row;

  row.Str("Data for: %s", Bounded(r.id));
  Emit(row);
  if (r.wmo != SFC_MISSING) {
    row.Int("WMO number: %d", r.wmo);
    Emit(row);
  }
  if (Present(r.lat)) {
    row.Num("LAT: %7.2f N  ", r.lat);  // "LAT: %7.2f N  LON: %7.2f E"
    row.Num("LON: %7.2f E", r.lon);
    Emit(row);
  }
  if (Present(r.elev)) {
    row.Num("Elevation: %7.0f m", r.elev);
    Emit(row);
  }
  row.Text("-----------------------------------");
  Emit(row);

  if (r.time != SFC_MISSING) {
    row.Int("Report time:        %4.4d Z", r.time);
    Emit(row);
  }
  if (Present(r.t)) {
    row.Num("Temperature:         %3.0f F = ", r.t);
    row.Num("%4.1f C", Celsius(r.t));
    Emit(row);
  }
  if (Present(r.td)) {
    row.Num("Dewpoint:            %3.0f F = ", r.td);
    row.Num("%4.1f C", Celsius(r.td));
    Emit(row);
  }
  WindLine(row, r);
  if (Present(r.alt)) {
    row.Num("Altimeter setting:    %5.2f in Hg", r.alt);
    Emit(row);
  }
  if (Present(r.pmb)) {
    row.Num("Sea level pressure: %5.1f mb", r.pmb);
    Emit(row);
  }
  CloudLines(row, r);
  if (Present(r.vis)) {
    row.Num("Visibility:           %5.2f miles", r.vis);
    Emit(row);
  }
  if (r.weather[0] != ' ') {
    char words[WX_TEXT_SIZE];
    WX_weather_text(r.weather, words);
    row.Str("Present weather:     %s", words);
    Emit(row);
  }
  if (Present(r.ptend)) {
    row.Num("Pressure tendency:    %4.1f mb", r.ptend);
    Emit(row);
  }
  if (NonNegative(r.rain6)) {
    row.Num("3/6 hour precip:       %4.2f in", r.rain6);
    Emit(row);
  }
  if (NonNegative(r.rain24)) {
    row.Num("24 hour precip:        %4.2f in", r.rain24);
    Emit(row);
  }
  if (Present(r.max_t)) {
    row.Num("Max temperature:     %3.0f F", r.max_t);
    Emit(row);
  }
  if (Present(r.min_t)) {
    row.Num("Min temperature:     %3.0f F", r.min_t);
    Emit(row);
  }
  if (Present(r.max6_t)) {
    row.Num(" 6 hr Max temp:      %3.0f F", r.max6_t);
    Emit(row);
  }
  if (Present(r.min6_t)) {
    row.Num(" 6 hr Min temp:      %3.0f F", r.min6_t);
    Emit(row);
  }
  if (NonNegative(r.scover)) {
    row.Num("Snow cover:          %3.0f in.", r.scover);
    Emit(row);
  }

  // Wind chill and heat index: the formulas work in kelvin and metres per
  // second; a value they reject comes back missing and is not shown.
  if (Present(r.t) && Present(r.w_spd)) {
    const float chill = k_to_f(wind_chill_temp2(f_to_k(r.t), r.w_spd * kKnotsToMps));
    if (Present(chill) && chill < kWindChillBelow) {
      row.Num("Wind chill:           %4.1f F", chill);
      Emit(row);
    }
  }
  if (Present(r.t) && Present(r.td)) {
    const float heat = k_to_f(heat_index(f_to_k(r.t), f_to_k(r.td)));
    if (Present(heat) && heat > kHeatIndexAbove) {
      row.Num("Heat index:           %4.1f F", heat);
      Emit(row);
    }
  }

  if (r.cld_type[0] != ' ' && r.cld_type[0] != '\0') {
    row.Text("Cloud types- Low:");  // "Cloud types- Low:%c Medium:%c High:%c"
    row.Char(r.cld_type[0]);
    row.Text(" Medium:");
    row.Char(r.cld_type[1]);
    row.Text(" High:");
    row.Char(r.cld_type[2]);
    Emit(row);
  }
  const std::string_view comment = Bounded(r.comment);
  if (!comment.empty()) {
    row.Str("Remarks: %s", comment);
    Emit(row);
  }
  return 0;
}
