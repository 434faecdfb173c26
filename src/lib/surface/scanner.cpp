// Pattern scanner.
//
// A pattern is compiled into a list of elements (a blank, a run of literal
// characters, a directive with its conversion resolved into an operation, or a
// malformed piece that never matches), and the list is walked over the text at
// the cursor. scanp with a pattern text compiles into a stack buffer on each
// call; ScanPattern compiles once. Both walk the same elements with the same
// code, so they give the same results; they differ only in where the values go
// (C varargs or typed targets).
#include "surface/scanner.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "messages/messages.h"
#include "util/chars.h"
#include "util/number.h"

// What an element does when walked.
enum class ScanOp : std::uint8_t {
  BLANK,        // one or more blank, newline, CR, tab
  LITERAL,      // characters that must be there exactly ("%%" too)
  BAD,          // malformed: never matches
  INT,          // d
  INT_BLANKS,   // D
  REAL,         // f
  REAL_BLANKS,  // F
  CLASS,        // s A N w W: a run of one character class (s: of its complement)
  SET,          // [set] and [^set]
  REST,         // S
  CHARS,        // c
  COUNT,        // n
  ALT,          // (a|b|...)
};

constexpr int kMaxListedAlts = 16;

// clang-format off
struct ScanElement {
  ScanOp op;
  char conv;             // conversion character of a directive
  bool directive;        // counts in matched when it matches
  bool suppress;         // '*': nothing stored, no target
  bool less;             // '<'
  bool exact;            // a width without '<': exactly that many characters
  bool has_marker;       // '!marker!' given
  bool negate;           // SET "[^...]"; CLASS s (stops at its class)
  bool empty_alt;        // ALT: an empty alternative fits the width
  std::uint8_t cls;      // CLASS: character class
  std::uint8_t alt_count;  // ALT: alternatives listed in alt_len (0: read the text)
  int width;             // 0 when none was written
  int maxw;              // width, or INT_MAX without one
  int text_off;          // literal run, or alternatives text, inside the pattern
  int text_len;
  int marker_off;        // marker inside the pattern
  int marker_len;
  int end;               // pattern offset just after the element
  std::uint8_t alt_len[kMaxListedAlts];  // ALT: length of each alternative
  std::uint64_t set[4];  // SET members; ALT first characters of its alternatives
};
// clang-format on

namespace {

constexpr M_type kTraceClass = SCANP_TRACE_CLASS;
// Widths beyond this are as good as none.
constexpr int kWidthCap = 1 << 24;
// Elements the per-call compile keeps on the stack; longer patterns use the heap.
constexpr int kStackElements = 48;

// ---- character classes --------------------------------------------------------

enum : std::uint8_t {
  kBlank = 1,      // pattern blank and 'w': blank, newline, CR, tab
  kLineBlank = 2,  // 'W': blank, CR, tab
  kSpace = 4,      // 's' stops at these; D and F skip them
  kAlpha = 8,
  kDigit = 16,
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    std::uint8_t f = 0;
    const char ch = static_cast<char>(c);
    if (scanp_blank(ch)) f |= kBlank;
    if (scanp_blank(ch) && ch != '\n') f |= kLineBlank;
    if (zyp::is_space(ch)) f |= kSpace;
    if (zyp::is_alpha(ch)) f |= kAlpha;
    if (zyp::is_digit(ch)) f |= kDigit;
    t[static_cast<std::size_t>(c)] = f;
  }
  return t;
}
constexpr std::array<std::uint8_t, 256> kClass = MakeClasses();

inline bool Is(unsigned char c, std::uint8_t cls) { return (kClass[c] & cls) != 0; }
// zyp::is_digit on the unsigned byte, in one comparison: the number loops below
// run on every try, where the two comparisons of the char form cost about 0.7%
// of a decode.
constexpr bool IsDigit(unsigned char c) { return static_cast<unsigned>(c - '0') < 10u; }
constexpr bool SameAsIsDigit() {
  for (int c = 0; c < 256; ++c)
    if (IsDigit(static_cast<unsigned char>(c)) != zyp::is_digit(static_cast<char>(c))) return false;
  return true;
}
static_assert(SameAsIsDigit(), "the scanner's digits are zyp::is_digit's");

inline void SetAdd(std::uint64_t *set, unsigned char c) {
  set[c >> 6] |= std::uint64_t{1} << (c & 63);
}
inline bool SetHas(const std::uint64_t *set, unsigned char c) {
  return (set[c >> 6] >> (c & 63)) & 1;
}
using CharSet = std::array<std::uint64_t, 4>;

constexpr CharSet MakeClassSet(std::uint8_t cls) {
  CharSet set{};
  for (int c = 0; c < 256; ++c)
    if (kClass[static_cast<std::size_t>(c)] & cls)
      set[static_cast<std::size_t>(c >> 6)] |= std::uint64_t{1} << (c & 63);
  return set;
}
constexpr CharSet kClassSets[] = {MakeClassSet(kBlank), MakeClassSet(kLineBlank),
                                  MakeClassSet(kSpace), MakeClassSet(kAlpha), MakeClassSet(kDigit)};

// Adds a whole class (one of the flags above), or its complement.
void SetAddClass(std::uint64_t *set, std::uint8_t cls, bool complement = false) {
  const CharSet &members = kClassSets[std::countr_zero(cls)];
  for (std::size_t w = 0; w < 4; ++w) set[w] |= complement ? ~members[w] : members[w];
}

// ---- compiling ----------------------------------------------------------------

// Set members are checked one pattern character at a time: '/' followed by 'A'
// or 'N' stands for letters or digits, and the character after the '/' is then
// checked again as a member in its own right ("/N" also admits 'N'). Any other
// '/' ("//", or one that is last) is a plain slash.
void BuildSet(const char *s, int n, std::uint64_t *set) {
  for (int i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '/' && i + 1 < n && s[i + 1] == 'A')
      SetAddClass(set, kAlpha);
    else if (c == '/' && i + 1 < n && s[i + 1] == 'N')
      SetAddClass(set, kDigit);
    else
      SetAdd(set, c);
  }
}

inline bool FitsWidth(const ScanElement &e, int n) {
  return e.width == 0 || (e.exact ? n == e.width : n <= e.width);
}

// Resolves the conversion of a directive into its operation. False for an
// unknown conversion.
bool ResolveOp(ScanElement &e) {
  switch (e.conv) {
    case 'd': e.op = ScanOp::INT; return true;
    case 'D': e.op = ScanOp::INT_BLANKS; return true;
    case 'f': e.op = ScanOp::REAL; return true;
    case 'F': e.op = ScanOp::REAL_BLANKS; return true;
    // clang-format off
    case 's': e.op = ScanOp::CLASS; e.cls = kSpace; e.negate = true; return true;
    case 'A': e.op = ScanOp::CLASS; e.cls = kAlpha; return true;
    case 'N': e.op = ScanOp::CLASS; e.cls = kDigit; return true;
    case 'w': e.op = ScanOp::CLASS; e.cls = kBlank; return true;
    case 'W': e.op = ScanOp::CLASS; e.cls = kLineBlank; return true;
    // clang-format on
    case 'S': e.op = ScanOp::REST; return true;
    case 'c': e.op = ScanOp::CHARS; return true;
    case 'n': e.op = ScanOp::COUNT; return true;
    default: return false;
  }
}

// Lists the alternatives of an ALT element (when they are few and short enough)
// and the first characters of those that fit the width.
void PrepareAlternatives(const char *pat, ScanElement &e) {
  const char *alt = pat + e.text_off;
  const char *const end = alt + e.text_len;
  int count = 0;
  bool listed = true;
  for (;;) {
    const char *alt_end = alt;
    while (alt_end < end && *alt_end != '|') ++alt_end;
    const int n = static_cast<int>(alt_end - alt);
    if (count < kMaxListedAlts && n <= UINT8_MAX)
      e.alt_len[count] = static_cast<std::uint8_t>(n);
    else
      listed = false;
    ++count;
    if (FitsWidth(e, n)) {
      if (n == 0)
        e.empty_alt = true;
      else
        SetAdd(e.set, static_cast<unsigned char>(alt[0]));
    }
    if (alt_end == end) break;
    alt = alt_end + 1;
  }
  e.alt_count = listed ? static_cast<std::uint8_t>(count) : 0;
}

// Compiles the element at `pos` (pos < n) into `e`; returns the offset after it.
int CompileElement(const char *pat, int n, int pos, ScanElement &e) {
  e = ScanElement{};
  e.maxw = INT_MAX;
  const char c = pat[pos];
  if (c == ' ') {
    e.op = ScanOp::BLANK;
    e.end = pos + 1;
    return e.end;
  }
  if (c != '%') {
    int q = pos;
    while (q < n && pat[q] != ' ' && pat[q] != '%') ++q;
    e.op = ScanOp::LITERAL;
    e.text_off = pos;
    e.text_len = q - pos;
    e.end = q;
    return q;
  }
  int p = pos + 1;
  if (p < n && pat[p] == '%') {  // "%%": the second '%' is the literal
    e.op = ScanOp::LITERAL;
    e.text_off = p;
    e.text_len = 1;
    e.end = p + 1;
    return e.end;
  }
  // Anything malformed below stays BAD: it fails when reached.
  e.op = ScanOp::BAD;
  e.end = n;
  if (p < n && pat[p] == '*') {
    e.suppress = true;
    ++p;
  }
  if (p < n && pat[p] == '<') {
    e.less = true;
    ++p;
  }
  while (p < n && IsDigit(static_cast<unsigned char>(pat[p]))) {
    e.width = std::min(e.width * 10 + (pat[p] - '0'), kWidthCap);
    ++p;
  }
  if (e.width > 0) e.maxw = e.width;
  e.exact = e.width > 0 && !e.less;
  if (p < n && pat[p] == '!') {
    const void *close = std::memchr(pat + p + 1, '!', static_cast<std::size_t>(n - p - 1));
    if (!close) return n;
    const int close_at = static_cast<int>(static_cast<const char *>(close) - pat);
    e.has_marker = true;
    e.marker_off = p + 1;
    e.marker_len = std::min(close_at - (p + 1), SCANP_MARKER_MAX);
    p = close_at + 1;
  }
  if (p >= n) return n;
  e.conv = pat[p++];
  if (e.conv == '[') {
    if (p < n && pat[p] == '^') {
      e.negate = true;
      ++p;
    }
    const void *close = std::memchr(pat + p, ']', static_cast<std::size_t>(n - p));
    if (!close) return n;
    const int close_at = static_cast<int>(static_cast<const char *>(close) - pat);
    BuildSet(pat + p, close_at - p, e.set);
    p = close_at + 1;
    e.op = ScanOp::SET;
  } else if (e.conv == '(') {
    const void *close = std::memchr(pat + p, ')', static_cast<std::size_t>(n - p));
    if (!close) return n;
    const int close_at = static_cast<int>(static_cast<const char *>(close) - pat);
    e.text_off = p;
    e.text_len = close_at - p;
    p = close_at + 1;
    e.op = ScanOp::ALT;
    PrepareAlternatives(pat, e);
  } else if (!ResolveOp(e)) {
    e.op = ScanOp::BAD;
    e.end = p;
    return p;
  }
  e.directive = true;
  e.end = p;
  return p;
}

// Adds to `set` every character the element's first input character may be
// when the element succeeds. Returns true when it can succeed whatever that
// character is (or without looking at it).
bool FirstChars(const ScanElement &e, const char *pat, std::uint64_t *set) {
  switch (e.op) {
    case ScanOp::BLANK: SetAddClass(set, kBlank); return false;
    case ScanOp::LITERAL: SetAdd(set, static_cast<unsigned char>(pat[e.text_off])); return false;
    case ScanOp::BAD: return false;
    case ScanOp::INT:
    case ScanOp::INT_BLANKS:
    case ScanOp::REAL:
    case ScanOp::REAL_BLANKS:
      if (e.has_marker) return true;  // may be passed over
      SetAddClass(set, kDigit);
      SetAdd(set, '-');
      if (e.op == ScanOp::INT_BLANKS || e.op == ScanOp::REAL_BLANKS) SetAddClass(set, kSpace);
      if (e.op == ScanOp::REAL || e.op == ScanOp::REAL_BLANKS) SetAdd(set, '.');
      return false;
    case ScanOp::CLASS: SetAddClass(set, e.cls, e.negate); return false;
    case ScanOp::SET:
      for (int c = 0; c < 256; ++c)
        if (SetHas(e.set, static_cast<unsigned char>(c)) != e.negate)
          SetAdd(set, static_cast<unsigned char>(c));
      return false;
    case ScanOp::ALT:
      if (e.has_marker || (e.less && e.width == 0) || e.empty_alt) return true;
      for (int w = 0; w < 4; ++w) set[w] |= e.set[w];
      return false;
    case ScanOp::REST:
    case ScanOp::CHARS:
    case ScanOp::COUNT: return true;
  }
  return true;
}

// An alternatives directive that stores nothing and, on input that starts with
// none of its alternatives, matches without taking a character.
bool IsOptionalLead(const ScanElement &e) {
  return e.op == ScanOp::ALT && e.suppress &&
         (e.empty_alt || (e.has_marker && e.marker_len == 0) || (e.less && e.width == 0));
}

ScanTarget::Kind TargetKind(const ScanElement &e) {
  switch (e.op) {
    case ScanOp::INT:
    case ScanOp::INT_BLANKS:
    case ScanOp::COUNT: return ScanTarget::Kind::INT;
    case ScanOp::REAL:
    case ScanOp::REAL_BLANKS: return ScanTarget::Kind::FLOAT;
    default: return ScanTarget::Kind::TEXT;
  }
}

// Compiles the whole pattern into `out` (at most `cap` elements). Returns the
// element count, or -1 when the pattern has more than `cap` elements.
int CompileInto(const char *pat, int n, ScanElement *out, int cap) {
  int count = 0;
  for (int pos = 0; pos < n;) {
    if (count == cap) return -1;
    pos = CompileElement(pat, n, pos, out[count++]);
  }
  return count;
}

void CompileVector(const char *pat, int n, std::vector<ScanElement> &out) {
  out.clear();
  for (int pos = 0; pos < n;) {
    out.emplace_back();
    pos = CompileElement(pat, n, pos, out.back());
  }
}

// ---- targets --------------------------------------------------------------------

struct TextOut {
  char *buf;
  int size;
};

// Targets from C varargs: fetched in order, each by the type its directive uses.
struct VaSink {
  va_list *ap;
  int *Int() { return va_arg(*ap, int *); }
  float *Float() { return va_arg(*ap, float *); }
  TextOut Text() { return {va_arg(*ap, char *), SCANP_TEXT_SIZE}; }
};

// Typed targets: a missing one, or one of another kind, is not written.
struct ArraySink {
  const ScanTarget *targets;
  int count;
  int next = 0;
  const ScanTarget *Take(ScanTarget::Kind kind) {
    if (next >= count) return nullptr;
    const ScanTarget *t = &targets[next++];
    return (t->kind == kind && t->ptr) ? t : nullptr;
  }
  int *Int() {
    const ScanTarget *t = Take(ScanTarget::Kind::INT);
    return t ? static_cast<int *>(t->ptr) : nullptr;
  }
  float *Float() {
    const ScanTarget *t = Take(ScanTarget::Kind::FLOAT);
    return t ? static_cast<float *>(t->ptr) : nullptr;
  }
  TextOut Text() {
    const ScanTarget *t = Take(ScanTarget::Kind::TEXT);
    return t ? TextOut{static_cast<char *>(t->ptr), t->size} : TextOut{nullptr, 0};
  }
};

// Stores at most SCANP_TEXT_MAX characters, and never more than the buffer holds.
inline void StoreText(TextOut out, const void *src, int n, bool terminate) {
  if (!out.buf || out.size <= 0) return;
  const int room = terminate ? out.size - 1 : out.size;
  int k = n < room ? n : room;
  if (k > SCANP_TEXT_MAX) k = SCANP_TEXT_MAX;
  // Groups are short: a plain loop beats a call.
  const char *from = static_cast<const char *>(src);
  for (int i = 0; i < k; ++i) out.buf[i] = from[i];
  if (terminate) out.buf[k] = '\0';
}

// ---- numbers --------------------------------------------------------------------

struct NumberSpan {
  int len;      // characters taken, surrounding blanks included
  int num_off;  // the number itself
  int num_len;
  int digits;  // digits of the number (mantissa for reals)
  int value;   // integers: the value, kept within the int range
};

// Magnitudes past this only matter as "too large": the value is clamped.
constexpr long long kIntCap = static_cast<long long>(INT_MAX) + 1;

// Reads the longest number of the form within `lim` characters.
template <bool kReal, bool kBlanks>
[[gnu::always_inline]] inline NumberSpan ScanNumber(const unsigned char *in, int lim) {
  NumberSpan r{0, 0, 0, 0, 0};
  int j = 0;
  if constexpr (kBlanks)
    while (j < lim && Is(in[j], kSpace)) ++j;
  r.num_off = j;
  const bool neg = j < lim && in[j] == '-';
  if (neg) ++j;
  const int first_digit = j;
  long long v = 0;
  while (j < lim && IsDigit(in[j])) {
    if constexpr (!kReal) v = std::min(v * 10 + (in[j] - '0'), kIntCap);
    ++j;
  }
  r.digits = j - first_digit;
  if constexpr (kReal) {
    if (j < lim && in[j] == '.') {
      ++j;
      const int frac = j;
      while (j < lim && IsDigit(in[j])) ++j;
      r.digits += j - frac;
    }
    // An exponent is taken only with digits after it.
    if (r.digits > 0 && j < lim && (in[j] == 'e' || in[j] == 'E')) {
      int k = j + 1;
      if (k < lim && (in[k] == '+' || in[k] == '-')) ++k;
      const int exp_digits = k;
      while (k < lim && IsDigit(in[k])) ++k;
      if (k > exp_digits) j = k;
    }
  } else {
    r.value = static_cast<int>(neg ? std::max(-v, static_cast<long long>(INT_MIN))
                                   : std::min(v, static_cast<long long>(INT_MAX)));
  }
  r.num_len = j - r.num_off;
  if constexpr (kBlanks)
    if (r.digits > 0)
      while (j < lim && Is(in[j], kSpace)) ++j;
  r.len = j;
  return r;
}

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The value of a number text beyond the range of a double, as a decimal
// conversion rounds it: infinity when the number is 1 or more in size, else
// zero, with the text's sign. The text is the form ScanNumber takes: an optional
// '-', digits with at most one '.', an optional exponent with digits.
double OutOfRange(std::string_view text) {
  std::size_t i = 0;
  const bool neg = !text.empty() && text[0] == '-';
  if (neg) ++i;
  // Decimal exponent of the first significant digit, before the written exponent.
  long lead = 0;
  bool point = false, significant = false;
  for (; i < text.size() && (zyp::is_digit(text[i]) || text[i] == '.'); ++i) {
    if (text[i] == '.') {
      point = true;
    } else if (!significant && text[i] == '0') {
      if (point) --lead;
    } else {
      if (!significant && point) --lead;  // the first significant digit itself
      significant = true;
      if (!point) ++lead;
    }
  }
  if (!significant) return neg ? -0.0 : 0.0;
  // The written exponent; its size only matters up to far beyond any range.
  constexpr long kExpCap = 100000;
  long exp = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const bool exp_neg = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && zyp::is_digit(text[i]); ++i)
      exp = std::min(exp * 10 + (text[i] - '0'), kExpCap);
    if (exp_neg) exp = -exp;
  }
  // lead counts the integer digits (from the first significant one), or minus the
  // zeros after the point and the first significant digit.
  const long magnitude = exp + (lead > 0 ? lead - 1 : lead);
  const double v = magnitude >= 0 ? HUGE_VAL : 0.0;
  return neg ? -v : v;
}

// Real value of a number text, rounded as a decimal-to-double conversion and then
// to float.
float FloatValue(const unsigned char *s, int n) {
  // Short plain decimals (the common case) are exact: a mantissa below 2^53
  // divided by an exact power of ten is correctly rounded.
  int i = 0;
  const bool neg = n > 0 && s[0] == '-';
  if (neg) ++i;
  long long mant = 0;
  int digits = 0, frac = -1;
  bool plain = true;
  for (; i < n; ++i) {
    const unsigned char c = s[i];
    if (c == '.') {
      frac = 0;
    } else if (IsDigit(c)) {
      if (++digits > 15) {
        plain = false;
        break;
      }
      mant = mant * 10 + (c - '0');
      if (frac >= 0) ++frac;
    } else {
      plain = false;  // exponent
      break;
    }
  }
  if (plain) {
    double v = static_cast<double>(mant);
    if (frac > 0) v /= kPow10[frac];
    return static_cast<float>(neg ? -v : v);
  }
  const std::string_view text(reinterpret_cast<const char *>(s), static_cast<std::size_t>(n));
  double v = 0;
  if (zyp::read_double_prefix(text, v) == 0) v = OutOfRange(text);
  return static_cast<float>(v);
}

// ---- walking ----------------------------------------------------------------------

[[gnu::cold, gnu::noinline]] void Trace(const char *pat_rest, const unsigned char *in) {
  MESS_print(kTraceClass, "     :%s:%.50s:\n", pat_rest, reinterpret_cast<const char *>(in));
}

[[gnu::cold, gnu::noinline]] void TraceEnd(const parse_param *param, const char *pat) {
  MESS_print(kTraceClass, "SCANP:%.50s:%s:%d:%d:%d:%d:%d\n", param->ptr + param->off, pat,
             param->off, param->len, param->done, param->assigned, param->matched);
}

// Finds the first alternative (in written order) that the input begins with and
// fits the width. Returns its length and sets `alt`, or -1.
inline int MatchAlternative(const ScanElement &e, const char *pat, const unsigned char *in,
                            int rest, const char *&alt) {
  const char *a = pat + e.text_off;
  if (e.alt_count > 0) {
    for (int k = 0; k < e.alt_count; a += e.alt_len[k] + 1, ++k) {
      const int n = e.alt_len[k];
      if (n > rest || !FitsWidth(e, n)) continue;
      int j = 0;
      while (j < n && in[j] == static_cast<unsigned char>(a[j])) ++j;
      if (j == n) {
        alt = a;
        return n;
      }
    }
    return -1;
  }
  const char *const end = a + e.text_len;
  for (;;) {
    const char *a_end = a;
    while (a_end < end && *a_end != '|') ++a_end;
    const int n = static_cast<int>(a_end - a);
    if (n <= rest && FitsWidth(e, n)) {
      int j = 0;
      while (j < n && in[j] == static_cast<unsigned char>(a[j])) ++j;
      if (j == n) {
        alt = a;
        return n;
      }
    }
    if (a_end == end) return -1;
    a = a_end + 1;
  }
}

// Walks the compiled elements of `pat` over the text at the cursor.
template <class Sink>
int Walk(parse_param *param, const ScanElement *elements, int count, const char *pat, Sink &sink) {
  param->len = 0;
  param->assigned = 0;
  param->matched = 0;
  param->done = 0;
  if (count == 0 || !param->ptr || param->off < 0 || param->off >= param->length) return -1;

  const bool trace = MESS_check(kTraceClass) != 0;
  const unsigned char *const text =
      reinterpret_cast<const unsigned char *>(param->ptr) + param->off;
  const int avail = param->length - param->off;
  int pos = 0, matched = 0, assigned = 0;
  bool ok = true;

  for (int k = 0; k < count && ok; ++k) {
    const ScanElement &e = elements[k];
    const unsigned char *const in = text + pos;
    const int rest = avail - pos;
    const int lim = e.maxw < rest ? e.maxw : rest;

    switch (e.op) {
      case ScanOp::BLANK: {
        int j = 0;
        while (j < rest && Is(in[j], kBlank)) ++j;
        ok = j > 0;
        pos += j;
        break;
      }

      case ScanOp::LITERAL: {
        // Each literal character is an element of its own for the trace.
        const char *lit = pat + e.text_off;
        for (int j = 0; j < e.text_len; ++j) {
          ok = pos < avail && text[pos] == static_cast<unsigned char>(lit[j]);
          if (ok) ++pos;
          if (trace) Trace(lit + j + 1, text + pos);
          if (!ok) break;
        }
        continue;  // traced already
      }

      case ScanOp::BAD: ok = false; break;

      case ScanOp::INT:
      case ScanOp::INT_BLANKS:
      case ScanOp::REAL:
      case ScanOp::REAL_BLANKS: {
        NumberSpan num;
        bool real = false;
        switch (e.op) {
          case ScanOp::INT: num = ScanNumber<false, false>(in, lim); break;
          case ScanOp::INT_BLANKS: num = ScanNumber<false, true>(in, lim); break;
          case ScanOp::REAL: num = ScanNumber<true, false>(in, lim), real = true; break;
          default: num = ScanNumber<true, true>(in, lim), real = true; break;
        }
        if (num.digits == 0) {
          if (!e.has_marker) {
            ok = false;
          } else if (e.marker_len > rest ||
                     std::memcmp(in, pat + e.marker_off, static_cast<std::size_t>(e.marker_len)) !=
                         0) {
            // Passed over: its target slot is used up, the walk goes on here.
            if (!e.suppress) {
              if (real)
                sink.Float();
              else
                sink.Int();
            }
          } else {
            pos += e.marker_len;
            ++matched;
            if (!e.suppress) {
              if (real) {
                if (float *t = sink.Float()) *t = SCANP_MISSING_F;
              } else {
                if (int *t = sink.Int()) *t = SCANP_MISSING;
              }
              ++assigned;
            }
          }
        } else if (e.exact && num.len != e.width) {
          ok = false;
        } else {
          pos += num.len;
          ++matched;
          if (!e.suppress) {
            if (real) {
              if (float *t = sink.Float()) *t = FloatValue(in + num.num_off, num.num_len);
            } else {
              if (int *t = sink.Int()) *t = num.value;
            }
            ++assigned;
          }
        }
        break;
      }

      case ScanOp::CLASS:
      case ScanOp::SET:
      case ScanOp::REST: {
        int n = 0;
        if (e.op == ScanOp::REST)
          n = lim;
        else if (e.op == ScanOp::SET)
          while (n < lim && SetHas(e.set, in[n]) != e.negate) ++n;
        else
          while (n < lim && Is(in[n], e.cls) != e.negate) ++n;
        ok = n > 0 && !(e.exact && n != e.width);
        if (ok) {
          pos += n;
          ++matched;
          if (!e.suppress) {
            StoreText(sink.Text(), in, n, true);
            ++assigned;
          }
        }
        break;
      }

      case ScanOp::CHARS: {
        const int n = e.width > 0 ? e.width : 1;
        ok = rest >= n;
        if (ok) {
          pos += n;
          ++matched;
          if (!e.suppress) {
            StoreText(sink.Text(), in, n, false);
            ++assigned;
          }
        }
        break;
      }

      case ScanOp::COUNT:
        ++matched;
        if (!e.suppress) {
          if (int *t = sink.Int()) *t = pos;
          ++assigned;
        }
        break;

      case ScanOp::ALT: {
        const char *alt = nullptr;
        int n = -1;
        // Input starting with no listed first character can only take an empty
        // alternative, which always fits.
        if (rest > 0 && SetHas(e.set, in[0]))
          n = MatchAlternative(e, pat, in, rest, alt);
        else if (e.empty_alt)
          n = 0, alt = pat + e.text_off;
        if (n >= 0) {
          pos += n;
          ++matched;
          if (!e.suppress) {
            StoreText(sink.Text(), alt, n, true);
            ++assigned;
          }
        } else if (e.has_marker) {
          // Matches anyway, over as much of the input as agrees with the marker.
          const char *m = pat + e.marker_off;
          int j = 0;
          while (j < e.marker_len && j < rest && in[j] == static_cast<unsigned char>(m[j])) ++j;
          pos += j;
          ++matched;
          if (!e.suppress) {
            StoreText(sink.Text(), in, 0, true);
            ++assigned;
          }
        } else if (e.less && e.width == 0) {
          // Optional: counts as matched, target left as it was.
          ++matched;
          if (!e.suppress) sink.Text();
        } else {
          ok = false;
        }
        break;
      }
    }
    if (trace) Trace(pat + e.end, text + pos);
  }

  param->len = pos;
  param->assigned = assigned;
  param->matched = matched;
  param->done = ok ? 1 : 0;
  if (trace) TraceEnd(param, pat);
  return matched;
}

// Compiles `pat` for this call only (stack buffer, heap for very long patterns)
// and walks it.
template <class Sink>
int WalkText(parse_param *param, const char *pat, Sink &sink) {
  param->len = 0;
  param->assigned = 0;
  param->matched = 0;
  param->done = 0;
  if (!pat || !*pat || !param->ptr || param->off < 0 || param->off >= param->length) return -1;
  const int n = static_cast<int>(std::strlen(pat));
  ScanElement local[kStackElements];
  const int count = CompileInto(pat, n, local, kStackElements);
  if (count >= 0) return Walk(param, local, count, pat, sink);
  std::vector<ScanElement> heap;
  CompileVector(pat, n, heap);
  return Walk(param, heap.data(), static_cast<int>(heap.size()), pat, sink);
}

char g_empty_text[1] = "";

int ClampOffset(const parse_param *param, long long off) {
  return static_cast<int>(std::clamp<long long>(off, 0, std::max(param->length, 0)));
}

}  // namespace

// ---- ScanPattern ----------------------------------------------------------------

ScanPattern::ScanPattern(std::string_view pattern) : text_(pattern) {
  // A terminator inside the view ends the pattern, as it would for the text form.
  text_.resize(std::strlen(text_.c_str()));
  CompileVector(text_.c_str(), static_cast<int>(text_.size()), elements_);
  for (const ScanElement &e : elements_) {
    if (!e.directive) continue;
    ++directives_;
    if (!e.suppress) kinds_.push_back(TargetKind(e));
  }
  arguments_ = static_cast<int>(kinds_.size());
  // Leading optional directives match without taking anything unless the input
  // starts with one of their alternatives; the element after them then decides.
  std::size_t i = 0;
  while (i < elements_.size() && IsOptionalLead(elements_[i])) {
    const ScanElement &e = elements_[i];
    for (int w = 0; w < 4; ++w) first_[static_cast<std::size_t>(w)] |= e.set[w];
    // A marker that does not fit whole is still consumed as far as it agrees.
    if (e.has_marker && e.marker_len > 0)
      SetAdd(first_.data(),
             static_cast<unsigned char>(text_[static_cast<std::size_t>(e.marker_off)]));
    ++i;
  }
  lead_ = static_cast<int>(i);
  first_any_ = i == elements_.size() || FirstChars(elements_[i], text_.c_str(), first_.data());
}

ScanPattern::ScanPattern(const ScanPattern &other) = default;
ScanPattern::ScanPattern(ScanPattern &&other) noexcept = default;
ScanPattern &ScanPattern::operator=(const ScanPattern &other) = default;
ScanPattern &ScanPattern::operator=(ScanPattern &&other) noexcept = default;
ScanPattern::~ScanPattern() = default;

ScanTarget::Kind ScanPattern::argument_kind(int index) const {
  if (index < 0 || index >= arguments_) return ScanTarget::Kind::INT;
  return kinds_[static_cast<std::size_t>(index)];
}

// ---- scanning ---------------------------------------------------------------------

int scanp(parse_param *param, const char *pat, ...) {
  ++scanp_detail::g_scan.tries;
  if (!param) return -1;
  va_list ap;
  va_start(ap, pat);
  VaSink sink{&ap};
  const int r = WalkText(param, pat, sink);
  va_end(ap);
  return r;
}

int scanp_targets(parse_param *param, const char *pat, const ScanTarget *targets, int count) {
  ++scanp_detail::g_scan.tries;
  if (!param) return -1;
  ArraySink sink{targets, targets ? count : 0};
  return WalkText(param, pat, sink);
}

int scanp_targets(parse_param *param, const ScanPattern &pat, const ScanTarget *targets,
                  int count) {
  if (!param) return -1;
  // Most tries of a decoder fail at once; settle those from one character.
  if (int r; pat.settled_at_once(param, &r)) return r;
  return scanp_walk(param, pat, targets, count);
}

int scanp_walk(parse_param *param, const ScanPattern &pat, const ScanTarget *targets, int count) {
  if (!param) return -1;
  ArraySink sink{targets, targets ? count : 0};
  return Walk(param, pat.elements_.data(), static_cast<int>(pat.elements_.size()),
              pat.text_.c_str(), sink);
}

// ---- cursor operations --------------------------------------------------------------

int scanp_set(parse_param *param, char *str) {
  if (!param) return 0;
  param->ptr = str ? str : g_empty_text;
  param->length = static_cast<int>(std::min<std::size_t>(std::strlen(param->ptr), INT_MAX));
  param->off = 0;
  return 1;
}

int scanp_inc(parse_param *param) {
  if (!param) return 0;
  param->off = ClampOffset(param, static_cast<long long>(param->off) + param->len);
  return 1;
}

int scanp_inc_off(parse_param *param, int off) {
  if (!param) return 0;
  param->off = ClampOffset(param, static_cast<long long>(param->off) + off);
  return 1;
}

int scanp_off(parse_param *param, int off) {
  if (!param) return 0;
  param->off = ClampOffset(param, off);
  return 1;
}

int scanp_get_off(const parse_param *param) { return param ? param->off : 0; }

char *scanp_str(parse_param *param) {
  if (!param || !param->ptr) return g_empty_text;
  return param->ptr + ClampOffset(param, param->off);
}

char scanp_replace(parse_param *param, int off, char ch) {
  if (!param || !param->ptr) return ch;
  const long long at = static_cast<long long>(param->off) + off;
  if (at >= 0 && at < param->length) param->ptr[at] = ch;
  return ch;
}

int scanp_search(parse_param *param, const char *str) {
  if (!param || !param->ptr || !str) return 0;
  const std::string_view text(param->ptr, static_cast<std::size_t>(std::max(param->length, 0)));
  const std::size_t at = text.find(str);
  if (at == std::string_view::npos) return 0;
  param->off = static_cast<int>(at);
  return 1;
}

int scanp_print(const parse_param *param) {
  if (!param) return 0;
  const char *at = (param->ptr && param->off >= 0 && param->off <= param->length)
                       ? param->ptr + param->off
                       : g_empty_text;
  std::printf("scanp:%s:%d:%d:%d:%d\n", at, param->len, param->done, param->assigned,
              param->matched);
  return 1;
}
