// METAR remarks: an unordered list of known groups, looked for at every word.
//
// Each pass tries every group once, in a fixed order, at the cursor; a group
// that fits is taken and the next one is tried after it. A pass in which no group
// fits takes one word into the comment instead. The loop ends when a pass takes
// nothing at all, at the end of the text.
//
// The groups of the first table are read in every report; the AMOS/AO words and
// the tenths T-group in US and Canadian bulletins; the rest (cloud types, snow,
// precipitation, tendency, extremes, the worded groups) in US bulletins only.
#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>

#include "messages/messages.h"
#include "surface/decoder_internal.h"
#include "surface/metar.h"
#include "surface/metar_internal.h"
#include "surface/raw_reader.h"
#include "surface/scanner.h"

namespace {

constexpr M_type kNote = SFC_METAR_NOTE_CLASS;

// Longest remark word taken at once; a longer one is taken in pieces.
constexpr int kWordMax = 40;
// Sea-level pressure groups above this are no pressure.
constexpr int kSlpMax = 1099;
// Codes of the remark temperature groups: this and above are below zero.
constexpr int kMinusCode = 1000;
// The bulletins of 0300, 0900, 1500 and 2100 UTC carry 3-hour precipitation in
// their "6" groups: their times modulo 600 lie in this range.
constexpr int kThreeHourFrom = 230;
constexpr int kThreeHourTo = 344;

using decoder_detail::AtEnd;
using decoder_detail::CelsiusToF;
using decoder_detail::CoveredPast;
using decoder_detail::IsMissing;
using decoder_detail::Pats;
using metar_detail::Maybe;
using metar_detail::Pat;

struct Patterns {
  // every report
  Pat obs_taken{"OBS TAKEN +%d ", "i"};
  Pat slp{"SLP%d ", "i"};
  Pat wea_blank{"WEA: %<20s ", "t"};
  Pat wea{"WEA:%<20s ", "t"};
  // US and Canada
  Pat a0a{"%(A0A) ", "t"};
  Pat ao{"%(AO1|AO2A|AO2) ", "t"};
  Pat t_group{"T%4d%4d ", "ii"};
  // US
  Pat cloud_type{"8/%3c%*(/| ) ", "t"};
  Pat snow{"4/%3f%*(/| ) ", "f"};
  Pat snow_water{"933%3f%*(/| ) ", "f"};
  Pat g931{"931%3f %*(/| ) ", "f"};
  Pat rain1{"P%4f %*(/| ) ", "f"};
  Pat presfr{"PRESFR ", ""};
  Pat presrr{"PRESRR ", ""};
  Pat tendency{"5%1f%3f%*(/| ) ", "ff"};
  Pat sunshine{"98%3f ", "f"};
  Pat rain36{"6%4!////!f ", "f"};
  Pat rain24{"7%4!////!f%*( |/) ", "f"};
  Pat var_ceiling{"%*2d %*(X|CLR|SCT|BKN|BRK|OVC|0VC) V %*3[/A]%*( |/) ", ""};
  Pat rvr_old{"R%*dVR%*d%*[/A/N]%*( |/) ", ""};
  Pat peak_wind{"PK WND %*s ", ""};
  Pat snoincr{"SNOINCR %*s ", ""};
  Pat pcpn{"PCPN %*d ", ""};
  Pat wshft{"WSHFT %*d ", ""};
  Pat city{"%*<(/)CITY %*d ", ""};
  Pat twr_alstg{"TWR ALSTG %d ", "i"};
  Pat twr_vis_frac{"TWR VIS %*d/%*d ", ""};
  Pat twr_vis{"TWR VIS %*d ", ""};
  Pat sfc_vis_frac{"SFC VIS %*d/%*d ", ""};
  Pat sfc_vis{"SFC VIS %*d ", ""};
  Pat amos_status{"%*(RNO|RM) %*d ", ""};
  Pat max_min{"4%4f%4f ", "ff"};
  Pat max6{"1%4f%*(/| ) ", "f"};
  Pat min6{"2%4f%*(/| ) ", "f"};
  // a word
  Pat word{"%<40s ", "t"};
};

inline void Note(const char *text) { decoder_detail::Note(kNote, text); }

// Quick checks (Maybe): a few groups that share their first letter with common
// words look at the second character before trying ("A0A" and "AO2", "SFC VIS"
// and "SLP"). Each is a necessary condition of its group only.
// The character after the one at the cursor ('\0' past the text).
inline char Second(const parse_param &p) { return scanp_char(&p, 1); }

// Copies `words` words at the cursor into the remarks and moves past the match.
void CopyWords(parse_param &p, SFC_report *r, int words, const char *message) {
  SFC_add_remark_sections(r, scanp_str(&p), words);
  Note(message);
  scanp_inc(&p);
}

// A remark temperature code: tenths of a degree Celsius, 1000 and above below
// zero (sign digit 1).
float CodeCelsius(int code) {
  const int tenths = code >= kMinusCode ? -(code - kMinusCode) : code;
  return static_cast<float>(tenths) / 10.0f;
}

// The extremes groups write the same codes with reals; 1000 minus the code.
float ExtremeF(float code) {
  const float tenths =
      code >= static_cast<float>(kMinusCode) ? static_cast<float>(kMinusCode) - code : code;
  return CelsiusToF(tenths / 10.0f);
}

// ---- the groups -------------------------------------------------------------------------
//
// Each takes its group at the cursor when it fits (and moves past it) and says
// whether it did.

using Group = bool (*)(parse_param &, const Patterns &, SFC_report *);

bool ObsTaken(parse_param &p, const Patterns &k, SFC_report *r) {
  int v = 0;
  if (scanp(&p, k.obs_taken, &v) != 1) return false;
  // Kept within the int range whatever the offset.
  r->time = static_cast<int>(
      std::clamp<long long>(static_cast<long long>(r->time) + v, INT_MIN, INT_MAX));
  if (MESS_check(kNote)) MESS_print(kNote, "Observation time offset: %d\n", r->time);
  scanp_inc(&p);
  return true;
}

bool Slp(parse_param &p, const Patterns &k, SFC_report *r) {
  int v = 0;
  if (scanp(&p, k.slp, &v) != 1) return false;
  // Tenths of a millibar without the leading 9 or 10.
  if (v <= kSlpMax) {
    const float tenths = static_cast<float>(v) / 10.0f;
    r->pmb = tenths + (tenths > 50.0f ? 900.0f : 1000.0f);
  }
  Note("Sea level Pressure\n");
  scanp_inc(&p);
  return true;
}

void SetWeather(SFC_report *r, const char *word) {
  std::size_t n = strnlen(word, SFC_WEATHER_LEN);
  std::memcpy(r->weather, word, n);
  r->weather[n] = '\0';
  Note("Weather\n");
}

bool WeaBlank(parse_param &p, const Patterns &k, SFC_report *r) {
  char word[SFC_WEATHER_SIZE];  // the WEA patterns take at most 20 characters
  if (scanp(&p, k.wea_blank, word) != 1) return false;
  if (std::strncmp(word, "SLP", 3) == 0) {
    // "WEA: SLP...": the weather is not given, the pressure follows.
    scanp_inc_off(&p, 5);
    return true;
  }
  if (std::strcmp(word, "NONE") != 0) SetWeather(r, word);
  scanp_inc(&p);
  return true;
}

bool Wea(parse_param &p, const Patterns &k, SFC_report *r) {
  char word[SFC_WEATHER_SIZE];
  if (scanp(&p, k.wea, word) != 1) return false;
  if (std::strcmp(word, "NONE") != 0) SetWeather(r, word);
  scanp_inc(&p);
  return true;
}

bool A0a(parse_param &p, const Patterns &k, SFC_report *r) {
  char word[8];
  if (!Maybe(Second(p) == '0')) return false;  // "AO2" is far more common
  if (scanp(&p, k.a0a, word) != 1) return false;
  SFC_add_remarks(r, "A0A");
  Note("AMOS type\n");
  scanp_inc(&p);
  return true;
}

bool Ao(parse_param &p, const Patterns &k, SFC_report *r) {
  char word[8];
  if (scanp(&p, k.ao, word) != 1) return false;
  SFC_add_remarks(r, word);
  Note("AO1/2 type\n");
  scanp_inc(&p);
  return true;
}

bool TGroup(parse_param &p, const Patterns &k, SFC_report *r) {
  int a = 0, b = 0;
  // More than seven characters: the T, the first code and the second begun.
  scanp(&p, k.t_group, &a, &b);
  if (!CoveredPast(p, 7)) return false;
  r->t = CelsiusToF(CodeCelsius(a));
  r->td = CelsiusToF(CodeCelsius(b));
  r->flag |= 1;
  if (MESS_check(kNote))
    MESS_print(kNote, "New Temperature %.2f %.2f %d\n", static_cast<double>(r->t),
               static_cast<double>(r->td), r->flag);
  scanp_inc(&p);
  return true;
}

// The numbered groups are five characters ("4/012", "51012") and must cover
// what ends them too, so that a word merely starting with the digits is not taken.
constexpr int kNumberedLen = 5;

bool Covers(const parse_param &p) { return CoveredPast(p, kNumberedLen); }

bool CloudType(parse_param &p, const Patterns &k, SFC_report *r) {
  char chars[SFC_CLD_TYPE_LEN];
  scanp(&p, k.cloud_type, chars);
  if (!Covers(p)) return false;
  for (int i = 0; i < SFC_CLD_TYPE_LEN; ++i) r->cld_type[i] = chars[i] == '/' ? '-' : chars[i];
  Note("New Cloud type\n");
  scanp_inc(&p);
  return true;
}

bool Snow(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  scanp(&p, k.snow, &a);
  if (!Covers(p)) return false;
  r->scover = a;
  Note("New Snow cover\n");
  scanp_inc(&p);
  return true;
}

bool SnowWater(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  scanp(&p, k.snow_water, &a);
  if (!Covers(p)) return false;
  if (IsMissing(r->scover)) r->scover = a;
  Note("New Liquid eq Snow cover\n");
  scanp_inc(&p);
  return true;
}

bool G931(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  if (scanp(&p, k.g931, &a) < 1 || !Covers(p)) return false;
  CopyWords(p, r, 1, "931 Group\n");
  return true;
}

bool Rain1(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  if (scanp(&p, k.rain1, &a) < 1) return false;
  r->rain1 = a / 100.0f;
  Note("1 hr precip\n");
  scanp_inc(&p);
  return true;
}

bool Presfr(parse_param &p, const Patterns &k, SFC_report *r) {
  scanp(&p, k.presfr);
  if (!CoveredPast(p, 6)) return false;
  CopyWords(p, r, 1, "Old PresFR\n");
  return true;
}

bool Presrr(parse_param &p, const Patterns &k, SFC_report *r) {
  scanp(&p, k.presrr);
  if (!CoveredPast(p, 6)) return false;
  CopyWords(p, r, 1, "Old PresRR\n");
  return true;
}

bool Tendency(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0, b = 0;
  if (scanp(&p, k.tendency, &a, &b) != 3 || !Covers(p)) return false;
  r->ptend_t = static_cast<int>(a);
  r->ptend = r->ptend_t > 4 ? -b / 10.0f : b / 10.0f;  // 5 to 8: falling
  Note("New Ptend\n");
  scanp_inc(&p);
  return true;
}

bool Sunshine(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  scanp(&p, k.sunshine, &a);
  if (!Covers(p)) return false;
  r->solar = a;
  Note("Old/New Sunshine\n");
  scanp_inc(&p);
  return true;
}

bool Rain36(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  scanp(&p, k.rain36, &a);
  if (!Covers(p)) return false;
  const int phase = SFC_get_prhour() % 600;
  const bool three = phase >= kThreeHourFrom && phase <= kThreeHourTo;
  float &field = three ? r->rain3 : r->rain6;
  if (IsMissing(field) && !IsMissing(a)) field = a / 100.0f;
  Note(three ? "New 3 Prec\n" : "New 6 Prec\n");
  scanp_inc(&p);
  return true;
}

bool Rain24(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  if (scanp(&p, k.rain24, &a) != 2 || !Covers(p)) return false;
  if (IsMissing(r->rain24) && !IsMissing(a)) r->rain24 = a / 100.0f;
  Note("New 24 Prec\n");
  scanp_inc(&p);
  return true;
}

bool VarCeiling(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.var_ceiling) != 4) return false;
  CopyWords(p, r, 4, "Variable Ceiling\n");
  return true;
}

bool RvrOld(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.rvr_old) != 4) return false;
  CopyWords(p, r, 1, "Runway Visual Range\n");
  return true;
}

bool PeakWind(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.peak_wind) != 1) return false;
  CopyWords(p, r, 3, "Peak Wind\n");
  return true;
}

bool Snoincr(parse_param &p, const Patterns &k, SFC_report *r) {
  if (!Maybe(Second(p) == 'N')) return false;
  if (scanp(&p, k.snoincr) != 1) return false;
  CopyWords(p, r, 2, "Snow Increasing Rapidly\n");
  return true;
}

bool Pcpn(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.pcpn) != 1) return false;
  CopyWords(p, r, 2, "Hourly Precipitation\n");
  return true;
}

bool Wshft(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.wshft) != 1) return false;
  CopyWords(p, r, 2, "Wind Shift\n");
  return true;
}

bool City(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.city) != 2) return false;
  CopyWords(p, r, 2, "City Temp\n");
  return true;
}

bool TwrAlstg(parse_param &p, const Patterns &k, SFC_report *r) {
  int v = 0;
  if (!Maybe(Second(p) == 'W')) return false;
  if (scanp(&p, k.twr_alstg, &v) != 1) return false;
  CopyWords(p, r, 3, "Tower Altimeter setting\n");
  return true;
}

bool TwrVis(parse_param &p, const Patterns &k, SFC_report *r) {
  if (!Maybe(Second(p) == 'W')) return false;
  if (scanp(&p, k.twr_vis_frac) != 2 && scanp(&p, k.twr_vis) != 1) return false;
  CopyWords(p, r, 3, "Tower Visibility\n");
  return true;
}

bool SfcVis(parse_param &p, const Patterns &k, SFC_report *r) {
  if (!Maybe(Second(p) == 'F')) return false;
  if (scanp(&p, k.sfc_vis_frac) != 2 && scanp(&p, k.sfc_vis) != 1) return false;
  CopyWords(p, r, 3, "Surface Visibility\n");
  return true;
}

bool AmosStatus(parse_param &p, const Patterns &k, SFC_report *r) {
  if (scanp(&p, k.amos_status) != 2) return false;
  CopyWords(p, r, 2, "AMOS Status\n");
  return true;
}

bool MaxMin(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0, b = 0;
  if (scanp(&p, k.max_min, &a, &b) != 2 || !Covers(p)) return false;
  if (IsMissing(r->max_t)) {
    r->max_t = ExtremeF(a);
    r->min_t = ExtremeF(b);
  }
  Note("New Max/min temp 9 digit\n");
  scanp_inc(&p);
  return true;
}

bool Max6(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  if (scanp(&p, k.max6, &a) != 2 || !Covers(p)) return false;
  if (IsMissing(r->max6_t)) r->max6_t = ExtremeF(a);
  Note("New Max temp\n");
  scanp_inc(&p);
  return true;
}

bool Min6(parse_param &p, const Patterns &k, SFC_report *r) {
  float a = 0;
  if (scanp(&p, k.min6, &a) != 2 || !Covers(p)) return false;
  if (IsMissing(r->min6_t)) r->min6_t = ExtremeF(a);
  Note("New Min temp\n");
  scanp_inc(&p);
  return true;
}

// ---- the table ---------------------------------------------------------------------------

enum Origins : unsigned { kAll = 1, kNorthAmerica = 2, kUs = 4 };

struct GroupRow {
  Group take;
  unsigned origins;              // bulletins that read it
  const Pat Patterns::*pats[2];  // its patterns (the second may be null)
};

// In the order a pass tries them.
constexpr GroupRow kGroups[] = {
    {ObsTaken, kAll, {&Patterns::obs_taken, nullptr}},
    {Slp, kAll, {&Patterns::slp, nullptr}},
    {WeaBlank, kAll, {&Patterns::wea_blank, nullptr}},
    {Wea, kAll, {&Patterns::wea, nullptr}},
    {A0a, kNorthAmerica, {&Patterns::a0a, nullptr}},
    {Ao, kNorthAmerica, {&Patterns::ao, nullptr}},
    {TGroup, kNorthAmerica, {&Patterns::t_group, nullptr}},
    {CloudType, kUs, {&Patterns::cloud_type, nullptr}},
    {Snow, kUs, {&Patterns::snow, nullptr}},
    {SnowWater, kUs, {&Patterns::snow_water, nullptr}},
    {G931, kUs, {&Patterns::g931, nullptr}},
    {Rain1, kUs, {&Patterns::rain1, nullptr}},
    {Presfr, kUs, {&Patterns::presfr, nullptr}},
    {Presrr, kUs, {&Patterns::presrr, nullptr}},
    {Tendency, kUs, {&Patterns::tendency, nullptr}},
    {Sunshine, kUs, {&Patterns::sunshine, nullptr}},
    {Rain36, kUs, {&Patterns::rain36, nullptr}},
    {Rain24, kUs, {&Patterns::rain24, nullptr}},
    {VarCeiling, kUs, {&Patterns::var_ceiling, nullptr}},
    {RvrOld, kUs, {&Patterns::rvr_old, nullptr}},
    {PeakWind, kUs, {&Patterns::peak_wind, nullptr}},
    {Snoincr, kUs, {&Patterns::snoincr, nullptr}},
    {Pcpn, kUs, {&Patterns::pcpn, nullptr}},
    {Wshft, kUs, {&Patterns::wshft, nullptr}},
    {City, kUs, {&Patterns::city, nullptr}},
    {TwrAlstg, kUs, {&Patterns::twr_alstg, nullptr}},
    {TwrVis, kUs, {&Patterns::twr_vis_frac, &Patterns::twr_vis}},
    {SfcVis, kUs, {&Patterns::sfc_vis_frac, &Patterns::sfc_vis}},
    {AmosStatus, kUs, {&Patterns::amos_status, nullptr}},
    {MaxMin, kUs, {&Patterns::max_min, nullptr}},
    {Max6, kUs, {&Patterns::max6, nullptr}},
    {Min6, kUs, {&Patterns::min6, nullptr}},
};
constexpr int kGroupCount = static_cast<int>(std::size(kGroups));
static_assert(kGroupCount <= 64, "the candidate masks hold one bit per group");

// For every character, the groups that may fit at a word starting with it: a
// group whose patterns the scanner settles as failed from that character alone
// is left out. A mask bit stays set when that cannot be judged.
struct Candidates {
  std::uint64_t by_char[256];
  std::uint64_t by_origin[3];  // US, Canada, other
};

Candidates MakeCandidates(const Patterns &k) {
  Candidates c{};
  for (int i = 0; i < kGroupCount; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    const unsigned o = kGroups[i].origins;
    if (o & (kAll | kNorthAmerica | kUs)) c.by_origin[0] |= bit;
    if (o & (kAll | kNorthAmerica)) c.by_origin[1] |= bit;
    if (o & kAll) c.by_origin[2] |= bit;
    for (int ch = 0; ch < 256; ++ch) {
      char text[2] = {static_cast<char>(ch), '\0'};
      parse_param probe;
      scanp_set(&probe, text);
      probe.length = 1;  // also for the terminator itself
      bool may = false;
      for (const Pat Patterns::*pat : kGroups[i].pats) {
        int result = 0;
        if (pat && !(k.*pat).settled_at_once(&probe, &result)) may = true;
      }
      if (may) c.by_char[ch] |= bit;
    }
  }
  return c;
}

const Candidates &GetCandidates() {
  static const Candidates candidates = MakeCandidates(Pats<Patterns>());
  return candidates;
}

// One pass: every group of the bulletin's tables once, in order, at the cursor.
// Groups that cannot fit at the character there are passed by without a try;
// the character is looked at again after every group taken.
bool RunPass(parse_param &p, const Patterns &k, std::uint64_t groups, bool quick, SFC_report *r) {
  const Candidates &cand = GetCandidates();
  bool took = false;
  while (groups != 0 && !AtEnd(p)) {
    const auto ch = static_cast<unsigned char>(p.ptr[p.off]);
    const std::uint64_t next = quick ? groups & cand.by_char[ch] : groups;
    if (next == 0) break;
    const int i = std::countr_zero(next);
    groups &= ~((std::uint64_t{2} << i) - 1);  // this group and those passed by
    took |= kGroups[i].take(p, k, r);
  }
  return took;
}

}  // namespace

void metar_detail::DecodeRemarks(parse_param &p, int bulletin, SFC_report *r) {
  const Patterns &k = Pats<Patterns>();
  const Candidates &cand = GetCandidates();
  const std::uint64_t groups = bulletin == SFC_ORIGIN_US       ? cand.by_origin[0]
                               : bulletin == SFC_ORIGIN_CANADA ? cand.by_origin[1]
                                                               : cand.by_origin[2];
  const bool quick = metar_detail::g_metar.quick_now;
  char word[kWordMax + 1];

  // Every productive pass takes at least one character, so the text bounds it.
  while (scanp_get_off(&p) < p.length) {
    if (RunPass(p, k, groups, quick, r)) continue;
    if (scanp(&p, k.word, word) != 1) break;
    if (std::strcmp(word, "$") != 0) SFC_add_remarks(r, word);
    scanp_inc(&p);
  }
  // '$' marks a station that needs maintenance; it is no part of a word.
  for (char *c = r->comment; *c; ++c)
    if (*c == '$') *c = ' ';
}
