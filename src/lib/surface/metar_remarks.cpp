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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "messages/messages.h"
#include "surface/metar.h"
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

bool IsMissing(float v) { return v == SFC_MISSING_F; }

float CelsiusToF(float c) { return IsMissing(c) ? SFC_MISSING_F : 32.0f + 9.0f * c / 5.0f; }

// A compiled pattern whose target kinds are checked once against the code that
// passes them ('i' int, 'f' float, 't' text).
class Pat : public ScanPattern {
 public:
  Pat(const char *text, std::string_view kinds) : ScanPattern(text) {
    bool ok = arguments() == static_cast<int>(kinds.size());
    for (int k = 0; ok && k < arguments(); ++k) {
      const char want = kinds[static_cast<std::size_t>(k)];
      switch (argument_kind(k)) {
        case ScanTarget::Kind::INT: ok = want == 'i'; break;
        case ScanTarget::Kind::FLOAT: ok = want == 'f'; break;
        case ScanTarget::Kind::TEXT: ok = want == 't'; break;
      }
    }
    if (!ok) std::abort();  // a decoder table out of step with its code
  }
};

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

const Patterns &Pats() {
  static const Patterns patterns;
  return patterns;
}

inline void Note(const char *text) {
  if (MESS_check(kNote)) MESS_print(kNote, "%s", text);
}

// The try of one group: the scan's count and cover, read before any move.
struct Try {
  int count;
  int len;
};

template <class... Args>
inline Try Scan(parse_param &p, const ScanPattern &pat, Args &&...args) {
  const int c = scanp(&p, pat, std::forward<Args>(args)...);
  return {c, p.len};
}

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
  const float tenths = code >= static_cast<float>(kMinusCode) ? static_cast<float>(kMinusCode) - code : code;
  return CelsiusToF(tenths / 10.0f);
}

// ---- groups of every report ----------------------------------------------------------

bool TakeCommon(parse_param &p, const Patterns &k, SFC_report *r) {
  bool took = false;
  int v = 0;
  char word[SFC_WEATHER_SIZE];  // the WEA patterns take at most 20 characters

  if (Scan(p, k.obs_taken, &v).count == 1) {
    r->time += v;
    if (MESS_check(kNote)) MESS_print(kNote, "Observation time offset: %d\n", r->time);
    scanp_inc(&p);
    took = true;
  }
  if (Scan(p, k.slp, &v).count == 1) {
    // Tenths of a millibar without the leading 9 or 10.
    if (v <= kSlpMax) {
      const float tenths = static_cast<float>(v) / 10.0f;
      r->pmb = tenths + (tenths > 50.0f ? 900.0f : 1000.0f);
    }
    Note("Sea level Pressure\n");
    scanp_inc(&p);
    took = true;
  }
  if (Scan(p, k.wea_blank, word).count == 1) {
    if (std::strncmp(word, "SLP", 3) == 0) {
      // "WEA: SLP...": the weather is not given, the pressure follows.
      scanp_inc_off(&p, 5);
    } else {
      if (std::strcmp(word, "NONE") != 0) {
        std::snprintf(r->weather, sizeof r->weather, "%s", word);
        Note("Weather\n");
      }
      scanp_inc(&p);
    }
    took = true;
  }
  if (Scan(p, k.wea, word).count == 1) {
    if (std::strcmp(word, "NONE") != 0) {
      std::snprintf(r->weather, sizeof r->weather, "%s", word);
      Note("Weather\n");
    }
    scanp_inc(&p);
    took = true;
  }
  return took;
}

// ---- US and Canada -----------------------------------------------------------------------

bool TakeNorthAmerican(parse_param &p, const Patterns &k, SFC_report *r) {
  bool took = false;
  char word[SCANP_TEXT_SIZE];
  int a = 0, b = 0;

  if (Scan(p, k.a0a, word).count == 1) {
    SFC_add_remarks(r, "A0A");
    Note("AMOS type\n");
    scanp_inc(&p);
    took = true;
  }
  if (Scan(p, k.ao, word).count == 1) {
    SFC_add_remarks(r, word);
    Note("AO1/2 type\n");
    scanp_inc(&p);
    took = true;
  }
  if (Scan(p, k.t_group, &a, &b).len > 7) {
    r->t = CelsiusToF(CodeCelsius(a));
    r->td = CelsiusToF(CodeCelsius(b));
    r->flag |= 1;
    if (MESS_check(kNote))
      MESS_print(kNote, "New Temperature %.2f %.2f %d\n", static_cast<double>(r->t),
                 static_cast<double>(r->td), r->flag);
    scanp_inc(&p);
    took = true;
  }
  return took;
}

// ---- US --------------------------------------------------------------------------------------

// The numbered groups must cover more than five characters (the group and what
// ends it), so that a word merely starting with the digits is not taken.
constexpr int kNumberedMinLen = 6;

bool Covers(const Try &t) { return t.len >= kNumberedMinLen; }
bool Numbered(const Try &t, int count) { return t.count == count && Covers(t); }

bool TakeUnitedStates(parse_param &p, const Patterns &k, SFC_report *r) {
  bool took = false;
  float a = 0, b = 0;
  int v = 0;
  char chars[SCANP_TEXT_SIZE];

  if (Covers(Scan(p, k.cloud_type, chars))) {
    for (int i = 0; i < SFC_CLD_TYPE_LEN; ++i) r->cld_type[i] = chars[i] == '/' ? '-' : chars[i];
    Note("New Cloud type\n");
    scanp_inc(&p);
    took = true;
  }
  if (Covers(Scan(p, k.snow, &a))) {
    r->scover = a;
    Note("New Snow cover\n");
    scanp_inc(&p);
    took = true;
  }
  if (Covers(Scan(p, k.snow_water, &a))) {
    if (IsMissing(r->scover)) r->scover = a;
    Note("New Liquid eq Snow cover\n");
    scanp_inc(&p);
    took = true;
  }
  if (const Try t = Scan(p, k.g931, &a); t.count >= 1 && t.len >= kNumberedMinLen) {
    CopyWords(p, r, 1, "931 Group\n");
    took = true;
  }
  if (Scan(p, k.rain1, &a).count >= 1) {
    r->rain1 = a / 100.0f;
    Note("1 hr precip\n");
    scanp_inc(&p);
    took = true;
  }
  if (Scan(p, k.presfr).len > 6) {
    CopyWords(p, r, 1, "Old PresFR\n");
    took = true;
  }
  if (Scan(p, k.presrr).len > 6) {
    CopyWords(p, r, 1, "Old PresRR\n");
    took = true;
  }
  if (Numbered(Scan(p, k.tendency, &a, &b), 3)) {
    r->ptend_t = static_cast<int>(a);
    r->ptend = r->ptend_t > 4 ? -b / 10.0f : b / 10.0f;  // 5 to 8: falling
    Note("New Ptend\n");
    scanp_inc(&p);
    took = true;
  }
  if (Covers(Scan(p, k.sunshine, &a))) {
    r->solar = a;
    Note("Old/New Sunshine\n");
    scanp_inc(&p);
    took = true;
  }
  if (Covers(Scan(p, k.rain36, &a))) {
    const int phase = SFC_get_prhour() % 600;
    const bool three = phase >= kThreeHourFrom && phase <= kThreeHourTo;
    float &field = three ? r->rain3 : r->rain6;
    if (IsMissing(field) && !IsMissing(a)) field = a / 100.0f;
    Note(three ? "New 3 Prec\n" : "New 6 Prec\n");
    scanp_inc(&p);
    took = true;
  }
  if (Numbered(Scan(p, k.rain24, &a), 2)) {
    if (IsMissing(r->rain24) && !IsMissing(a)) r->rain24 = a / 100.0f;
    Note("New 24 Prec\n");
    scanp_inc(&p);
    took = true;
  }
  if (Scan(p, k.var_ceiling).count == 4) {
    CopyWords(p, r, 4, "Variable Ceiling\n");
    took = true;
  }
  if (Scan(p, k.rvr_old).count == 4) {
    CopyWords(p, r, 1, "Runway Visual Range\n");
    took = true;
  }
  if (Scan(p, k.peak_wind).count == 1) {
    CopyWords(p, r, 3, "Peak Wind\n");
    took = true;
  }
  if (Scan(p, k.snoincr).count == 1) {
    CopyWords(p, r, 2, "Snow Increasing Rapidly\n");
    took = true;
  }
  if (Scan(p, k.pcpn).count == 1) {
    CopyWords(p, r, 2, "Hourly Precipitation\n");
    took = true;
  }
  if (Scan(p, k.wshft).count == 1) {
    CopyWords(p, r, 2, "Wind Shift\n");
    took = true;
  }
  if (Scan(p, k.city).count == 2) {
    CopyWords(p, r, 2, "City Temp\n");
    took = true;
  }
  if (Scan(p, k.twr_alstg, &v).count == 1) {
    CopyWords(p, r, 3, "Tower Altimeter setting\n");
    took = true;
  }
  if (Scan(p, k.twr_vis_frac).count == 2 || Scan(p, k.twr_vis).count == 1) {
    CopyWords(p, r, 3, "Tower Visibility\n");
    took = true;
  }
  if (Scan(p, k.sfc_vis_frac).count == 2 || Scan(p, k.sfc_vis).count == 1) {
    CopyWords(p, r, 3, "Surface Visibility\n");
    took = true;
  }
  if (Scan(p, k.amos_status).count == 2) {
    CopyWords(p, r, 2, "AMOS Status\n");
    took = true;
  }
  if (Numbered(Scan(p, k.max_min, &a, &b), 2)) {
    if (IsMissing(r->max_t)) {
      r->max_t = ExtremeF(a);
      r->min_t = ExtremeF(b);
    }
    Note("New Max/min temp 9 digit\n");
    scanp_inc(&p);
    took = true;
  }
  if (Numbered(Scan(p, k.max6, &a), 2)) {
    if (IsMissing(r->max6_t)) r->max6_t = ExtremeF(a);
    Note("New Max temp\n");
    scanp_inc(&p);
    took = true;
  }
  if (Numbered(Scan(p, k.min6, &a), 2)) {
    if (IsMissing(r->min6_t)) r->min6_t = ExtremeF(a);
    Note("New Min temp\n");
    scanp_inc(&p);
    took = true;
  }
  return took;
}

}  // namespace

void metar_detail::DecodeRemarks(parse_param &p, int bulletin, SFC_report *r) {
  const Patterns &k = Pats();
  const bool north_american = bulletin == SFC_ORIGIN_US || bulletin == SFC_ORIGIN_CANADA;
  const bool us = bulletin == SFC_ORIGIN_US;
  char word[kWordMax + 1];

  // Every productive pass takes at least one character, so the text bounds it.
  while (scanp_get_off(&p) < p.length) {
    bool took = TakeCommon(p, k, r);
    if (north_american) took |= TakeNorthAmerican(p, k, r);
    if (us) took |= TakeUnitedStates(p, k, r);
    if (took) continue;
    if (scanp(&p, k.word, word) != 1) break;
    if (std::strcmp(word, "$") != 0) SFC_add_remarks(r, word);
    scanp_inc(&p);
  }
  // '$' marks a station that needs maintenance; it is no part of a word.
  for (char *c = r->comment; *c; ++c)
    if (*c == '$') *c = ' ';
}
