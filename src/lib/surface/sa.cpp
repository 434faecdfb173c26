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
#include <cstring>
#include <string_view>
#include <utility>

#include "surface/raw_reader.h"
#include "surface/scanner.h"

namespace {

constexpr float kMissing = SFC_MISSING_F;

inline bool IsSet(float v) { return v != kMissing; }

// ---- cursor helpers ------------------------------------------------------------

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The character `k` after the cursor, '\0' past the end (the cursor stays
// within the text: the scanner's cursor operations keep it there).
inline char At(const parse_param &p, int k) {
  const int at = p.off + k;
  return at < p.length ? p.ptr[at] : '\0';
}

// Moves the cursor `n` characters on, never past the end.
inline void Advance(parse_param &p, int n) { p.off = p.off + n < p.length ? p.off + n : p.length; }

inline void PassBlanks(parse_param &p) {
  while (IsBlank(At(p, 0))) Advance(p, 1);
}

inline bool AtEnd(const parse_param &p) { return p.off >= p.length; }

// Whether the text at the cursor starts with `lit`. A group whose pattern opens
// with a literal cannot reach its count without it, so this check may stand
// before the (much dearer) try. Only the literal up to the pattern's first blank
// counts: a blank in a pattern takes any run of whitespace.
inline bool Starts(const parse_param &p, std::string_view lit) {
  if (p.length - p.off < static_cast<int>(lit.size())) return false;
  return std::memcmp(p.ptr + p.off, lit.data(), lit.size()) == 0;
}

// Length of the word of M's at the cursor when it is followed by a blank or the
// end, else 0. Automatic stations write every missing element as such a word.
inline int MissingWord(const parse_param &p) {
  int n = 0;
  while (At(p, n) == 'M') ++n;
  const char next = At(p, n);
  return (next == '\0' || IsBlank(next)) ? n : 0;
}

inline void Note(const char *text) {
  if (MESS_check(SFC_SA_NOTE_CLASS)) MESS_print(SFC_SA_NOTE_CLASS, "%s", text);
}

// Tries `pat` and moves past it when it gives `count` directives.
template <class... Args>
bool Skip(parse_param &p, const ScanPattern &pat, int count, Args &&...args) {
  if (scanp(&p, pat, std::forward<Args>(args)...) != count) return false;
  scanp_inc(&p);
  return true;
}

// A pattern without directives fits only when it was used up.
bool SkipWhole(parse_param &p, const ScanPattern &pat) {
  if (scanp(&p, pat) < 0 || !p.done) return false;
  scanp_inc(&p);
  return true;
}

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

struct SaDecode {
  parse_param p;             // the cursor over the report
  SFC_report *r;             // the record being filled
  int bulletin;              // origin: 0 US, 1 Canada, 2 Mexico, 9 other
  int prhour;                // bulletin time HHMM
  int kind = 0;              // station kind: 1 AMOS, 2 AO2, 3 AWOS
  int mark = 0;              // newer coding seen in the remarks: 1 or 2
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
  static const ScanPattern kAmos("%(AMOS|RAMOS|AWOS) ");
  static const ScanPattern kAo2("%*(A02A|AO2A|A02|AO2) ");
  static const ScanPattern kCor("%*(COR) ");

  parse_param &p = d.p;
  char id[SFC_ID_SIZE] = "";
  char word[8] = "";
  if (scanp(&p, kStart, id, word) != 2) return false;
  scanp_inc(&p);
  CopyText(d.r->id, SFC_ID_SIZE, id, 4);
  CopyText(d.r->area, SFC_AREA_SIZE, word, 2);
  if (word[1] == 'P') d.r->type |= 2;       // SP
  else if (word[0] == 'R') d.r->type |= 3;  // RS
  else d.r->type |= 1;                      // SA, SM

  Skip(p, kCorrection, 1);
  int time = SFC_MISSING;
  if (Skip(p, kTime, 1, &time)) d.r->time = time;
  Skip(p, kRepeat, 2);

  Skip(p, kAuto, 1);
  Skip(p, kWords, 1);
  if (Skip(p, kAmos, 1, word)) d.kind = word[1] == 'W' ? 3 : 1;
  if (Skip(p, kAo2, 1)) d.kind = 2;
  Skip(p, kCor, 1);
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
    if (Skip(p, kClear, 1)) {
      StoreLayer(d, 'C', kMissing);
      Skip(p, kBelow, 1);
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
    if (scanp(&look, kHeight, &height) == 2) scanp_inc(&look);
    else height = kMissing;
    if (d.mexico() && At(look, 0) == '/') {
      height = 250;
      Advance(look, 1);
    }
    if (At(look, 0) == 'V' && IsBlank(At(look, 1))) {
      Advance(look, 1);
      PassBlanks(look);
    }
    const bool thin = Skip(look, kThin, 1);
    char word[8] = "";
    char cover = ' ';
    if (Skip(look, kCover, 1, word)) {
      cover = word[0] == '0' ? 'O' : word[0];
    } else if (layer == 0 &&
               (SkipWhole(look, kMissing4) || SkipWhole(look, kMissing1) ||
                SkipWhole(look, kMissing2))) {
      p = look;  // the sky is reported missing
      return;
    } else if (d.mexico() && Skip(look, kMexican, 1, word)) {
      if (word[0] == 'D') cover = 'C';       // DESP, DSP
      else if (word[0] == 'M') cover = 'S';  // MNU
      else if (word[0] == 'N') cover = 'B';  // NUB
      else if (word[0] == 'C') cover = 'O';  // CDO
      else cover = 'X';
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
    if (At(p, k) == '/') return true;
  return false;
}

inline bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

// The main group of pressure and temperature, or a bare four-digit wind, where
// the visibility would stand: the report has no visibility then.
bool AtMainGroup(parse_param &p) {
  static const ScanPattern kFull("%*<3!M!f/%*<3!M!f/%*<4!M!f");
  static const ScanPattern kMissingSlp("%*3!MMM!f%*(/)");
  static const ScanPattern kWind("%*4f");
  return (SlashWithin(p, 4) && scanp(&p, kFull) == 3) ||
         (At(p, 3) == '/' && scanp(&p, kMissingSlp) == 2) || scanp(&p, kWind) == 1;
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
  Skip(p, kLess, 1);
  if (At(p, 0) == 'M' && IsBlank(At(p, 1))) {
    // "M": missing, the same as "%*(M) " would find (and no main group).
    Advance(p, 1);
    PassBlanks(p);
  } else if (!AtMainGroup(p)) {
    int a = 0, b = 0, c = 0;
    float v = kMissing;
    if (Skip(p, kMissingVis, 1)) {
    } else if (At(p, 1) == '/' && Skip(p, kFrac, 2, &a, &b)) {
      r.vis = Fraction(0, a, b);
    } else if ((At(p, 2) == '/' && Skip(p, kMixed, 3, &a, &b, &c)) ||
               (IsBlank(At(p, 1)) && Skip(p, kMixedBlank, 3, &a, &b, &c))) {
      r.vis = Fraction(a, b, c);
    } else if (Skip(p, kBv, 1, &a)) {
      r.vis = static_cast<float>(a);
    } else if (Skip(p, kPlus, 2, &v) || Skip(p, kPlain, 1, &v)) {
      r.vis = v;
    }
  }
  if (At(p, 0) == 'V') {
    Advance(p, 1);
    PassBlanks(p);
  }
  if (d.mexico() && Skip(p, kMas, 1)) PassBlanks(p);
  float alt = kMissing;
  if (Skip(p, kAltimeter, 2, &alt)) r.alt = alt;
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
  } else if (!SlashWithin(p, 4) ||
             (scanp(&p, kGroup) != 2 && scanp(&p, kGroupMissing) != 2)) {
    char wx[10] = "";
    if (Skip(p, kWeather, 1, wx) && !OnlyM(wx))
      CopyText(d.r->weather, SFC_WEATHER_SIZE, wx, 9);
  }
  PassBlanks(p);
  Skip(p, kMissingSlp, 1);
}

// ---- main group: pressure, temperature, dew point, wind, altimeter -------------------

enum class Val : unsigned char { SLP, T, TD, DIR, SPD, GST, ALT };
constexpr int kValKinds = 7;
constexpr int kAnyCountry = -1;

struct BodyRow {
  const char *pattern;
  int count;        // directives the row gives when it fits
  int country;      // bulletin origin it applies to, or kAnyCountry
  bool calm;        // wind calm: direction and speed 0
  int nvals;        // values stored, in pattern order
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
  for (const char *c = p.ptr + p.off; c < end && !IsBlank(*c); ++c) {
    if (*c == '+') plus = true;
    else if (*c == 'G') gust = true;
    else if (*c == 'C' && end - c >= 4 && c[1] == 'A' && c[2] == 'L' && c[3] == 'M') calm = true;
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
  if (At(p, 0) == '/') Advance(p, 1);
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

// Groups that are only copied into the remarks: the words that follow the
// cursor go there, and the cursor moves past what the pattern covered.
struct CopyGroup {
  const char *pattern;
  int count;
  int words;
  const char *note;
  const char *prefix;  // literal the pattern opens with, up to its first blank
};
// clang-format off
constexpr CopyGroup kCopyGroups[] = {
    {"%*2d %*(X|CLR|SCT|BKN|BRK|OVC|0VC) V %*3[/A]%*( |/) ", 4, 4, "Variable Ceiling\n", ""},
    {"R%*dVR%*d%*[/A/N]%*( |/) ", 4, 1, "Runway Visual Range\n", "R"},
    {"PK WND %*s ", 1, 3, "Peak Wind\n", "PK"},
    {"SNOINCR %*s ", 1, 2, "Snow Increasing Rapidly\n", "SNOINCR"},
    {"P%*d ", 1, 1, "Hourly Precipitation\n", "P"},
    {"PCPN %*d ", 1, 2, "Hourly Precipitation\n", "PCPN"},
    {"WSHFT %*d ", 1, 2, "Wind Shift\n", "WSHFT"},
    {"%*<(/)CITY %*d ", 2, 2, "City Temp\n", ""},
    {"RADAR %*d ", 1, 2, "RADAT\n", "RADAR"},
    {"TWR ALSTG %*d ", 1, 3, "Tower Altimeter setting\n", "TWR"},
    {"TWR VSBY %*d ", 1, 3, "Tower Visibility\n", "TWR"},
    {"%*(RNO|RM) %*d ", 2, 2, "AMOS Status\n", "R"},
};
// clang-format on
constexpr int kNumCopyGroups = static_cast<int>(sizeof kCopyGroups / sizeof kCopyGroups[0]);

template <std::size_t... I>
std::array<ScanPattern, sizeof...(I)> CompileCopyGroups(std::index_sequence<I...>) {
  return {ScanPattern(kCopyGroups[I].pattern)...};
}

bool CopyGroups(SaDecode &d) {
  static const std::array<ScanPattern, kNumCopyGroups> patterns =
      CompileCopyGroups(std::make_index_sequence<kNumCopyGroups>{});
  parse_param &p = d.p;
  bool took = false;
  for (int i = 0; i < kNumCopyGroups; ++i) {
    const CopyGroup &g = kCopyGroups[i];
    if (!Starts(p, g.prefix)) continue;
    // The variable ceiling opens with two characters of number and a blank.
    if (i == 0 && !IsBlank(At(p, 2))) continue;
    if (scanp(&p, patterns[static_cast<std::size_t>(i)]) != g.count) continue;
    Note(g.note);
    SFC_add_remark_sections(d.r, scanp_str(&p), g.words);
    scanp_inc(&p);
    took = true;
  }
  return took;
}

// The separator "%*(/| )" or "%*( |/)" at `k`: exactly a slash or a blank.
inline bool SepAt(const parse_param &p, int k) { return At(p, k) == '/' || At(p, k) == ' '; }

// Tries every United States group once, in order, each at the cursor left by
// the one before. True when any was taken.
bool UsGroups(SaDecode &d) {
  static const ScanPattern kSlp("SLP %d ");
  static const ScanPattern kWea("%*<(/)WEA%*(:| ) %s ");
  static const ScanPattern kNewCloud("8/%3c%*(/| ) ");
  static const ScanPattern kNewSnow("4/%3f%*(/| ) ");
  static const ScanPattern kLiquidSnow("933%3f%*(/| ) ");
  static const ScanPattern k931("931%3f %*(/| ) ");
  static const ScanPattern kPresfr("PRESFR ");
  static const ScanPattern kPresrr("PRESRR ");
  static const ScanPattern kNewPtend("5%1f%3f%*(/| ) ");
  static const ScanPattern kOldPtend("%1f%2f ");
  static const ScanPattern kPtendPrecip("%1!/!f%2!//!f%2f ");
  static const ScanPattern kInches("%(ONE|TWO|THREE|FOUR) ");
  static const ScanPattern k902("902%*2f ");
  static const ScanPattern kSunshine("98%3f ");
  static const ScanPattern kPrecip6("6%3!///!f/%*( |/) ");
  static const ScanPattern kPrecip24("7%4!////!f%*( |/) ");
  static const ScanPattern kOldPrecip24("20%3f%*( |/)");
  static const ScanPattern kOldSnow("904%2f ");
  static const ScanPattern kOldCloud("1%3s ");
  static const ScanPattern kMaxMin9("4%4f%4f ");
  static const ScanPattern kMaxMin5("4%2f%2f ");
  static const ScanPattern kMax6("1%4f%*(/| ) ");
  static const ScanPattern kMin6("2%4f%*(/| ) ");
  static const ScanPattern k24Max("24 HR MAX %<3f ");
  static const ScanPattern k24Min("24 HR MIN %<3f ");
  static const ScanPattern kMorningMin("MRNG MIN %<3f ");
  static const ScanPattern kBare("%2f ");
  static const ScanPattern kMax("MAX%<3f ");
  static const ScanPattern kMin("MIN%<3f ");

  parse_param &p = d.p;
  SFC_report &r = *d.r;
  bool took = false;
  auto take = [&](const char *note) {
    if (note) Note(note);
    scanp_inc(&p);
    took = true;
  };
  float a = kMissing, b = kMissing, c = kMissing;
  char text[SCANP_TEXT_SIZE];

  int slp = 0;
  if (Starts(p, "SLP") && scanp(&p, kSlp, &slp) == 1 && slp <= 999) {
    r.pmb = static_cast<float>(slp);
    if (MESS_check(SFC_SA_NOTE_CLASS)) MESS_print(SFC_SA_NOTE_CLASS, "Sea level Pressure %d\n", slp);
    take(nullptr);
  }
  if ((Starts(p, "WEA") || Starts(p, "/WEA")) && scanp(&p, kWea, text) == 3) {
    CopyText(r.weather, SFC_WEATHER_SIZE, text, 9);
    take("Weather\n");
  }
  // Each fixed-width group is tried only where its separator can stand.
  if (CloudTypeBlank(r) && Starts(p, "8/") && SepAt(p, 5) && scanp(&p, kNewCloud, text) == 2 &&
      p.len > 5) {
    SetCloudType(r, text);
    d.mark = 2;
    take("New Cloud type\n");
  }
  if (Starts(p, "4/") && SepAt(p, 5) && scanp(&p, kNewSnow, &a) == 2 && p.len > 5) {
    r.scover = a;
    d.mark = 1;
    take("New Snow cover\n");
  }
  if (Starts(p, "933") && SepAt(p, 6) && scanp(&p, kLiquidSnow, &a) == 2 && p.len > 5) {
    if (!IsSet(r.scover)) r.scover = a;
    d.mark = 1;
    take("New Liquid eq Snow cover\n");
  }
  // The group is followed by a blank, so the separator after it rarely fits:
  // one directive is enough.
  if (Starts(p, "931") && scanp(&p, k931, &a) >= 1 && p.len > 5) {
    SFC_add_remark_sections(&r, scanp_str(&p), 1);
    d.mark = 1;
    take("931 Group\n");
  }
  if (Starts(p, "PRESFR") && scanp(&p, kPresfr) >= 0 && p.done && p.len > 6) {
    SFC_add_remark_sections(&r, scanp_str(&p), 1);
    take("Old PresFR\n");
  }
  if (Starts(p, "PRESRR") && scanp(&p, kPresrr) >= 0 && p.done && p.len > 6) {
    SFC_add_remark_sections(&r, scanp_str(&p), 1);
    take("Old PresRR\n");
  }
  if (SepAt(p, 5) && scanp(&p, kNewPtend, &a, &b) == 3 && p.len > 5) {
    if (!IsSet(r.ptend)) {
      r.ptend_t = static_cast<int>(a);
      r.ptend = b / 10.0f;
      if (r.ptend_t > 4) r.ptend = -r.ptend;
      d.mark = 2;
      take("New Ptend\n");
    } else if (static_cast<int>(a) == r.ptend_t) {
      take("New Ptend redo\n");
    }
  }
  if (!IsSet(r.ptend) && d.kind != 1 && IsBlank(At(p, 3)) && scanp(&p, kOldPtend, &a, &b) == 2 &&
      p.len > 3) {
    r.ptend_t = static_cast<int>(a);
    r.ptend = b / 10.0f;
    if (r.ptend_t >= 5) r.ptend = -r.ptend;
    take("Old Ptend\n");
  }
  if (!IsSet(r.ptend) && (IsDigitChar(At(p, 0)) || At(p, 0) == '/') && IsBlank(At(p, 5)) &&
      scanp(&p, kPtendPrecip, &a, &b, &c) == 3 && p.len > 5) {
    // Shapes that belong to other groups (temperatures, snow, precipitation).
    const int first = IsSet(a) ? static_cast<int>(a) : -1;
    const bool written = IsSet(b);
    const bool other = ((first == 1 || first == 2) && written && b <= 11) || first == 4 ||
                       (first == 5 && written && b >= 10) || (first == 7 && written && b <= 10) ||
                       first == 9;
    if (!other) {
      r.ptend_t = IsSet(a) ? first : SFC_MISSING;
      r.ptend = IsSet(b) ? b / 10.0f : kMissing;
      if (IsSet(r.ptend) && r.ptend_t > 4) r.ptend = -r.ptend;
      float amount = c / 100.0f;
      take("Old Ptend w/ precip\n");
      if (scanp(&p, kInches, text) == 1 &&
          (p.done || scanp_char(&p, p.len) == '\0')) {
        amount += text[0] == 'O' ? 1 : text[0] == 'F' ? 4 : text[1] == 'W' ? 2 : 3;
        scanp_inc(&p);
      }
      if (SixHourly(d.prhour)) r.rain6 = amount;
      else r.rain3 = amount;
    }
  }
  if (Starts(p, "902") && IsBlank(At(p, 5)) && scanp(&p, k902) == 1 && p.len > 5)
    take("Old Liquid eq Snow cover\n");
  if (Starts(p, "98") && IsBlank(At(p, 5)) && scanp(&p, kSunshine, &a) == 1 && p.len > 5) {
    r.solar = a;
    take("Old/New Sunshine\n");
  }
  const bool six = SixHourly(d.prhour);
  if ((six ? !IsSet(r.rain6) : !IsSet(r.rain3)) && At(p, 4) == '/' && SepAt(p, 5) &&
      scanp(&p, kPrecip6, &a) == 2 && p.len > 5) {
    const float amount = IsSet(a) ? a / 100.0f : kMissing;
    if (six) {
      r.rain6 = amount > 20 ? kMissing : amount;
      d.mark = 1;
      take("New 6 Prec\n");
    } else {
      r.rain3 = amount > 10 ? kMissing : amount;
      d.mark = 1;
      take("New 3 Prec\n");
    }
  }
  if (!IsSet(r.rain24) && SepAt(p, 5) && scanp(&p, kPrecip24, &a) == 2 && p.len > 5) {
    const float amount = IsSet(a) ? a / 100.0f : kMissing;
    r.rain24 = amount > 20 ? kMissing : amount;
    d.mark = 1;
    take("New 24 Prec\n");
  }
  if (d.mark != 2 && !IsSet(r.rain24) && Starts(p, "20") && SepAt(p, 5) &&
      scanp(&p, kOldPrecip24, &a) == 2 && p.len > 5) {
    const float amount = a / 100.0f;
    r.rain24 = amount > 20 ? kMissing : amount;
    take("Old 24 Prec\n");
  }
  if (!IsSet(r.scover) && Starts(p, "904") && IsBlank(At(p, 5)) && scanp(&p, kOldSnow, &a) == 1 &&
      p.len > 5) {
    r.scover = a;
    take("Old Snow cover\n");
  }
  if (CloudTypeBlank(r) && IsBlank(At(p, 4)) && scanp(&p, kOldCloud, text) == 1 && p.len > 4) {
    SetCloudType(r, text);
    take("Old Cloud type\n");
  }
  if (CopyGroups(d)) took = true;
  if (!IsSet(r.max_t) && scanp(&p, kMaxMin9, &a, &b) == 2 && p.len > 5) {
    r.max_t = TenthsCelsiusToF(a);
    r.min_t = TenthsCelsiusToF(b);
    d.exact_max_min = true;
    d.mark = 1;
    take("New Max/min temp 9 digit\n");
  }
  if (!IsSet(r.max_t) && scanp(&p, kMaxMin5, &a, &b) == 2) {
    r.max_t = a;
    r.min_t = b;
    take("Old Max/min temp 5 digit\n");
  }
  // t is whole degrees Fahrenheit: allow for its rounding against tenths.
  constexpr float kRound = 0.5f;
  if (!IsSet(r.max6_t) && SepAt(p, 5) && scanp(&p, kMax6, &a) == 2 && p.len > 5) {
    const float v = TenthsCelsiusToF(a);
    if (!(v > 120 || v < -50 || (IsSet(r.t) && v < r.t - kRound))) {
      r.max6_t = v;
      d.mark = 1;
      take("New Max temp\n");
    }
  }
  if (!IsSet(r.min6_t) && SepAt(p, 5) && scanp(&p, kMin6, &a) == 2 && p.len > 5) {
    const float v = TenthsCelsiusToF(a);
    if (!(v > 100 || v < -75 || (IsSet(r.t) && v > r.t + kRound))) {
      r.min6_t = v;
      d.mark = 1;
      take("New Min temp\n");
    }
  }
  if (!IsSet(r.max_t) && Starts(p, "24") && scanp(&p, k24Max, &a) == 1 && p.len > 9) {
    r.max_t = a;
    take("Old 24 HR MAX... temp\n");
  }
  // The minimum groups test the minimum: a maximum read just before them must
  // not make them drop theirs.
  if (!IsSet(r.min_t) && Starts(p, "24") && scanp(&p, k24Min, &a) == 1 && p.len > 9) {
    r.min_t = a;
    take("Old 24 HR MIN... temp\n");
  }
  if (!IsSet(r.min_t) && Starts(p, "MRNG") && scanp(&p, kMorningMin, &a) == 1 &&
      p.len > 9) {
    r.min_t = a;
    take("Old MRNG MIN... temp\n");
  }
  if (((MinimumHour(d.prhour) && !IsSet(r.min_t)) || !IsSet(r.max_t)) &&
      IsBlank(At(p, 2)) && scanp(&p, kBare, &a) == 1 && p.len > 2) {
    if (MinimumHour(d.prhour) && !IsSet(r.min_t)) {
      r.min_t = a;
      take("Old Min temp\n");
    } else if (!IsSet(r.max_t)) {
      r.max_t = a;
      take("Old Max temp\n");
    }
  }
  if (!IsSet(r.max_t) && Starts(p, "MAX") && scanp(&p, kMax, &a) == 1 && p.len > 6) {
    r.max_t = a;
    take("Old MAX... temp\n");
  }
  if (!IsSet(r.min_t) && Starts(p, "MIN") && scanp(&p, kMin, &a) == 1 && p.len > 6) {
    r.min_t = a;
    take("Old MIN... temp\n");
  }
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
  if (AtEnd(p) || At(p, 0) == '=') return;
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
    while (n < p.len && !IsBlank(raw[n])) ++n;
    scanp_inc(&p);
    const int stored = n < SCANP_TEXT_MAX ? n : SCANP_TEXT_MAX;
    if (stored > 0) AddRemark(*d.r, word, stored);
  }
}

// ---- completion ------------------------------------------------------------------------

constexpr double kHpaToInch = 0.029538613372810264;

inline float CelsiusToF(float c) { return IsSet(c) ? 32.0f + 9.0f * c / 5.0f : c; }

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
      if (r.pmb < 1000 && r.alt > 30.2f) r.pmb += 100;
      else if (r.pmb > 1000 && r.alt < 29.3f) r.pmb -= 100;
    }
  }
  // Old extremes are written with two digits: complete them by the temperature.
  if (!d.exact_max_min && IsSet(r.t)) {
    for (float *v : {&r.min_t, &r.max_t}) {
      if (!IsSet(*v)) continue;
      if (r.t > 60 && *v < 30) *v += 100;
      else if (r.t < 30 && *v > 60) *v -= 100;
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

inline bool IsLeadingFill(char c) { return IsBlank(c) || c == '\x1e'; }

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
  while (start < d.p.length && IsLeadingFill(data[start])) ++start;
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

int SFC_SA_body_count(int row) { return row >= 0 && row < kNumBodyRows ? kBodyRows[row].count : -1; }

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
