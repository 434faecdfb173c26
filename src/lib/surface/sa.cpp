// SA decoder.
//
// One scanner state walks the report. A *try* scans a pattern at the cursor and,
// when the directive count is the expected one (and the conditions of the group
// hold), acts and moves the cursor past what the pattern covered; otherwise the
// cursor stays. Counts, not full matches, decide: "%(-) " takes the '-' of
// "-BKN" although no blank follows it, and the cursor then moves past the '-'.
//
// Values are scanned into locals first, because a pattern that fails part-way
// has already written the targets it passed.
#include "surface/sa.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include "surface/decoder_internal.h"
#include "surface/raw_reader.h"
#include "surface/sa_testing.h"
#include "surface/scanner.h"
#include "util/chars.h"

namespace {

constexpr float kMissing = SFC_MISSING_F;

using decoder_detail::AtEnd;
using decoder_detail::CelsiusToF;
using decoder_detail::CoveredPast;
using decoder_detail::Take;
using decoder_detail::TakeWhole;

inline bool IsSet(float v) { return !decoder_detail::IsMissing(v); }

// ---- cursor helpers ------------------------------------------------------------

// Moves the cursor `n` characters on, never past the end.
inline void Advance(parse_param &p, int n) { p.off = p.off + n < p.length ? p.off + n : p.length; }

inline void PassBlanks(parse_param &p) {
  while (scanp_blank(scanp_char(&p, 0))) Advance(p, 1);
}

// Length of the word of M's at the cursor when it is followed by a blank or the
// end, else 0. Automatic stations write every missing element as such a word.
inline int MissingWord(const parse_param &p) {
  int n = 0;
  while (scanp_char(&p, n) == 'M') ++n;
  const char next = scanp_char(&p, n);
  return (next == '\0' || scanp_blank(next)) ? n : 0;
}

inline void Note(const char *text) { decoder_detail::Note(SFC_SA_NOTE_CLASS, text); }

// Copies at most `max` characters of `src` into the NUL-terminated `dst` of
// `size` bytes.
void CopyText(char *dst, int size, const char *src, int max) {
  int n = 0;
  while (n < max && n < size - 1 && src[n]) {
    dst[n] = src[n];
    ++n;
  }
  dst[n] = '\0';
}

// ---- the decode ------------------------------------------------------------------

// Station kinds the heading names.
constexpr int kKindUnknown = 0;
constexpr int kAmos = 1;  // AMOS, RAMOS
constexpr int kAo2 = 2;   // AO2, AO2A
constexpr int kAwos = 3;  // AWOS

// Remark codings: groups of the newer coding (snow, precipitation, extremes)
// and of the newest (the 8/ cloud types and the 5 tendency).
constexpr int kCodingOld = 0;
constexpr int kCodingNewer = 1;
constexpr int kCodingNewest = 2;

struct SaDecode {
  parse_param p;               // the cursor over the report
  SFC_report *r;               // the record being filled
  int bulletin;                // origin: 0 US, 1 Canada, 2 Mexico, 9 other
  int prhour;                  // bulletin time HHMM
  int kind = kKindUnknown;     // station kind from the heading
  int coding = kCodingOld;     // the newest remark coding seen so far
  bool exact_max_min = false;  // max_t/min_t came from the tenths-of-degree group
  bool mexico() const { return bulletin == SFC_ORIGIN_MEXICO; }
  bool canada() const { return bulletin == SFC_ORIGIN_CANADA; }
};

// ---- heading ---------------------------------------------------------------------

bool Heading(SaDecode &d) {
  static const ScanPattern kStart("%<4s %(SA|SP|RS|SM) ");
  static const ScanPattern kCorrection("%*(COR|RTD) ");
  static const ScanPattern kTime("%4d ");
  static const ScanPattern kRepeat("%*(SA|SP|RS|SM) %*4d ");
  // The automatic-station words AUTO1 to AUTO8 and AUTOB; a set after the
  // literal is one directive like the list of alternatives, and far cheaper.
  static const ScanPattern kAuto("AUTO%*1[12345678B] ");
  static const ScanPattern kWords("%*(UA|FINO|TEST|RTD|SAWR|RADAT|AUTO|DLAD) ");
  static const ScanPattern kAmosWord("%(AMOS|RAMOS|AWOS) ");
  static const ScanPattern kAo2Word("%*(A02A|AO2A|A02|AO2) ");
  static const ScanPattern kCor("%*(COR) ");

  parse_param &p = d.p;
  char id[SFC_ID_SIZE] = "";
  char word[8] = "";
  if (scanp(&p, kStart, id, word) != 2) return false;
  scanp_inc(&p);
  CopyText(d.r->id, SFC_ID_SIZE, id, 4);
  CopyText(d.r->area, SFC_AREA_SIZE, word, 2);
  // clang-format off
  if (word[1] == 'P') d.r->type |= SFC_TYPE_SPECIAL;             // SP
  else if (word[0] == 'R') d.r->type |= SFC_TYPE_RECORD_SPECIAL;  // RS
  else d.r->type |= SFC_TYPE_ROUTINE;                             // SA, SM
  // clang-format on

  Take(p, kCorrection, 1);
  int time = SFC_MISSING;
  if (Take(p, kTime, 1, &time)) d.r->time = time;
  Take(p, kRepeat, 2);

  Take(p, kAuto, 1);
  Take(p, kWords, 1);
  if (Take(p, kAmosWord, 1, word)) d.kind = word[1] == 'W' ? kAwos : kAmos;
  if (Take(p, kAo2Word, 1)) d.kind = kAo2;
  Take(p, kCor, 1);
  return true;
}

// ---- sky ---------------------------------------------------------------------------

// Stores one complete layer. Layers past the fifth replace the fifth.
void StoreLayer(SaDecode &d, char cover, float height) {
  SFC_report &r = *d.r;
  const int slot = r.num_cld < SFC_MAX_CLD ? r.num_cld : SFC_MAX_CLD - 1;
  r.cld_cover[slot] = cover;
  r.cld_height[slot] = height;
  if (r.num_cld < SFC_MAX_CLD) ++r.num_cld;
}

char ThinCover(char cover) {
  switch (cover) {
    case 'S': return 's';
    case 'B': return 'b';
    case 'O': return 'o';
    case 'X': return 'x';
    default: return cover;
  }
}

// Each layer is read on a look-ahead state: a height, an optional thin mark and a
// cover word. The height is kept aside until the cover word shows that a layer
// is there; without one the sky ends and the main cursor stays before the height.
void Sky(SaDecode &d) {
  static const ScanPattern kClear("%*(CLR) ");
  static const ScanPattern kBelow("BLO %*<3d ");
  static const ScanPattern kHeight("%*!!(B|P|A|W|V|M|E)%<3f ");
  static const ScanPattern kThin("%*(-) ");
  static const ScanPattern kCover("%(X|CLR|SCT|BKN|BRK|OVC|0VC) ");
  static const ScanPattern kMissing4("MMMM ");
  static const ScanPattern kMissing1("M ");
  static const ScanPattern kMissing2("MM ");
  static const ScanPattern kMexican("%(DESP|DSP|MNU|NUB|CDO|X) ");

  parse_param &p = d.p;
  // Every layer taken moves the cursor, so the text bounds the loop.
  for (int layer = 0; !AtEnd(p) && layer <= p.length; ++layer) {
    if (Take(p, kClear, 1)) {
      StoreLayer(d, 'C', kMissing);
      Take(p, kBelow, 1);
      continue;
    }
    // A word of one, two or four M's: no layer can start there; as the first
    // layer it is the missing sky and is passed.
    if (const int m = MissingWord(p); m == 1 || m == 2 || m == 4) {
      if (layer == 0) {
        Advance(p, m);
        PassBlanks(p);
      }
      return;
    }
    parse_param look = p;
    float height = kMissing;
    if (scanp(&look, kHeight, &height) == 2)
      scanp_inc(&look);
    else
      height = kMissing;
    if (d.mexico() && scanp_char(&look, 0) == '/') {
      height = 250;
      Advance(look, 1);
    }
    if (scanp_char(&look, 0) == 'V' && scanp_blank(scanp_char(&look, 1))) {
      Advance(look, 1);
      PassBlanks(look);
    }
    const bool thin = Take(look, kThin, 1);
    char word[8] = "";
    char cover = ' ';
    if (Take(look, kCover, 1, word)) {
      cover = word[0] == '0' ? 'O' : word[0];
    } else if (layer == 0 && (TakeWhole(look, kMissing4, 0) || TakeWhole(look, kMissing1, 0) ||
                              TakeWhole(look, kMissing2, 0))) {
      p = look;  // the sky is reported missing
      return;
    } else if (d.mexico() && Take(look, kMexican, 1, word)) {
      // clang-format off
      if (word[0] == 'D') cover = 'C';       // DESP, DSP
      else if (word[0] == 'M') cover = 'S';  // MNU
      else if (word[0] == 'N') cover = 'B';  // NUB
      else if (word[0] == 'C') cover = 'O';  // CDO
      else cover = 'X';
      // clang-format on
    } else {
      return;  // no layer: the height read belongs to what follows
    }
    StoreLayer(d, thin ? ThinCover(cover) : cover, height);
    p = look;
  }
}

// ---- visibility and weather -----------------------------------------------------------

// Whether a '/' stands among the first `n` characters at the cursor. The
// look-ahead patterns for the main group ("%*<3!M!f/...") cannot reach their
// count without one there.
inline bool SlashWithin(const parse_param &p, int n) {
  for (int k = 0; k < n; ++k)
    if (scanp_char(&p, k) == '/') return true;
  return false;
}

// The main group of pressure and temperature, or a bare four-digit wind, where
// the visibility would stand: the report has no visibility then.
bool AtMainGroup(parse_param &p) {
  static const ScanPattern kFull("%*<3!M!f/%*<3!M!f/%*<4!M!f");
  static const ScanPattern kMissingSlp("%*3!MMM!f%*(/)");
  static const ScanPattern kWind("%*4f");
  return (SlashWithin(p, 4) && scanp(&p, kFull) == 3) ||
         (scanp_char(&p, 3) == '/' && scanp(&p, kMissingSlp) == 2) || scanp(&p, kWind) == 1;
}

float Fraction(int whole, int num, int den) {
  // A denominator of 0 is a typing slip; read it as 1 rather than divide by it.
  return static_cast<float>(whole) + static_cast<float>(num) / static_cast<float>(den ? den : 1);
}

void Visibility(SaDecode &d) {
  static const ScanPattern kLess("%*(<)");
  static const ScanPattern kMissingVis("%*(M) ");
  static const ScanPattern kFrac("%1d/%<2d ");
  static const ScanPattern kMixed("%1d%1d/%1d ");
  static const ScanPattern kMixedBlank("%1d %1d/%<2d ");
  static const ScanPattern kBv("BV%1d ");
  static const ScanPattern kPlus("%<3f%*(+) ");
  static const ScanPattern kPlain("%<3f ");
  static const ScanPattern kMas("%*(MAS)");
  static const ScanPattern kAltimeter("%*(ALSTG) %3f ");

  parse_param &p = d.p;
  SFC_report &r = *d.r;
  Take(p, kLess, 1);
  if (scanp_char(&p, 0) == 'M' && scanp_blank(scanp_char(&p, 1))) {
    // "M": missing, the same as "%*(M) " would find (and no main group).
    Advance(p, 1);
    PassBlanks(p);
  } else if (!AtMainGroup(p)) {
    int a = 0, b = 0, c = 0;
    float v = kMissing;
    if (Take(p, kMissingVis, 1)) {
    } else if (scanp_char(&p, 1) == '/' && Take(p, kFrac, 2, &a, &b)) {
      r.vis = Fraction(0, a, b);
    } else if ((scanp_char(&p, 2) == '/' && Take(p, kMixed, 3, &a, &b, &c)) ||
               (scanp_blank(scanp_char(&p, 1)) && Take(p, kMixedBlank, 3, &a, &b, &c))) {
      r.vis = Fraction(a, b, c);
    } else if (Take(p, kBv, 1, &a)) {
      r.vis = static_cast<float>(a);
    } else if (Take(p, kPlus, 2, &v) || Take(p, kPlain, 1, &v)) {
      r.vis = v;
    }
  }
  if (scanp_char(&p, 0) == 'V') {
    Advance(p, 1);
    PassBlanks(p);
  }
  if (d.mexico() && Take(p, kMas, 1)) PassBlanks(p);
  float alt = kMissing;
  if (Take(p, kAltimeter, 2, &alt)) r.alt = alt;
}

// A weather word of M's only is the missing mark, not a weather code.
bool OnlyM(const char *s) {
  if (!*s) return false;
  for (; *s; ++s)
    if (*s != 'M') return false;
  return true;
}

void Weather(SaDecode &d) {
  static const ScanPattern kGroup("%*<3!M!f/%*<3!M!f");
  static const ScanPattern kGroupMissing("%*<3!MMM!f/%*<3!M!f");
  static const ScanPattern kWeather("%<9[/A-+] ");
  static const ScanPattern kMissingSlp("%*(MMM/)");

  parse_param &p = d.p;
  if (const int m = MissingWord(p); m > 0 && m <= 9) {
    // A word of M's is neither the main group nor weather: weather missing.
    Advance(p, m);
  } else if (!SlashWithin(p, 4) || (scanp(&p, kGroup) != 2 && scanp(&p, kGroupMissing) != 2)) {
    char wx[10] = "";
    if (Take(p, kWeather, 1, wx) && !OnlyM(wx)) CopyText(d.r->weather, SFC_WEATHER_SIZE, wx, 9);
  }
  PassBlanks(p);
  Take(p, kMissingSlp, 1);
}

// ---- main group: pressure, temperature, dew point, wind, altimeter -------------------

enum class Val : unsigned char { SLP, T, TD, DIR, SPD, GST, ALT };
constexpr int kValKinds = 7;
constexpr int kAnyCountry = -1;

struct BodyRow {
  const char *pattern;
  int count;    // directives the row gives when it fits
  int country;  // bulletin origin it applies to, or kAnyCountry
  bool calm;    // wind calm: direction and speed 0
  int nvals;    // values stored, in pattern order
  Val vals[kValKinds];
};

// A literal a row cannot fit without: '+' or 'G' before a gust, 'C' for CALM.
// Rows outside Mexico take no blank, so the literal must lie in the word at
// the cursor; a row whose literal is not there is not tried.
char NeededLiteral(const BodyRow &row) {
  if (row.country == SFC_ORIGIN_MEXICO) return '\0';
  const std::string_view pat(row.pattern);
  if (pat.find("CALM") != std::string_view::npos) return 'C';
  if (pat.find('+') != std::string_view::npos) return '+';
  if (pat.find("fG%") != std::string_view::npos) return 'G';
  return '\0';
}

using V = Val;
// The first row that fits is taken. An E before a group marks an estimate and is
// dropped. The Mexican row with a two-digit temperature and no sea-level
// pressure has 7 directives (the count 8 it was once given could never fit).
// Canadian stations write a gust with '+' and an unknown direction as MM
// ("MM11+24"): the two '+' rows read MM as a missing direction, or a row without
// gust would take the group and leave the gust behind.
// clang-format off
constexpr BodyRow kBodyRows[] = {
    {"%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!MM!f%2!MM!f/%*!!(E)%3!M!f", 9, kAnyCountry, false, 6, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/CALM/%*!!(E)%3!M!f", 6, kAnyCountry, true, 4, {V::SLP, V::T, V::TD, V::ALT}},
    {"%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!M!f%2fG%2f/%*!!(E)%3!M!f", 10, kAnyCountry, false, 7, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::GST, V::ALT}},
    {"%3!M!f%*( |/)%2!M!f/%2!M!f%*( |/)C%*( |/)%3!M!f", 7, SFC_ORIGIN_MEXICO, true, 4, {V::SLP, V::T, V::TD, V::ALT}},
    {"%3!M!f%*( |/)%2!M!f/%2!M!f%*( |/)%2f%2f%*!!(E)%*( |/)%3!M!f", 10, SFC_ORIGIN_MEXICO, false, 6, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%3!M!f%*( |/)%2!M!f/%2!M!f%2f%2f%*!!(E)%*( |/)%3!M!f", 9, SFC_ORIGIN_MEXICO, false, 6, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%<3!M!f/%<3!M!f%*( |/)C%*( |/)%3!M!f", 5, SFC_ORIGIN_MEXICO, true, 3, {V::T, V::TD, V::ALT}},
    {"%<3!M!f/%<3!M!f%*( |/)%2f%2fMAS%2f%*!!(E)%*( |/)%3!M!f", 9, SFC_ORIGIN_MEXICO, false, 6, {V::T, V::TD, V::DIR, V::SPD, V::GST, V::ALT}},
    {"%<3!M!f/%<3!M!f%*( |/)%2f%2f%*!!(E)%*( |/)%3!M!f", 8, SFC_ORIGIN_MEXICO, false, 5, {V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%2!M!f/%2!M!f%2f%2f%*!!(E)%*( |/)%3!M!f", 7, SFC_ORIGIN_MEXICO, false, 5, {V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%3!MMM!f/%<3!MMM!f/%<3!MMM!f/%2!MM!f%2f+%2f/%3!-!f", 7, SFC_ORIGIN_CANADA, false, 7, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::GST, V::ALT}},
    {"%3!M!f/%<3!M!f/%<3!M!f/%2!MM!f%2f+%2f/%3!M!f", 7, SFC_ORIGIN_CANADA, false, 7, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::GST, V::ALT}},
    {"%3!M!f/%<3!!f%*(<|/)%<3!!f%*(<|/)%2!!f%2!!f%*!!(E)/%3!-!f", 9, SFC_ORIGIN_CANADA, false, 6, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%3!M!f/%<3!!f/%<3!!f%*(<|/)%2!!f%2!!f+%2f/%3!-!f", 8, SFC_ORIGIN_CANADA, false, 7, {V::SLP, V::T, V::TD, V::DIR, V::SPD, V::GST, V::ALT}},
    {"%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!MM!f%2!MM!f", 7, kAnyCountry, false, 5, {V::SLP, V::T, V::TD, V::DIR, V::SPD}},
    {"%*!!(E)%3!MMM!f/%<3!MMM!f/%<3!MM!f/%*!!(E)%2!MM!f%2!MM!f", 7, kAnyCountry, false, 5, {V::SLP, V::T, V::TD, V::DIR, V::SPD}},
    {"%<3!M!f/%<3!M!f/%*!!(E)%2!M!f%2!M!f/%*!!(E)%3!M!f", 7, kAnyCountry, false, 5, {V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%<3!MM!f/%<3!MM!f/%*!!(E)%2!MM!f%2!MM!f/%*!!(E)%3!MMM!f", 7, kAnyCountry, false, 5, {V::T, V::TD, V::DIR, V::SPD, V::ALT}},
    {"%<3!M!f/%<3!M!f/CALM/%*!!(E)%3!M!f", 4, kAnyCountry, true, 3, {V::T, V::TD, V::ALT}},
    {"%<3!M!f/%<3!M!f/%*!!(E)%2!M!f%2fG%2f/%*!!(E)%3!M!f", 8, kAnyCountry, false, 6, {V::T, V::TD, V::DIR, V::SPD, V::GST, V::ALT}},
    {"%*!!(E)%2f%2f/%*!!(E)%3!M!f", 5, kAnyCountry, false, 3, {V::DIR, V::SPD, V::ALT}},
    {"%*!!(E)%2f%2fG%2f/%*!!(E)%3!M!f", 6, kAnyCountry, false, 4, {V::DIR, V::SPD, V::GST, V::ALT}},
    {"%*!!(E)%2f%2fG%2f", 4, kAnyCountry, false, 3, {V::DIR, V::SPD, V::GST}},
    {"%*!!(E)%2f%2f", 3, kAnyCountry, false, 2, {V::DIR, V::SPD}},
};
// clang-format on
constexpr int kNumBodyRows = static_cast<int>(sizeof kBodyRows / sizeof kBodyRows[0]);

struct BodyTable {
  std::array<ScanPattern, kNumBodyRows> patterns;
  std::array<char, kNumBodyRows> needs;
};

template <std::size_t... I>
BodyTable MakeBodyTable(std::index_sequence<I...>) {
  return {{ScanPattern(kBodyRows[I].pattern)...}, {NeededLiteral(kBodyRows[I])...}};
}

const BodyTable &Body() {
  static const BodyTable table = MakeBodyTable(std::make_index_sequence<kNumBodyRows>{});
  return table;
}

// The row that fits at the cursor, -1 when none does; `got` receives the row's
// values in pattern order (missing where the row read an M). The cursor is not
// moved.
int MatchBody(parse_param &p, int bulletin, float (&got)[kValKinds]) {
  const BodyTable &table = Body();
  bool plus = false, gust = false, calm = false;
  const char *const end = p.ptr + p.length;
  for (const char *c = p.ptr + p.off; c < end && !scanp_blank(*c); ++c) {
    if (*c == '+')
      plus = true;
    else if (*c == 'G')
      gust = true;
    else if (*c == 'C' && end - c >= 4 && c[1] == 'A' && c[2] == 'L' && c[3] == 'M')
      calm = true;
  }
  for (int i = 0; i < kNumBodyRows; ++i) {
    const BodyRow &row = kBodyRows[i];
    if (row.country != kAnyCountry && row.country != bulletin) continue;
    const char need = table.needs[static_cast<std::size_t>(i)];
    if ((need == '+' && !plus) || (need == 'G' && !gust) || (need == 'C' && !calm)) continue;
    ScanTarget targets[kValKinds];
    for (int k = 0; k < row.nvals; ++k) {
      got[k] = kMissing;
      targets[k] = {ScanTarget::Kind::FLOAT, &got[k], 0};
    }
    if (scanp_targets(&p, table.patterns[static_cast<std::size_t>(i)], targets, row.nvals) ==
        row.count)
      return i;
  }
  return -1;
}

// Stores the raw values of the main group; they are completed at the end. A
// field the row does not read keeps what it had (an altimeter from ALSTG).
void MainGroup(SaDecode &d) {
  parse_param &p = d.p;
  SFC_report &r = *d.r;
  float got[kValKinds];
  const int i = MatchBody(p, d.bulletin, got);
  if (i >= 0) {
    const BodyRow &row = kBodyRows[i];
    for (int k = 0; k < row.nvals; ++k) {
      switch (row.vals[k]) {
        case V::SLP: r.pmb = got[k]; break;
        case V::T: r.t = got[k]; break;
        case V::TD: r.td = got[k]; break;
        case V::DIR: r.w_dir = got[k]; break;
        case V::SPD: r.w_spd = got[k]; break;
        case V::GST: r.w_gust = got[k]; break;
        case V::ALT: r.alt = got[k]; break;
      }
    }
    if (row.calm) {
      r.w_dir = 0;
      r.w_spd = 0;
    }
    scanp_inc(&p);
  }
  if (scanp_char(&p, 0) == '/') Advance(p, 1);
}

// ---- remarks: United States groups ---------------------------------------------------

bool CloudTypeBlank(const SFC_report &r) {
  return r.cld_type[0] == ' ' && r.cld_type[1] == ' ' && r.cld_type[2] == ' ';
}

void SetCloudType(SFC_report &r, const char *c) {
  for (int k = 0; k < SFC_CLD_TYPE_LEN; ++k) r.cld_type[k] = c[k] == '/' ? '-' : c[k];
}

// A four-digit temperature code of the newer groups: a leading 1 means minus,
// the rest is tenths of a degree Celsius. Returned in degrees Fahrenheit.
float TenthsCelsiusToF(float code) {
  const float tenths = code >= 1000 ? 1000 - code : code;
  return 32.0f + 9.0f * (tenths / 10.0f) / 5.0f;
}

// Whole-hour bulletin times from 10 to 21 UTC carry the morning minimum.
bool MinimumHour(int prhour) {
  const int hour = prhour / 100;
  return hour >= 10 && hour <= 21;
}

inline bool SixHourly(int prhour) { return prhour % 600 == 0; }

// ---- the United States groups as a table ------------------------------------------------
//
// Every row is one group: its pattern, what the characters at the cursor must
// show before it is tried (the shape), what the record must still lack (when),
// how its try is judged (count, cover), and what it stores (act). Rows that only
// copy words into the remarks have no act. A pass tries every row once, in
// order, each at the cursor left by the row before.

// What a try stores into: the pattern's targets in order, each by its kind. A
// row is taken only when all its directives matched, so every value an act
// reads was written by that try.
struct Got {
  float f[3] = {kMissing, kMissing, kMissing};
  int i[3] = {0, 0, 0};
  char text[SCANP_TEXT_SIZE];
};

// How the count of a row's try is judged.
enum class Need : unsigned char {
  EXACT,     // exactly `count` directives
  AT_LEAST,  // `count` or more (the separator after the group rarely fits)
  WHOLE,     // exactly `count`, and the whole pattern used
};

// Whether the row applies to the record as it stands (tested before the try).
using When = bool (*)(const SaDecode &);
// Stores what the try read; false when the group is not taken after all (the
// cursor then stays). Acts print their own notes when the row has none.
using Act = bool (*)(SaDecode &, const Got &);

// No cover test: the count alone decides.
constexpr int kAnyCover = -1;

struct UsRow {
  const char *pattern;
  // What the characters at the cursor must be, position by position, before the
  // row is tried: an upper-case letter, a digit or '/' stands for itself; 's' is
  // a separator (exactly '/' or ' '), 'b' a blank, 'n' a digit or '/', '.' any
  // character. Each is a necessary condition of the pattern, or a condition of
  // the group that the pattern does not state.
  const char *shape;
  const char *other_shape;  // or this one (null: none)
  When when;                // null: always
  Need need;
  int count;
  int cover;         // the try must cover more than this (CoveredPast), or kAnyCover
  int words;         // words copied into the remarks when taken (0: none)
  Act act;           // null: nothing stored
  Act after;         // run once the cursor has moved past the group (null: none)
  const char *note;  // printed when taken (null: the act prints its own)
};

inline bool ShapeFits(const parse_param &p, const char *shape) {
  for (int k = 0; shape[k]; ++k) {
    const char c = scanp_char(&p, k);
    switch (shape[k]) {
      // clang-format off
      case '.': break;
      case 's': if (c != '/' && c != ' ') return false; break;
      case 'b': if (!scanp_blank(c)) return false; break;
      case 'n': if (!zyp::is_digit(c) && c != '/') return false; break;
      default: if (c != shape[k]) return false; break;
    }
    // clang-format on
  }
  return true;
}

// ---- when -----------------------------------------------------------------------------

bool CloudTypeUnset(const SaDecode &d) { return CloudTypeBlank(*d.r); }
bool PtendUnset(const SaDecode &d) { return !IsSet(d.r->ptend); }
// AMOS stations write no old three-digit tendency.
bool OldPtendFits(const SaDecode &d) { return !IsSet(d.r->ptend) && d.kind != kAmos; }
bool ShortPrecipUnset(const SaDecode &d) {
  return SixHourly(d.prhour) ? !IsSet(d.r->rain6) : !IsSet(d.r->rain3);
}
bool Rain24Unset(const SaDecode &d) { return !IsSet(d.r->rain24); }
// After a newest-coding group the old 24-hour group is no longer written.
bool OldRain24Fits(const SaDecode &d) { return d.coding != kCodingNewest && !IsSet(d.r->rain24); }
bool SnowUnset(const SaDecode &d) { return !IsSet(d.r->scover); }
bool MaxUnset(const SaDecode &d) { return !IsSet(d.r->max_t); }
bool MinUnset(const SaDecode &d) { return !IsSet(d.r->min_t); }
bool Max6Unset(const SaDecode &d) { return !IsSet(d.r->max6_t); }
bool Min6Unset(const SaDecode &d) { return !IsSet(d.r->min6_t); }
bool MinimumWanted(const SaDecode &d) { return MinimumHour(d.prhour) && !IsSet(d.r->min_t); }
bool BareFits(const SaDecode &d) { return MinimumWanted(d) || !IsSet(d.r->max_t); }

// ---- acts -------------------------------------------------------------------------------

bool Slp(SaDecode &d, const Got &g) {
  const int slp = g.i[0];
  if (slp > 999) return false;
  d.r->pmb = static_cast<float>(slp);
  if (MESS_check(SFC_SA_NOTE_CLASS)) MESS_print(SFC_SA_NOTE_CLASS, "Sea level Pressure %d\n", slp);
  return true;
}

bool Wea(SaDecode &d, const Got &g) {
  CopyText(d.r->weather, SFC_WEATHER_SIZE, g.text, 9);
  return true;
}

bool NewCloud(SaDecode &d, const Got &g) {
  SetCloudType(*d.r, g.text);
  d.coding = kCodingNewest;
  return true;
}

bool NewSnow(SaDecode &d, const Got &g) {
  d.r->scover = g.f[0];
  d.coding = kCodingNewer;
  return true;
}

bool LiquidSnow(SaDecode &d, const Got &g) {
  if (!IsSet(d.r->scover)) d.r->scover = g.f[0];
  d.coding = kCodingNewer;
  return true;
}

// Groups kept as words: the word at the cursor goes into the remarks (before the
// note, unlike the copied rows below, for the trace shows the order).
bool CopyWord(SaDecode &d, const Got &) {
  SFC_add_remark_sections(d.r, scanp_str(&d.p), 1);
  return true;
}

bool Group931(SaDecode &d, const Got &g) {
  CopyWord(d, g);
  d.coding = kCodingNewer;
  return true;
}

// A characteristic of 5 to 8 is a falling pressure.
void SetPtend(SFC_report &r, int characteristic, float tenths) {
  r.ptend_t = characteristic;
  r.ptend = tenths / 10.0f;
  if (r.ptend_t > 4) r.ptend = -r.ptend;
}

bool NewPtend(SaDecode &d, const Got &g) {
  SFC_report &r = *d.r;
  if (!IsSet(r.ptend)) {
    SetPtend(r, static_cast<int>(g.f[0]), g.f[1]);
    d.coding = kCodingNewest;
    Note("New Ptend\n");
    return true;
  }
  if (static_cast<int>(g.f[0]) == r.ptend_t) {
    Note("New Ptend redo\n");
    return true;
  }
  return false;
}

bool OldPtend(SaDecode &d, const Got &g) {
  SetPtend(*d.r, static_cast<int>(g.f[0]), g.f[1]);
  return true;
}

// "TPPRR": tendency, change and precipitation in hundredths, each part
// possibly missing. Shapes that belong to other groups (temperatures, snow,
// precipitation) are left to them.
bool PtendPrecip(SaDecode &d, const Got &g) {
  const float a = g.f[0], b = g.f[1];
  const int first = IsSet(a) ? static_cast<int>(a) : -1;
  const bool written = IsSet(b);
  const bool other = ((first == 1 || first == 2) && written && b <= 11) || first == 4 ||
                     (first == 5 && written && b >= 10) || (first == 7 && written && b <= 10) ||
                     first == 9;
  if (other) return false;
  SFC_report &r = *d.r;
  r.ptend_t = IsSet(a) ? first : SFC_MISSING;
  r.ptend = IsSet(b) ? b / 10.0f : kMissing;
  if (IsSet(r.ptend) && r.ptend_t > 4) r.ptend = -r.ptend;
  return true;
}

// Whole inches may follow the group as a word ("ONE" to "FOUR").
bool PtendPrecipAmount(SaDecode &d, const Got &g) {
  static const ScanPattern kInches("%(ONE|TWO|THREE|FOUR) ");
  parse_param &p = d.p;
  float amount = g.f[2] / 100.0f;
  char text[SCANP_TEXT_SIZE];
  if (scanp(&p, kInches, text) == 1 && (p.done || scanp_char(&p, p.len) == '\0')) {
    amount += text[0] == 'O' ? 1.0f : text[0] == 'F' ? 4.0f : text[1] == 'W' ? 2.0f : 3.0f;
    scanp_inc(&p);
  }
  if (SixHourly(d.prhour))
    d.r->rain6 = amount;
  else
    d.r->rain3 = amount;
  return true;
}

bool Sunshine(SaDecode &d, const Got &g) {
  d.r->solar = g.f[0];
  return true;
}

// Amounts above these are no amounts.
constexpr float kMax3HourInches = 10;
constexpr float kMax6HourInches = 20;
constexpr float kMax24HourInches = 20;

bool ShortPrecip(SaDecode &d, const Got &g) {
  const float amount = IsSet(g.f[0]) ? g.f[0] / 100.0f : kMissing;
  d.coding = kCodingNewer;
  if (SixHourly(d.prhour)) {
    d.r->rain6 = amount > kMax6HourInches ? kMissing : amount;
    Note("New 6 Prec\n");
  } else {
    d.r->rain3 = amount > kMax3HourInches ? kMissing : amount;
    Note("New 3 Prec\n");
  }
  return true;
}

bool Precip24(SaDecode &d, const Got &g) {
  const float amount = IsSet(g.f[0]) ? g.f[0] / 100.0f : kMissing;
  d.r->rain24 = amount > kMax24HourInches ? kMissing : amount;
  d.coding = kCodingNewer;
  return true;
}

bool OldPrecip24(SaDecode &d, const Got &g) {
  const float amount = g.f[0] / 100.0f;
  d.r->rain24 = amount > kMax24HourInches ? kMissing : amount;
  return true;
}

bool OldSnow(SaDecode &d, const Got &g) {
  d.r->scover = g.f[0];
  return true;
}

bool OldCloud(SaDecode &d, const Got &g) {
  SetCloudType(*d.r, g.text);
  return true;
}

bool MaxMin9(SaDecode &d, const Got &g) {
  d.r->max_t = TenthsCelsiusToF(g.f[0]);
  d.r->min_t = TenthsCelsiusToF(g.f[1]);
  d.exact_max_min = true;
  d.coding = kCodingNewer;
  return true;
}

bool MaxMin5(SaDecode &d, const Got &g) {
  d.r->max_t = g.f[0];
  d.r->min_t = g.f[1];
  return true;
}

// t is whole degrees Fahrenheit: allow for its rounding against tenths.
constexpr float kRound = 0.5f;

bool Max6(SaDecode &d, const Got &g) {
  const float v = TenthsCelsiusToF(g.f[0]);
  const float t = d.r->t;
  if (v > 120 || v < -50 || (IsSet(t) && v < t - kRound)) return false;
  d.r->max6_t = v;
  d.coding = kCodingNewer;
  return true;
}

bool Min6(SaDecode &d, const Got &g) {
  const float v = TenthsCelsiusToF(g.f[0]);
  const float t = d.r->t;
  if (v > 100 || v < -75 || (IsSet(t) && v > t + kRound)) return false;
  d.r->min6_t = v;
  d.coding = kCodingNewer;
  return true;
}

bool SetMax(SaDecode &d, const Got &g) {
  d.r->max_t = g.f[0];
  return true;
}

bool SetMin(SaDecode &d, const Got &g) {
  d.r->min_t = g.f[0];
  return true;
}

// A bare two-digit temperature: the morning minimum in the bulletins that carry
// it, else the maximum.
bool Bare(SaDecode &d, const Got &g) {
  if (MinimumWanted(d)) {
    d.r->min_t = g.f[0];
    Note("Old Min temp\n");
  } else {
    d.r->max_t = g.f[0];
    Note("Old Max temp\n");
  }
  return true;
}

// ---- the table --------------------------------------------------------------------------

using N = Need;
// In the order a pass tries them.
// clang-format off
constexpr UsRow kUsRows[] = {
    // pattern                  shape      other    when              need         n  cover      words act          after              note
    {"SLP %d ",                 "SLP",     nullptr, nullptr,          N::EXACT,    1, kAnyCover, 0, Slp,         nullptr,           nullptr},
    {"%*<(/)WEA%*(:| ) %s ",    "WEA",     "/WEA",  nullptr,          N::EXACT,    3, kAnyCover, 0, Wea,         nullptr,           "Weather\n"},
    {"8/%3c%*(/| ) ",           "8/...s",  nullptr, CloudTypeUnset,   N::EXACT,    2, 5,         0, NewCloud,    nullptr,           "New Cloud type\n"},
    {"4/%3f%*(/| ) ",           "4/...s",  nullptr, nullptr,          N::EXACT,    2, 5,         0, NewSnow,     nullptr,           "New Snow cover\n"},
    {"933%3f%*(/| ) ",          "933...s", nullptr, nullptr,          N::EXACT,    2, 5,         0, LiquidSnow,  nullptr,           "New Liquid eq Snow cover\n"},
    {"931%3f %*(/| ) ",         "931",     nullptr, nullptr,          N::AT_LEAST, 1, 5,         0, Group931,    nullptr,           "931 Group\n"},
    {"PRESFR ",                 "PRESFR",  nullptr, nullptr,          N::WHOLE,    0, 6,         0, CopyWord,    nullptr,           "Old PresFR\n"},
    {"PRESRR ",                 "PRESRR",  nullptr, nullptr,          N::WHOLE,    0, 6,         0, CopyWord,    nullptr,           "Old PresRR\n"},
    {"5%1f%3f%*(/| ) ",         ".....s",  nullptr, nullptr,          N::EXACT,    3, 5,         0, NewPtend,    nullptr,           nullptr},
    {"%1f%2f ",                 "...b",    nullptr, OldPtendFits,     N::EXACT,    2, 3,         0, OldPtend,    nullptr,           "Old Ptend\n"},
    {"%1!/!f%2!//!f%2f ",       "n....b",  nullptr, PtendUnset,       N::EXACT,    3, 5,         0, PtendPrecip, PtendPrecipAmount, "Old Ptend w/ precip\n"},
    {"902%*2f ",                "902..b",  nullptr, nullptr,          N::EXACT,    1, 5,         0, nullptr,     nullptr,           "Old Liquid eq Snow cover\n"},
    {"98%3f ",                  "98...b",  nullptr, nullptr,          N::EXACT,    1, 5,         0, Sunshine,    nullptr,           "Old/New Sunshine\n"},
    {"6%3!///!f/%*( |/) ",      "..../s",  nullptr, ShortPrecipUnset, N::EXACT,    2, 5,         0, ShortPrecip, nullptr,           nullptr},
    {"7%4!////!f%*( |/) ",      ".....s",  nullptr, Rain24Unset,      N::EXACT,    2, 5,         0, Precip24,    nullptr,           "New 24 Prec\n"},
    {"20%3f%*( |/)",            "20...s",  nullptr, OldRain24Fits,    N::EXACT,    2, 5,         0, OldPrecip24, nullptr,           "Old 24 Prec\n"},
    {"904%2f ",                 "904..b",  nullptr, SnowUnset,        N::EXACT,    1, 5,         0, OldSnow,     nullptr,           "Old Snow cover\n"},
    {"1%3s ",                   "....b",   nullptr, CloudTypeUnset,   N::EXACT,    1, 4,         0, OldCloud,    nullptr,           "Old Cloud type\n"},
    // Groups only copied into the remarks; the variable ceiling opens with two
    // characters of height and a blank.
    {"%*2d %*(X|CLR|SCT|BKN|BRK|OVC|0VC) V %*3[/A]%*( |/) ", "..b", nullptr, nullptr, N::EXACT, 4, kAnyCover, 4, nullptr, nullptr, "Variable Ceiling\n"},
    {"R%*dVR%*d%*[/A/N]%*( |/) ", "R",     nullptr, nullptr,          N::EXACT,    4, kAnyCover, 1, nullptr,     nullptr,           "Runway Visual Range\n"},
    {"PK WND %*s ",             "PK",      nullptr, nullptr,          N::EXACT,    1, kAnyCover, 3, nullptr,     nullptr,           "Peak Wind\n"},
    {"SNOINCR %*s ",            "SNOINCR", nullptr, nullptr,          N::EXACT,    1, kAnyCover, 2, nullptr,     nullptr,           "Snow Increasing Rapidly\n"},
    {"P%*d ",                   "P",       nullptr, nullptr,          N::EXACT,    1, kAnyCover, 1, nullptr,     nullptr,           "Hourly Precipitation\n"},
    {"PCPN %*d ",               "PCPN",    nullptr, nullptr,          N::EXACT,    1, kAnyCover, 2, nullptr,     nullptr,           "Hourly Precipitation\n"},
    {"WSHFT %*d ",              "WSHFT",   nullptr, nullptr,          N::EXACT,    1, kAnyCover, 2, nullptr,     nullptr,           "Wind Shift\n"},
    {"%*<(/)CITY %*d ",         "",        nullptr, nullptr,          N::EXACT,    2, kAnyCover, 2, nullptr,     nullptr,           "City Temp\n"},
    {"RADAR %*d ",              "RADAR",   nullptr, nullptr,          N::EXACT,    1, kAnyCover, 2, nullptr,     nullptr,           "RADAT\n"},
    {"TWR ALSTG %*d ",          "TWR",     nullptr, nullptr,          N::EXACT,    1, kAnyCover, 3, nullptr,     nullptr,           "Tower Altimeter setting\n"},
    {"TWR VSBY %*d ",           "TWR",     nullptr, nullptr,          N::EXACT,    1, kAnyCover, 3, nullptr,     nullptr,           "Tower Visibility\n"},
    {"%*(RNO|RM) %*d ",         "R",       nullptr, nullptr,          N::EXACT,    2, kAnyCover, 2, nullptr,     nullptr,           "AMOS Status\n"},
    // Temperature extremes.
    {"4%4f%4f ",                "",        nullptr, MaxUnset,         N::EXACT,    2, 5,         0, MaxMin9,     nullptr,           "New Max/min temp 9 digit\n"},
    {"4%2f%2f ",                "",        nullptr, MaxUnset,         N::EXACT,    2, kAnyCover, 0, MaxMin5,     nullptr,           "Old Max/min temp 5 digit\n"},
    {"1%4f%*(/| ) ",            ".....s",  nullptr, Max6Unset,        N::EXACT,    2, 5,         0, Max6,        nullptr,           "New Max temp\n"},
    {"2%4f%*(/| ) ",            ".....s",  nullptr, Min6Unset,        N::EXACT,    2, 5,         0, Min6,        nullptr,           "New Min temp\n"},
    {"24 HR MAX %<3f ",         "24",      nullptr, MaxUnset,         N::EXACT,    1, 9,         0, SetMax,      nullptr,           "Old 24 HR MAX... temp\n"},
    // The minimum groups test the minimum: a maximum read just before them must
    // not make them drop theirs.
    {"24 HR MIN %<3f ",         "24",      nullptr, MinUnset,         N::EXACT,    1, 9,         0, SetMin,      nullptr,           "Old 24 HR MIN... temp\n"},
    {"MRNG MIN %<3f ",          "MRNG",    nullptr, MinUnset,         N::EXACT,    1, 9,         0, SetMin,      nullptr,           "Old MRNG MIN... temp\n"},
    {"%2f ",                    "..b",     nullptr, BareFits,         N::EXACT,    1, 2,         0, Bare,        nullptr,           nullptr},
    {"MAX%<3f ",                "MAX",     nullptr, MaxUnset,         N::EXACT,    1, 6,         0, SetMax,      nullptr,           "Old MAX... temp\n"},
    {"MIN%<3f ",                "MIN",     nullptr, MinUnset,         N::EXACT,    1, 6,         0, SetMin,      nullptr,           "Old MIN... temp\n"},
};
// clang-format on
constexpr int kNumUsRows = static_cast<int>(std::size(kUsRows));

// The compiled patterns and the kinds of their targets.
struct UsTable {
  std::array<ScanPattern, kNumUsRows> patterns;
  std::array<std::array<ScanTarget::Kind, 3>, kNumUsRows> kinds{};
  std::array<int, kNumUsRows> targets{};
};

template <std::size_t... I>
UsTable MakeUsTable(std::index_sequence<I...>) {
  UsTable t{{ScanPattern(kUsRows[I].pattern)...}};
  for (int i = 0; i < kNumUsRows; ++i) {
    const ScanPattern &pat = t.patterns[static_cast<std::size_t>(i)];
    const UsRow &row = kUsRows[i];
    int texts = 0;
    for (int k = 0; k < pat.arguments(); ++k) {
      t.kinds[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] = pat.argument_kind(k);
      if (pat.argument_kind(k) == ScanTarget::Kind::TEXT) ++texts;
    }
    t.targets[static_cast<std::size_t>(i)] = pat.arguments();
    // A row out of step with its pattern (more targets than Got holds, a count
    // the pattern cannot give) is a fault of this table.
    if (pat.arguments() > 3 || texts > 1 || row.count > pat.directives()) std::abort();
  }
  return t;
}

const UsTable &Us() {
  static const UsTable table = MakeUsTable(std::make_index_sequence<kNumUsRows>{});
  return table;
}

// Tries row `i` at the cursor; true when its group was taken.
bool TryUsRow(SaDecode &d, const UsTable &table, int i) {
  const UsRow &row = kUsRows[i];
  parse_param &p = d.p;
  if (row.when && !row.when(d)) return false;
  if (!ShapeFits(p, row.shape) && !(row.other_shape && ShapeFits(p, row.other_shape))) return false;
  const auto at = static_cast<std::size_t>(i);
  const ScanPattern &pat = table.patterns[at];
  Got got;
  int n = 0;
  if (!pat.settled_at_once(&p, &n)) {
    ScanTarget targets[3];
    const int count = table.targets[at];
    for (int k = 0; k < count; ++k) {
      switch (table.kinds[at][static_cast<std::size_t>(k)]) {
        case ScanTarget::Kind::INT: targets[k] = {ScanTarget::Kind::INT, &got.i[k], 0}; break;
        case ScanTarget::Kind::FLOAT: targets[k] = {ScanTarget::Kind::FLOAT, &got.f[k], 0}; break;
        case ScanTarget::Kind::TEXT:
          targets[k] = {ScanTarget::Kind::TEXT, got.text, SCANP_TEXT_SIZE};
          break;
      }
    }
    n = scanp_walk(&p, pat, targets, count);
  }
  switch (row.need) {
    // clang-format off
    case Need::EXACT: if (n != row.count) return false; break;
    case Need::AT_LEAST: if (n < row.count) return false; break;
    case Need::WHOLE: if (n != row.count || !p.done) return false; break;
  }
  // clang-format on
  if (row.cover != kAnyCover && !CoveredPast(p, row.cover)) return false;
  if (row.act && !row.act(d, got)) return false;
  if (row.note) Note(row.note);
  if (row.words > 0) SFC_add_remark_sections(d.r, scanp_str(&p), row.words);
  scanp_inc(&p);
  if (row.after) row.after(d, got);
  return true;
}

// Tries every United States group once, in order, each at the cursor left by
// the one before. True when any was taken.
bool UsGroups(SaDecode &d) {
  const UsTable &table = Us();
  bool took = false;
  for (int i = 0; i < kNumUsRows; ++i)
    if (TryUsRow(d, table, i)) took = true;
  return took;
}

// Appends `n` characters of `word` and a blank to the remarks, within their
// limit: SFC_add_remarks in one pass, for the word-by-word copy that every
// report's remarks go through.
void AddRemark(SFC_report &r, const char *word, int n) {
  int len = static_cast<int>(strnlen(r.comment, SFC_COMMENT_LEN));
  for (int k = 0; k < n && len < SFC_COMMENT_LEN; ++k) r.comment[len++] = word[k];
  if (len < SFC_COMMENT_LEN) r.comment[len++] = ' ';
  r.comment[len] = '\0';
}

// ---- remarks loop ----------------------------------------------------------------------

// Passes of group tries; when no group fits, the next word goes into the remarks
// as it stands. A '=' at the start means there are no remarks; later words keep
// theirs ("ABC= DEF" after the reader has dropped the report's last '=').
void Remarks(SaDecode &d) {
  static const ScanPattern kWord("%s ");
  parse_param &p = d.p;
  char word[SCANP_TEXT_SIZE];
  PassBlanks(p);
  if (AtEnd(p) || scanp_char(&p, 0) == '=') return;
  // Every productive pass moves the cursor, so the text bounds the loop.
  for (int pass = 0; pass <= p.length; ++pass) {
    PassBlanks(p);
    if (AtEnd(p)) return;
    const int before = p.off;
    if (d.bulletin == SFC_ORIGIN_US && UsGroups(d)) {
      if (p.off == before) return;
      continue;
    }
    if (scanp(&p, kWord, word) != 1) return;
    // The word as it stands in the text (the stored one may be cut).
    const char *raw = p.ptr + p.off;
    int n = 0;
    while (n < p.len && !scanp_blank(raw[n])) ++n;
    scanp_inc(&p);
    const int stored = n < SCANP_TEXT_MAX ? n : SCANP_TEXT_MAX;
    if (stored > 0) AddRemark(*d.r, word, stored);
  }
}

// ---- completion ------------------------------------------------------------------------

constexpr double kHpaToInch = 0.029538613372810264;

void Complete(SaDecode &d) {
  SFC_report &r = *d.r;
  if (IsSet(r.t) && IsSet(r.td) && r.t < r.td) r.td = kMissing;
  for (float &h : r.cld_height)
    if (IsSet(h)) h *= 100;
  if (IsSet(r.pmb)) {
    const float v = r.pmb / 10.0f;
    r.pmb = v + (v > 50 ? 900.0f : 1000.0f);
  }
  if (IsSet(r.alt)) {
    if (d.mexico()) {
      const double v = r.alt / 10.0;
      r.alt = static_cast<float>((v + (v > 50 ? 900 : 1000)) * kHpaToInch);
    } else {
      const float v = r.alt / 100.0f;
      r.alt = v + (v > 5 ? 20.0f : 30.0f);
    }
    // A pressure of three digits is ambiguous by 100 mb; the altimeter settles it.
    if (IsSet(r.pmb)) {
      if (r.pmb < 1000 && r.alt > 30.2f)
        r.pmb += 100;
      else if (r.pmb > 1000 && r.alt < 29.3f)
        r.pmb -= 100;
    }
  }
  // Old extremes are written with two digits: complete them by the temperature.
  if (!d.exact_max_min && IsSet(r.t)) {
    for (float *v : {&r.min_t, &r.max_t}) {
      if (!IsSet(*v)) continue;
      if (r.t > 60 && *v < 30)
        *v += 100;
      else if (r.t < 30 && *v > 60)
        *v -= 100;
    }
  }
  if (IsSet(r.w_dir)) r.w_dir *= 10;
  if (d.canada() || d.mexico()) {
    r.t = CelsiusToF(r.t);
    r.td = CelsiusToF(r.td);
  }
  if (IsSet(r.t) && (r.t < -70 || r.t > 130)) r.t = kMissing;
  for (char &c : r.comment) {
    if (c == '\0') break;
    if (c == '$') c = ' ';
  }
}

}  // namespace

// ---- public -------------------------------------------------------------------------------

int SFC_decode_SA(const char *data, int format, int bulletin, SFC_report *report) {
  (void)format;
  if (!data || !report) return -1;
  SaDecode d;
  d.r = report;
  d.bulletin = bulletin;
  d.prhour = SFC_get_prhour();
  // The scanner only reads this text; nothing here writes through the state.
  scanp_set(&d.p, const_cast<char *>(data));
  int start = 0;
  while (start < d.p.length && decoder_detail::IsLeadingFill(data[start])) ++start;
  scanp_off(&d.p, start);

  if (!Heading(d)) return -1;
  Sky(d);
  Visibility(d);
  Weather(d);
  MainGroup(d);
  Remarks(d);
  Complete(d);
  return 0;
}

int SFC_SA_body_rows() { return kNumBodyRows; }

const char *SFC_SA_body_pattern(int row) {
  return row >= 0 && row < kNumBodyRows ? kBodyRows[row].pattern : "";
}

int SFC_SA_body_count(int row) {
  return row >= 0 && row < kNumBodyRows ? kBodyRows[row].count : -1;
}

int SFC_SA_body_values(int row) {
  return row >= 0 && row < kNumBodyRows ? kBodyRows[row].nvals : -1;
}

int SFC_SA_body_row(const char *group, int bulletin) {
  if (!group) return -1;
  parse_param p;
  scanp_set(&p, const_cast<char *>(group));
  float got[kValKinds];
  return MatchBody(p, bulletin, got);
}
