// Unit conversion through the units lookup file.
//
// A unit name is an optional numeric factor and a base unit: "100_ft" is a hundred
// feet, "10^3_m" a thousand metres, "-K" minus one kelvin. Equal base units only
// scale by the factors; other pairs are looked up in "units.lup", whose entries are
// three words: input unit, output unit, and a conversion "*scale", "+offset",
// "-offset" or "*scale+offset" / "*scale-offset". The result is
//   (input factor * value * scale + offset) / output factor.
//
// The last pair looked up in the file is remembered with its factors, scale and
// offset: every printed value goes through here, and a row of values in one unit
// then reads the file once.

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "calc/calc.h"
#include "calc/calc_testing.h"
#include "files/paths.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/chars.h"
#include "util/number.h"

namespace {

constexpr float kMissing = -9999.0f;
constexpr M_type kTraceClass = M_DEBUG & M_SUB_C;
constexpr M_type kDebugClass = M_DEBUG & M_SUB_D;
constexpr const char *kUnitsFile = "units.lup";
// Longest word kept from the units file; the rest of a longer word is skipped.
constexpr int kWordMax = 63;

// The remembered pair. The names are kept as the caller gave them (cut to
// UNIT_NAME_MAX), so a repeated call is recognised without any parsing.
struct UnitState {
  bool valid = false;                  // a pair is remembered
  char iunit[UNIT_NAME_MAX + 1] = {};  // input unit name as given
  char ounit[UNIT_NAME_MAX + 1] = {};  // output unit name as given
  UNIT_conversion cvt;                 // its factors, scale and offset
};
UnitState g_unit;

// A unit name split into its factor and base unit.
struct UnitName {
  double factor = 1.0;
  char base[UNIT_NAME_MAX + 1] = {};
};

bool EqualNoCase(const char *a, const char *b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) !=
        std::tolower(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

// Copies at most UNIT_NAME_MAX characters of `name`, underscores read as blanks.
void CopyName(const char *name, char *out) {
  int n = 0;
  for (; n < UNIT_NAME_MAX && name[n] != '\0'; ++n) out[n] = name[n] == '_' ? ' ' : name[n];
  out[n] = '\0';
}

// Copies at most UNIT_NAME_MAX characters of `name` unchanged.
void CopyRaw(const char *name, char *out) {
  int n = 0;
  for (; n < UNIT_NAME_MAX && name[n] != '\0'; ++n) out[n] = name[n];
  out[n] = '\0';
}

// Reads a decimal number (optional sign, digits with an optional point, optional
// exponent) that starts at `s` itself. Returns the end of the number, or null when
// there is none or it is out of range.
const char *ScanNumber(const char *s, double *value) {
  if (zyp::is_blank(*s)) return nullptr;  // the number reader would skip blanks
  double v = 0.0;
  const std::size_t used = zyp::read_double_prefix(s, v);
  if (used == 0) return nullptr;
  *value = v;
  return s + used;
}

// Splits a copied name (blanks for underscores) into factor and base unit:
// "F^E rest", "F rest", "-rest" or just "rest". Blanks around the base are dropped.
UnitName SplitName(const char *name) {
  UnitName out;
  const char *rest = name;
  double f = 0.0, e = 0.0;
  if (const char *p = ScanNumber(name, &f)) {
    if (*p == '^') {
      const char *q = ScanNumber(p + 1, &e);
      if (q != nullptr && *q == ' ') {
        out.factor = std::pow(f, e);
        rest = q;
      }
    } else if (*p == ' ') {
      out.factor = f;
      rest = p;
    }
  }
  if (rest == name && *name == '-') {
    out.factor = -1.0;
    rest = name + 1;
  }
  while (*rest == ' ') ++rest;
  int n = static_cast<int>(std::strlen(rest));
  while (n > 0 && rest[n - 1] == ' ') --n;
  std::memcpy(out.base, rest, static_cast<size_t>(n));
  out.base[n] = '\0';
  return out;
}

// Reads the next word of the units file into `word` (kWordMax+1 bytes), skipping
// comments: a word that starts with "#" takes the rest of its line with it.
// Underscores read as blanks, as in the names handed to UNIT_cvt. False at the end.
bool NextWord(FILE *f, char *word) {
  for (;;) {
    int c = std::fgetc(f);
    while (c != EOF && zyp::is_space(static_cast<char>(c))) c = std::fgetc(f);
    if (c == EOF) return false;
    if (c == '#') {
      while (c != EOF && c != '\n') c = std::fgetc(f);
      continue;
    }
    int n = 0;
    while (c != EOF && !zyp::is_space(static_cast<char>(c))) {
      if (n < kWordMax) word[n++] = c == '_' ? ' ' : static_cast<char>(c);
      c = std::fgetc(f);
    }
    word[n] = '\0';
    return true;
  }
}

// Reads a conversion text: an optional "*scale", then an optional "+offset" or
// "-offset". Parts that are absent or unreadable leave 1 and 0.
void ParseConversion(const char *text, double *scale, double *offset) {
  *scale = 1.0;
  *offset = 0.0;
  const char *p = text;
  if (*p == '*') {
    double v = 0.0;
    const char *end = ScanNumber(p + 1, &v);
    if (end == nullptr) return;
    *scale = v;
    p = end;
  }
  if (*p == '+' || *p == '-') {
    double v = 0.0;
    if (ScanNumber(p + 1, &v) != nullptr) *offset = *p == '-' ? -v : v;
  }
}

// Looks the pair up in the units file. False when the file cannot be opened;
// otherwise the first matching entry's scale and offset, or 1 and 0.
bool LookUp(const char *ibase, const char *obase, double *scale, double *offset) {
  char path[FILE_PATH_MAX + 1];
  FILE_add_path(RES_get("file_path"), kUnitsFile, path);
  FilePtr file(FILE_open(path, "r"));
  if (!file) {
    MESS_print(kDebugClass, "Unable to open units file: %s\n", path);
    return false;
  }
  *scale = 1.0;
  *offset = 0.0;
  char from[kWordMax + 1], to[kWordMax + 1], how[kWordMax + 1];
  while (NextWord(file.get(), from) && NextWord(file.get(), to) && NextWord(file.get(), how)) {
    if (EqualNoCase(from, ibase) && EqualNoCase(to, obase)) {
      ParseConversion(how, scale, offset);
      break;
    }
  }
  return true;
}

float Apply(float value, double ifactor, double ofactor, double scale, double offset) {
  if (ofactor == 0.0) return kMissing;
  return static_cast<float>((ifactor * value * scale + offset) / ofactor);
}

}  // namespace

int UNIT_get_cvt(const char *iunit, const char *ounit, UNIT_conversion *cvt) {
  *cvt = UNIT_conversion{};
  if (iunit == nullptr) iunit = "";
  if (ounit == nullptr || *ounit == '\0') {
    cvt->same = 1;
    return 1;
  }
  char iname[UNIT_NAME_MAX + 1], oname[UNIT_NAME_MAX + 1];
  CopyName(iunit, iname);
  CopyName(ounit, oname);
  if (EqualNoCase(iname, oname)) {
    cvt->same = 1;
    return 1;
  }

  const UnitName in = SplitName(iname);
  const UnitName out = SplitName(oname);
  MESS_print(kTraceClass, "UNIT_cvt: input factor %g unit '%s', output factor %g unit '%s'\n",
             in.factor, in.base, out.factor, out.base);
  cvt->ifactor = in.factor;
  cvt->ofactor = out.factor;
  if (EqualNoCase(in.base, out.base)) return 1;
  cvt->from_file = 1;
  return LookUp(in.base, out.base, &cvt->scale, &cvt->offset) ? 1 : 0;
}

float UNIT_apply(const UNIT_conversion &cvt, float value) {
  if (value == kMissing || cvt.same) return value;
  return Apply(value, cvt.ifactor, cvt.ofactor, cvt.scale, cvt.offset);
}

float UNIT_cvt(float value, const char *iunit, const char *ounit) {
  if (value == kMissing) return kMissing;
  if (iunit == nullptr) iunit = "";
  if (ounit == nullptr || *ounit == '\0') return value;

  // The remembered pair never has equal names or an empty output unit, so it can
  // be tried before those tests.
  if (g_unit.valid && std::strncmp(iunit, g_unit.iunit, UNIT_NAME_MAX) == 0 &&
      std::strncmp(ounit, g_unit.ounit, UNIT_NAME_MAX) == 0)
    return UNIT_apply(g_unit.cvt, value);

  UNIT_conversion cvt;
  if (!UNIT_get_cvt(iunit, ounit, &cvt)) {
    g_unit.valid = false;
    return 0.0f;
  }
  if (cvt.from_file) {  // only pairs read from the file are remembered
    g_unit.valid = true;
    CopyRaw(iunit, g_unit.iunit);
    CopyRaw(ounit, g_unit.ounit);
    g_unit.cvt = cvt;
  }
  return UNIT_apply(cvt, value);
}

void UNIT_reset_state() { g_unit = UnitState{}; }
