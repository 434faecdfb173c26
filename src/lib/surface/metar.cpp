// METAR and SPECI decoder: heading, time, wind, visibility, runway visual range,
// present weather, sky layers, temperature and altimeter. The remarks are in
// metar_remarks.cpp.
//
// Every pattern is compiled once (the Patterns struct below). A try that fails is
// settled by the scanner from the character at the cursor in most cases, so a
// ladder costs little more than its one pattern that fits. Nothing is allocated
// per report.
#include "surface/metar.h"

#include <cstdio>
#include <cstring>

#include "messages/messages.h"
#include "surface/decoder_internal.h"
#include "surface/metar_internal.h"
#include "surface/metar_testing.h"
#include "surface/raw_reader.h"
#include "surface/scanner.h"
#include "surface/weather.h"
#include "util/chars.h"
#include "util/util.h"

namespace {

constexpr M_type kNote = SFC_METAR_NOTE_CLASS;
constexpr M_type kLost = SFC_METAR_LOST_CLASS;

// Weather groups, runway groups and sky layers tried at most.
constexpr int kWeatherPasses = 5;
constexpr int kLayerTries = 5;
// Runway visual range groups are copied whole only when this short (group and
// the blanks after it).
constexpr int kRvrMaxLen = 19;
// The greatest wind direction a wind group can give.
constexpr int kMaxDirection = 360;

// ---- conversions ----------------------------------------------------------------

constexpr float kMpsToKnots = 1.944f;
constexpr float kKmhToKnots = 0.53996f;
constexpr float kNmToMiles = 1.1508f;
constexpr float kKmToMiles = 0.62137f;
constexpr float kMetresToMiles = 0.00062136f;
constexpr float kHpaToInches = 0.0295386f;
// Four-digit visibility meaning 10 km or more; it gives no visibility.
constexpr int kVisTenKm = 9999;
// A bare four-digit altimeter below this is hectopascals, else hundredths of inch.
constexpr float kBareAltHpaBelow = 2000.0f;

using decoder_detail::CelsiusToF;
using decoder_detail::CoveredPast;
using decoder_detail::Fits;
using decoder_detail::IsMissing;
using decoder_detail::Pats;
using decoder_detail::Take;
using decoder_detail::TakeWhole;
using metar_detail::g_metar;
using metar_detail::Maybe;
using metar_detail::Pat;

// ---- quick checks ---------------------------------------------------------------------
//
// Most tries of a ladder fail. The scanner settles many of them from the first
// character; for the ladders tried on almost every report (wind, visibility,
// layers) the checks below also look a few characters further, at what a
// pattern needs to fit by its count: a digit where it reads a one-digit number,
// the 'G' after the speed of a gust row, the letter after a layer. Each check is
// a necessary condition only, so skipping a try it rules out gives the same
// record. SFC_metar_set_quick_checks(false) turns them off, for the tests that
// show this.

// Characters an integer directive of width `w` takes `i` characters after the
// cursor: an optional '-' and digits within the width; 0 when it finds no digit.
inline int NumberAt(const parse_param &p, int i, int w) {
  int j = i;
  if (j < i + w && scanp_char(&p, j) == '-') ++j;
  const int first = j;
  while (j < i + w && zyp::is_digit(scanp_char(&p, j))) ++j;
  return j > first ? j - i : 0;
}

// Speed in the unit the wind group ends with ("" when it has none) to knots.
float SpeedToKnots(int v, const char *unit) {
  if (v == SFC_MISSING) return SFC_MISSING_F;
  const float s = static_cast<float>(v);
  if (unit[0] == 'K' && unit[1] == 'T') return s;  // KT, KTS
  if (unit[0] == 'M') return s * kMpsToKnots;      // MPS
  return s * kKmhToKnots;                          // KMH, or no unit
}

// Distance in SM, NM or KM to statute miles.
float DistanceToMiles(float v, const char *unit) {
  if (unit[0] == 'N') return v * kNmToMiles;
  if (unit[0] == 'K') return v * kKmToMiles;
  return v;
}

float MetresToMiles(int v) {
  return v == kVisTenKm ? SFC_MISSING_F : static_cast<float>(v) * kMetresToMiles;
}

// ---- patterns -------------------------------------------------------------------

struct Patterns {
  // heading
  Pat report_word{"%(METAR|SPECI|LWIS) ", "t"};
  Pat cor{"%*(COR) ", ""};
  Pat id{"%4s ", "t"};
  Pat type_word{"%(METAR|SPECI) ", "t"};
  Pat rtd_cor{"%*(RTD|COR) ", ""};
  Pat rmk{"%*(RMK) ", ""};
  Pat five_digits{"%*5d ", ""};
  Pat day_time_z{"%*2d%4d%*(Z|UTC) ", "i"};
  Pat time_z{"%4d%*(Z|UTC) ", "i"};
  Pat day_time{"%*2d%4d ", "i"};
  Pat time{"%4d ", "i"};
  Pat nil{"%*(NIL) ", ""};
  Pat auto_word{"%(AUTO) ", "t"};
  Pat cc{"%(CCA|CCB|CCC|CCD) ", "t"};
  // wind
  Pat calm{"%*(CALM) ", ""};
  // A gust written "//" is a missing gust (it would otherwise end the group
  // before its unit and leave the speed unconverted).
  // Three-digit gusts: read with the two-digit rows they would lose their last
  // digit (and the unit with it); like three-digit speeds they are passed over.
  Pat vrb_gust3{"%*!!(E)%*(VRB)%2d%*(/|G)%3d%!!(KTS|KT|MPS|KMH) ", "iit"};
  Pat vrb_gust{"%*!!(E)%*(VRB)%2d%*(/|G)%2!//!d%!!(KTS|KT|MPS|KMH) ", "iit"};
  Pat vrb3{"%*(VRB)%3d%!!(KTS|KT|MPS|KMH) ", "it"};
  Pat vrb2{"%*(VRB)%2d%!!(KTS|KT|MPS|KMH) ", "it"};
  Pat wind33_gust{"%*!!(E)%3d%3d%*(/|G)%2!//!d%!!(KTS|KT|MPS|KMH) ", "iiit"};
  Pat wind32_gust3{"%*!!(E)%3d%2!//!d%*(/|G)%3d%!!(KTS|KT|MPS|KMH) ", "iiit"};
  Pat wind32_gust{"%*!!(E)%3d%2!//!d%*(/|G)%2!//!d%!!(KTS|KT|MPS|KMH) ", "iiit"};
  Pat wind33{"%*!!(E)%3d%3d%!!(KTS|KT|MPS|KMH) ", "iit"};
  Pat wind32{"%*!!(E)%3d%2!//!d%!!(KTS|KT|MPS|KMH) ", "iit"};
  Pat wind22_gust{"%*!!(E)%2d%2d%*(/|G)%2!//!d%!!(KTS|KT|MPS|KMH) ", "iiit"};
  Pat wind22{"%*!!(E)%2d%2d%!!(KTS|KT|MPS|KMH) ", "iit"};
  Pat wind_no_dir{"%*(///)%2d%!!(KTS|KT|MPS|KMH) ", "it"};
  Pat wind_slashes_unit{"%*(/////)%(KTS|KT|MPS|KMH) ", "t"};
  Pat wind_slashes{"%*(/////) ", ""};
  // visibility
  Pat cavok{"%*(CAVOK) ", ""};
  Pat wind_range{"%3d%*(V)%3d ", "ii"};
  Pat vis_slashes{"%*(////) ", ""};
  Pat vis_slashes_unit{"%*(////)%*(SM|KM) ", ""};
  Pat vis_unit{"%*(M|)%<3d%(SM|NM|KM) ", "it"};
  Pat vis_frac_unit{"%*(M|)%1d/%<2d%(SM|NM) ", "iit"};
  Pat vis_mixed_unit{"%*(M|)%1d%1d/%1d%(SM|NM) ", "iiit"};
  Pat vis_mixed_sp_unit{"%*(M|)%1d %1d/%<2d%(SM|NM) ", "iiit"};
  Pat vis_temp{"%*(M|)%2d/%*(M|)%2d ", "ii"};
  Pat vis_frac{"%*(M|)%1d/%<2d ", "ii"};
  Pat vis_mixed{"%*(M|)%1d%1d/%1d ", "iii"};
  Pat vis_mixed_sp{"%*(M|)%1d %1d/%<2d ", "iii"};
  Pat vis_metres_dir{"%4d%*[/A] ", "i"};
  Pat vis_metres{"%4d ", "i"};
  Pat vis_miles{"%<3d ", "i"};
  // greater-than visibility and runway visual range
  Pat greater_unit{"%*(P)%<4d%(SM|NM|KM) ", "it"};
  Pat greater{"%*(P)%<4d ", "i"};
  Pat rvrno{"%*(RVRNO) ", ""};
  Pat rvr{"RVR%*d/%*s ", ""};
  Pat runway{"R%*d/%*s ", ""};
  Pat runway_side{"R%*d%*c/%*s ", ""};
  // present weather
  Pat wx_slashes{"%*(//) ", ""};
  Pat wx_number{"%2d%[/A] ", "it"};
  Pat wx_stop_number{"%*(M|R|P|Q)%d ", "i"};
  Pat wx_stop_word{"%*(RMK|SKC|CLR|FEW|SCT|-SCT|BKN|-BKN|OVC|-OVC|0VC|-0VC|VV|NSC|NCD)", ""};
  Pat wx_group{"%[/A-+] ", "t"};
  // sky
  Pat ncd{"%*(NCD) ", ""};
  Pat nsc{"%*(NSC) ", ""};
  Pat skc_clr{"%*(SKC|CLR) ", ""};
  Pat sky_slashes6{"%*(//////) ", ""};
  Pat sky_slashes5{"%*(/////) ", ""};
  Pat oktas{"%1d%2[/A]%3d ", "iti"};
  Pat oktas_slashes{"%1d%2[/A]%*(///) ", "it"};
  Pat oktas4{"%1d%4[/A]%3d ", "iti"};
  Pat vv{"VV%3!///!d ", "i"};
  Pat layer_slashes{"%3[/A]%3!///!d%*(///) ", "ti"};
  Pat layer_type{"%3[/A]%3!///!d%*[/A] ", "ti"};
  Pat layer{"%3[/A]%3!///!d ", "ti"};
  Pat paren{"(%3[/A]) ", "t"};
  // temperature and dew point
  Pat temp_slashes{"%*(/////) ", ""};
  Pat temp_both{"%!!(M)%<3!XX!f/%!!(M)%<3!XX!f ", "tftf"};
  Pat temp_slash3{"%!!(M)%<3!XX!f/// ", "tf"};
  Pat temp_slash{"%!!(M)%<3!XX!f%*(/) ", "tf"};
  Pat temp_lone{"%!!(M)%<3!XX!f/ ", "tf"};
  Pat word{"%s ", "t"};
  // altimeter
  Pat slash{"%*(/) ", ""};
  Pat alt_ins{"%4f%*(INS) ", "f"};
  Pat alt_aq{"%(A|Q)%4f ", "tf"};
  Pat alt_bare{"%4f ", "f"};
};

// ---- notes ------------------------------------------------------------------------

inline void Note(const char *text) { decoder_detail::Note(kNote, text); }

void SetClearSky(SFC_report *r) {
  r->cld_cover[0] = 'C';
  r->num_cld = 1;
}

void AddLayer(SFC_report *r, char cover, float height) {
  if (r->num_cld < 0 || r->num_cld >= SFC_MAX_CLD) return;
  r->cld_cover[r->num_cld] = cover;
  r->cld_height[r->num_cld] = height;
  ++r->num_cld;
}

float Hundreds(int v) { return v == SFC_MISSING ? SFC_MISSING_F : static_cast<float>(v) * 100.0f; }

// ---- heading ------------------------------------------------------------------------

// Whether the group at the cursor is exactly five digits ("%*5d " fits): read
// from the characters directly when the quick checks are on.
bool FiveDigits(parse_param &p, const Patterns &k) {
  if (g_metar.quick_now) return NumberAt(p, 0, 5) == 5;
  return Fits(p, k.five_digits, 1);
}

// Identifier, report kind and time. Returns false for a NIL report.
bool DecodeHeading(parse_param &p, const Patterns &k, int format, SFC_report *r) {
  char word[SCANP_TEXT_SIZE];
  Take(p, k.report_word, 1, word);
  Take(p, k.cor, 1);
  Take(p, k.id, 1, r->id);

  // The type word may also follow the identifier; only that one is looked at.
  word[0] = '\0';
  Take(p, k.type_word, 1, word);
  r->type |= (word[0] == 'S' || format % 8 == SFC_FMT_SPECI) ? SFC_TYPE_SPECIAL : SFC_TYPE_ROUTINE;
  std::memcpy(r->area, "ME", 3);
  r->time = SFC_get_prhour();
  Take(p, k.rtd_cor, 1);

  // Time group. A five-digit group here is a wind group without its unit: its
  // first four digits are no time.
  int hhmm = 0;
  bool have_time = Take(p, k.day_time_z, 3, &hhmm);
  if (!have_time) {
    const bool five = FiveDigits(p, k);
    have_time = (!five && Take(p, k.time_z, 2, &hhmm)) || Take(p, k.day_time, 2, &hhmm) ||
                (!five && Take(p, k.time, 1, &hhmm));
  }
  if (have_time) r->time = hhmm;

  Take(p, k.rtd_cor, 1);
  Take(p, k.rmk, 1);
  if (!FiveDigits(p, k)) {
    int dropped = 0;  // a second time group
    Take(p, k.time_z, 2, &dropped);
  }
  if (Take(p, k.nil, 1)) {
    r->type = SFC_TYPE_NIL;
    return false;
  }
  Take(p, k.auto_word, 1, word);
  Take(p, k.cc, 1, word);
  // "AUTO NIL": an automatic station that sent no observation.
  if (Take(p, k.nil, 1)) {
    r->type = SFC_TYPE_NIL;
    return false;
  }
  return true;
}

// ---- wind ---------------------------------------------------------------------------

// A direction no wind group can give: the group is something else (a four-digit
// visibility such as 9999 read as 990 degrees) and stays for the next step.
bool BadDirection(int dir) { return dir < 0 || dir > kMaxDirection; }

void DecodeWind(parse_param &p, const Patterns &k, SFC_report *r) {
  int dir = 0, spd = 0, gust = 0;
  char unit[8];
  auto store = [r, &unit](float d, int s, int g, bool with_gust) {
    r->w_dir = d;
    r->w_spd = SpeedToKnots(s, unit);
    if (with_gust) r->w_gust = SpeedToKnots(g, unit);
  };

  if (Take(p, k.calm, 1)) {
    r->w_dir = 0;
    r->w_spd = 0;
    return;
  }
  if (Take(p, k.vrb_gust3, 6, &spd, &gust, unit)) return;
  if (Take(p, k.vrb_gust, 6, &spd, &gust, unit)) return store(0, spd, gust, true);
  if (Take(p, k.vrb3, 3, &spd, unit) || Take(p, k.vrb2, 3, &spd, unit))
    return store(0, spd, 0, false);

  // What the direction and speed rows need: after an optional 'E', three (or
  // two) characters of a number, a speed of two characters, a gust separator.
  const int e = scanp_char(&p, 0) == 'E' ? 1 : 0;
  auto gust_at = [&p](int i) { return scanp_char(&p, i) == 'G' || scanp_char(&p, i) == '/'; };
  const bool dir3 = NumberAt(p, e, 3) == 3;
  const bool spd3 = dir3 && NumberAt(p, e + 3, 3) == 3;
  const bool spd2 = dir3 && (NumberAt(p, e + 3, 2) == 2 ||
                             (scanp_char(&p, e + 3) == '/' && scanp_char(&p, e + 4) == '/'));
  const bool gust3 = spd2 && gust_at(e + 5) && NumberAt(p, e + 6, 3) == 3;
  const bool gust2 = spd2 && gust_at(e + 5) &&
                     (NumberAt(p, e + 6, 2) == 2 ||
                      (scanp_char(&p, e + 6) == '/' && scanp_char(&p, e + 7) == '/'));
  const bool tens = NumberAt(p, e, 2) == 2 && NumberAt(p, e + 2, 2) == 2;

  // Three-digit speeds and gusts are passed over: wind stays missing.
  if (Maybe(spd3 && gust_at(e + 6)) && Fits(p, k.wind33_gust, 6, &dir, &spd, &gust, unit) &&
      !BadDirection(dir)) {
    scanp_inc(&p);
    return;
  }
  if (Maybe(gust3) && Fits(p, k.wind32_gust3, 6, &dir, &spd, &gust, unit) && !BadDirection(dir)) {
    scanp_inc(&p);
    return;
  }
  if (Maybe(gust2) && Fits(p, k.wind32_gust, 6, &dir, &spd, &gust, unit) && !BadDirection(dir)) {
    scanp_inc(&p);
    return store(static_cast<float>(dir), spd, gust, true);
  }
  if (Maybe(spd3) && Fits(p, k.wind33, 4, &dir, &spd, unit) && !BadDirection(dir)) {
    scanp_inc(&p);
    return;
  }
  if (Maybe(spd2) && Fits(p, k.wind32, 4, &dir, &spd, unit) && !BadDirection(dir)) {
    scanp_inc(&p);
    return store(static_cast<float>(dir), spd, 0, false);
  }
  // Tens of degrees and a two-digit speed.
  if (Maybe(tens && gust_at(e + 4)) && Fits(p, k.wind22_gust, 6, &dir, &spd, &gust, unit) &&
      !BadDirection(dir * 10)) {
    scanp_inc(&p);
    return store(static_cast<float>(dir * 10), spd, gust, true);
  }
  if (Maybe(tens) && Fits(p, k.wind22, 4, &dir, &spd, unit) && !BadDirection(dir * 10)) {
    scanp_inc(&p);
    return store(static_cast<float>(dir * 10), spd, 0, false);
  }
  if (Take(p, k.wind_no_dir, 3, &spd, unit)) {
    r->w_spd = SpeedToKnots(spd, unit);
    return;
  }
  if (Take(p, k.wind_slashes_unit, 2, unit)) return;
  TakeWhole(p, k.wind_slashes, 1);
}

// ---- visibility ---------------------------------------------------------------------

float Fraction(int a, int b) { return static_cast<float>(a) / static_cast<float>(b == 0 ? 1 : b); }

// The prevailing visibility (after the CAVOK and "////" checks).
void DecodeVisibilityLadder(parse_param &p, const Patterns &k, SFC_report *r) {
  // What the rows need after the optional M: a number and a unit letter; a
  // digit and '/'; two digits and '/'; a digit and a blank; a two-character
  // number and '/'; four digits (and a letter).
  const int m = scanp_char(&p, 0) == 'M' ? 1 : 0;
  const int miles = NumberAt(p, m, 3);
  const char after = scanp_char(&p, m + miles);
  const bool with_unit = miles > 0 && (after == 'S' || after == 'N' || after == 'K');
  const bool frac = zyp::is_digit(scanp_char(&p, m)) && scanp_char(&p, m + 1) == '/';
  const bool mixed = zyp::is_digit(scanp_char(&p, m)) && zyp::is_digit(scanp_char(&p, m + 1)) &&
                     scanp_char(&p, m + 2) == '/';
  const bool mixed_sp = zyp::is_digit(scanp_char(&p, m)) && scanp_blank(scanp_char(&p, m + 1));
  const bool temp = NumberAt(p, m, 2) == 2 && scanp_char(&p, m + 2) == '/';
  const bool metres = NumberAt(p, 0, 4) == 4;

  int a = 0, b = 0, c = 0;
  char unit[8];
  if (Maybe(with_unit) && Take(p, k.vis_unit, 3, &a, unit)) {
    r->vis = DistanceToMiles(static_cast<float>(a), unit);
  } else if (Maybe(frac) && Take(p, k.vis_frac_unit, 4, &a, &b, unit)) {
    r->vis = DistanceToMiles(Fraction(a, b), unit);
  } else if ((Maybe(mixed) && Take(p, k.vis_mixed_unit, 5, &a, &b, &c, unit)) ||
             (Maybe(mixed_sp) && Take(p, k.vis_mixed_sp_unit, 5, &a, &b, &c, unit))) {
    r->vis = DistanceToMiles(static_cast<float>(a) + Fraction(b, c), unit);
  } else if (Maybe(temp) && Fits(p, k.vis_temp, 4, &a, &b)) {
    // The temperature group: this report has no visibility.
  } else if (Maybe(frac) && Take(p, k.vis_frac, 3, &a, &b)) {
    r->vis = Fraction(a, b);
  } else if ((Maybe(mixed) && Take(p, k.vis_mixed, 4, &a, &b, &c)) ||
             (Maybe(mixed_sp) && Take(p, k.vis_mixed_sp, 4, &a, &b, &c))) {
    r->vis = static_cast<float>(a) + Fraction(b, c);
  } else if (Maybe(metres && zyp::is_alpha(scanp_char(&p, 4))) &&
             Take(p, k.vis_metres_dir, 2, &a)) {
    // Metres with a direction; a second such group is the least visibility.
    r->vis = MetresToMiles(a);
    if (Take(p, k.vis_metres_dir, 2, &b)) Note("Additional Vis ####AA group\n");
  } else if (Maybe(metres) && TakeWhole(p, k.vis_metres, 1, &a)) {
    r->vis = MetresToMiles(a);
    // The second plain group fits by its count: "0350//" is passed over whole.
    if (Take(p, k.vis_metres_dir, 2, &b) || Take(p, k.vis_metres, 1, &b))
      Note("Additional Vis #### group\n");
  } else if (Maybe(NumberAt(p, 0, 3) > 0) && TakeWhole(p, k.vis_miles, 1, &a)) {
    r->vis = static_cast<float>(a);
  }
}

// CAVOK, the variable wind direction range and the visibility. Returns true for
// CAVOK (clear sky, 10 miles, no weather or layers to read).
bool DecodeVisibility(parse_param &p, const Patterns &k, SFC_report *r) {
  bool cavok = Take(p, k.cavok, 1);
  if (!cavok) {
    int from = 0, to = 0;
    if (Maybe(NumberAt(p, 0, 3) == 3 && scanp_char(&p, 3) == 'V'))
      Take(p, k.wind_range, 3, &from, &to);
    // CAVOK after a variable direction range ("240V300 CAVOK") is as common as
    // CAVOK right after the wind.
    cavok = Take(p, k.cavok, 1);
  }
  if (cavok) {
    SetClearSky(r);
    r->vis = 10;
    return true;
  }
  // "////SM" is the missing visibility of automatic stations as well.
  if (!TakeWhole(p, k.vis_slashes, 1) && !TakeWhole(p, k.vis_slashes_unit, 2))
    DecodeVisibilityLadder(p, k, r);
  return false;
}

// ---- runway visual range ------------------------------------------------------------

// Copies one runway visual range group into the remarks. RVRNO is looked for
// only before the weather.
bool TakeRunway(parse_param &p, const Patterns &k, SFC_report *r, bool with_rvrno) {
  const char *message = nullptr;
  if (with_rvrno && Fits(p, k.rvrno, 1))
    message = "Runway Visual Range RVRNO\n";
  else if (Fits(p, k.rvr, 2) && p.len <= kRvrMaxLen)
    message = "Runway Visual Range RVR35/xxx\n";
  else if (Fits(p, k.runway, 2) && p.len <= kRvrMaxLen)
    message = "Runway Visual Range R35/xxx\n";
  else if (Fits(p, k.runway_side, 3) && p.len <= kRvrMaxLen)
    message = "Runway Visual Range R35L/xxx\n";
  if (!message) return false;
  SFC_add_remark_sections(r, scanp_str(&p), 1);
  Note(message);
  scanp_inc(&p);
  return true;
}

// Runway groups up to the greater-than visibility ("P6SM"), which ends them.
void DecodeRunwaysBefore(parse_param &p, const Patterns &k, SFC_report *r) {
  int v = 0;
  char unit[8];
  // Every turn takes at least one character.
  while (scanp_get_off(&p) < p.length) {
    // The form with its unit first: "%*(P)%<4d " would fit "P6SM" by its count
    // and leave "SM" for the weather.
    if (Take(p, k.greater_unit, 3, &v, unit) || Take(p, k.greater, 2, &v)) return;
    if (!TakeRunway(p, k, r, true)) return;
  }
}

// ---- present weather ------------------------------------------------------------------

void AddWeatherGroup(SFC_report *r, const char *group) {
  if (r->weather[0] == ' ') r->weather[0] = '!';
  if (std::strlen(r->weather) > 1) strmcat(r->weather, "_", SFC_WEATHER_LEN);
  strmcat(r->weather, group, SFC_WEATHER_LEN);
}

void DecodeWeather(parse_param &p, const Patterns &k, SFC_report *r) {
  if (Fits(p, k.wx_slashes, 1) && CoveredPast(p, 2)) {
    scanp_inc(&p);  // "//": weather not observed
  } else {
    int number = 0;
    char group[SCANP_TEXT_SIZE];
    if (Maybe(NumberAt(p, 0, 2) == 2 && zyp::is_alpha(scanp_char(&p, 2))) &&
        Take(p, k.wx_number, 2, &number, group)) {
      // A WMO present-weather number and letters, kept within the field.
      char digits[16];
      std::snprintf(digits, sizeof digits, "%d", number);
      r->weather[0] = '\0';
      strmcat(r->weather, digits, SFC_WEATHER_LEN);
      strmcat(r->weather, group, SFC_WEATHER_LEN);
    }
    // The groups end at the first sky group, remarks or a number with its letter
    // (M temperature, R runway, P visibility, Q altimeter). A pass in which no
    // group fits leaves the cursor, so no later pass can fit either.
    for (int pass = 0; pass < kWeatherPasses; ++pass) {
      int dummy = 0;
      if (Fits(p, k.wx_stop_number, 2, &dummy) || Fits(p, k.wx_stop_word, 1)) break;
      // Only a whole word is a weather group: the "A" of "A3013" or the "G" of
      // "G//KT" is not.
      if (!Fits(p, k.wx_group, 1, group) || !(p.done || p.off + p.len == p.length)) break;
      scanp_inc(&p);
      AddWeatherGroup(r, group);
    }
  }
  if (r->weather[0] == '!' && MESS_check(kNote)) {
    char code[WX_CODE_SIZE];
    WX_metar_weather(r->weather, code);
    MESS_print(kNote, "Metar Wx: %s\n", code);
  }
}

// ---- sky ------------------------------------------------------------------------------

char OktasCover(int oktas) { return oktas == 9 ? 'X' : static_cast<char>('0' + oktas); }

// Clear-sky and "//////" groups settle the sky condition; otherwise up to five
// layers.
void DecodeSky(parse_param &p, const Patterns &k, SFC_report *r) {
  if (Take(p, k.ncd, 1) || Take(p, k.nsc, 1) ||
      (Maybe(scanp_char(&p, 1) == 'K' || scanp_char(&p, 1) == 'L') && Take(p, k.skc_clr, 1))) {
    SetClearSky(r);
    return;
  }
  if (Fits(p, k.sky_slashes6, 1) && CoveredPast(p, 6)) {
    scanp_inc(&p);
    return;
  }
  if (Fits(p, k.sky_slashes5, 1) && CoveredPast(p, 5)) {
    scanp_inc(&p);
    return;
  }
  for (int n = 0; n < kLayerTries; ++n) {
    // A zero typed for the letter O.
    if (scanp_char(&p, 0) == '0' && scanp_char(&p, 1) == 'V' && scanp_char(&p, 2) == 'C')
      scanp_replace(&p, 0, 'O');
    // An oktas digit is followed by a letter; after a cover word and its
    // height comes '/' or a cloud-type letter.
    const bool oktas_group = zyp::is_digit(scanp_char(&p, 0)) && zyp::is_alpha(scanp_char(&p, 1));
    int oktas = 0, height = 0;
    char cover[SCANP_TEXT_SIZE];
    // The patterns are tried in this order (the first that fits takes the group), so
    // the two oktas forms with a height stay apart around the form without one.
    // NOLINTNEXTLINE(bugprone-branch-clone)
    if (Maybe(oktas_group) && Take(p, k.oktas, 3, &oktas, cover, &height)) {
      AddLayer(r, OktasCover(oktas), Hundreds(height));
    } else if (Maybe(oktas_group) && Take(p, k.oktas_slashes, 3, &oktas, cover)) {
      // "8ST///": the height is not known.
      AddLayer(r, OktasCover(oktas), SFC_MISSING_F);
    } else if (Maybe(oktas_group) && Take(p, k.oktas4, 3, &oktas, cover, &height)) {
      AddLayer(r, OktasCover(oktas), Hundreds(height));
    } else if (Take(p, k.vv, 1, &height)) {
      AddLayer(r, 'X', Hundreds(height));
    } else if ((Maybe(scanp_char(&p, 6) == '/') && Take(p, k.layer_slashes, 3, cover, &height)) ||
               (Maybe(zyp::is_alpha(scanp_char(&p, 6))) &&
                Take(p, k.layer_type, 3, cover, &height)) ||
               Take(p, k.layer, 2, cover, &height)) {
      AddLayer(r, cover[0], Hundreds(height));
    } else if (Take(p, k.paren, 1, cover)) {
      SFC_add_remarks(r, cover);  // "(TCU)": a note on the layer before
    } else {
      break;
    }
  }
}

// ---- temperature ----------------------------------------------------------------------

float Signed(const char *sign, float v) {
  if (IsMissing(v)) return v;
  return sign[0] == 'M' ? -v : v;
}

// Tries the temperature forms at the cursor of `q`; stores and moves past on a fit.
bool TakeTemperature(parse_param &q, const Patterns &k, SFC_report *r) {
  char s1[8], s2[8];
  float a = 0, b = 0;
  if (Take(q, k.temp_both, 4, s1, &a, s2, &b)) {
    r->t = CelsiusToF(Signed(s1, a));
    r->td = CelsiusToF(Signed(s2, b));
    return true;
  }
  if (TakeWhole(q, k.temp_slash3, 2, s1, &a) || Take(q, k.temp_slash, 3, s1, &a)) {
    r->t = CelsiusToF(Signed(s1, a));
    return true;
  }
  return false;
}

// Looks for the temperature group further on, word by word, up to the remarks.
// The words passed over are reported and dropped; when no group is found the
// cursor stays.
void LookAheadTemperature(parse_param &p, const Patterns &k, SFC_report *r) {
  parse_param q;
  scanp_set(&q, scanp_str(&p));
  const int base = scanp_get_off(&p);
  char s1[8], s2[8], word[SCANP_TEXT_SIZE];
  float a = 0, b = 0;
  while (scanp_get_off(&q) < q.length && std::strncmp(scanp_str(&q), "RMK", 3) != 0) {
    bool found = false;
    if (Fits(q, k.temp_both, 4, s1, &a, s2, &b)) {
      r->t = CelsiusToF(Signed(s1, a));
      r->td = CelsiusToF(Signed(s2, b));
      found = true;
    } else if (Fits(q, k.temp_lone, 2, s1, &a) && q.done) {
      r->t = CelsiusToF(Signed(s1, a));
      found = true;
    }
    if (found) {
      scanp_off(&p, base + scanp_get_off(&q) + q.len);
      return;
    }
    if (scanp(&q, k.word, word) != 1 || q.len == 0) return;
    if (MESS_check(kLost)) MESS_print(kLost, "Unaccounted data: %s\n", word);
    scanp_inc(&q);
  }
}

// "/////" is a temperature group with both values missing, also after a clear
// sky ("NCD ///// Q1011"); read as anything else it would take the altimeter
// with it.
void DecodeTemperature(parse_param &p, const Patterns &k, SFC_report *r) {
  if (Fits(p, k.temp_slashes, 1) && CoveredPast(p, 5)) {
    scanp_inc(&p);
    return;
  }
  if (!TakeTemperature(p, k, r)) LookAheadTemperature(p, k, r);
}

// ---- altimeter ------------------------------------------------------------------------

void DecodeAltimeter(parse_param &p, const Patterns &k, SFC_report *r) {
  Take(p, k.slash, 1);
  float v = 0;
  char aq[8];
  if (Take(p, k.alt_ins, 2, &v)) {
    r->alt = v / 100.0f;
  } else if (Take(p, k.alt_aq, 2, aq, &v)) {
    r->alt = aq[0] == 'Q' ? v * kHpaToInches : v / 100.0f;
  } else if (Take(p, k.alt_bare, 1, &v)) {
    r->alt = v < kBareAltHpaBelow ? v * kHpaToInches : v / 100.0f;
  }
  if (scanp_char(&p, 0) == '/') scanp_inc_off(&p, 1);
  Take(p, k.rmk, 1);
}

}  // namespace

metar_detail::MetarState metar_detail::g_metar;

void SFC_metar_set_quick_checks(bool on) { g_metar.quick_checks = on; }

void SFC_metar_reset_state() { g_metar = metar_detail::MetarState{}; }

// Decodes one report in the order its groups are written. Every step leaves the
// cursor where it was when nothing of it is there, so that a missing or damaged
// group costs only itself.
int SFC_decode_METAR(const char *data, int format, int bulletin, SFC_report *report) {
  if (!report) return -1;
  const Patterns &k = Pats<Patterns>();
  // The trace lists every try: no try is skipped while it is shown.
  g_metar.quick_now = g_metar.quick_checks && !MESS_check(SCANP_TRACE_CLASS);

  // The decoder's own copy: it mends "0VC" in place, and the caller's text is
  // read no further than a report text can reach.
  char text[SFC_DATA_SIZE];
  const std::size_t n = data ? strnlen(data, SFC_DATA_SIZE - 1) : 0;
  if (n > 0) std::memcpy(text, data, n);
  text[n] = '\0';
  std::size_t start = 0;
  while (start < n && decoder_detail::IsLeadingFill(text[start])) ++start;

  parse_param p;
  scanp_set(&p, text + start);

  if (!DecodeHeading(p, k, format, report)) return -1;
  DecodeWind(p, k, report);
  const bool cavok = DecodeVisibility(p, k, report);
  DecodeRunwaysBefore(p, k, report);
  if (!cavok) DecodeWeather(p, k, report);
  while (TakeRunway(p, k, report, false)) {
  }
  if (!cavok) DecodeSky(p, k, report);
  DecodeTemperature(p, k, report);
  DecodeAltimeter(p, k, report);
  metar_detail::DecodeRemarks(p, bulletin, report);
  return 0;
}
