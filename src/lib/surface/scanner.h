// Pattern scanner: the small scan language the report decoders are written in.
//
// A decoder keeps a cursor (parse_param) into a report text and tries, group after
// group, patterns such as "%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ". A try
// reports how many directives matched and how many characters it covered; the
// decoder compares that with what it expected and only then moves the cursor
// (scanp_inc). A try never moves the cursor, so a failed try costs nothing.
//
// Pattern elements:
//   blank      one or more of blank, newline, carriage return, tab
//   other      that character exactly ("%%" is a literal '%')
//   directive  '%' ['*'] ['<'] [width] ['!' marker '!'] conversion
// '*' stores nothing and takes no argument. Width n alone: exactly n characters;
// '<' with n: 1 to n; neither: 1 or more. Conversions:
//   d D        int (optional '-'; D also skips blanks around it)
//   f F        float (optional '-', one '.', exponent; F skips blanks around it)
//   s S A N    non-blank run / rest of text / letters / digits
//   w W        blank, newline, CR, tab / the same without newline
//   c          exactly width characters (default 1), stored without terminator
//   n          int: characters consumed so far
//   [set] [^set]  members; "/A" any letter, "/N" any digit, "//" a slash
//   (a|b|...)  first alternative the input begins with; an empty one always fits
// A marker turns the run of characters it spells into the missing value for a
// number ("%3!///!d" reads "///" as -9999); a number without digits and without
// its marker is passed over (no match, nothing consumed, the walk goes on). For
// alternatives, a marker makes the directive always match (consuming what agrees
// with the marker, storing ""), and "%<(..)" makes it optional.
//
// Results are in the state: len (characters covered), assigned (values stored),
// matched (directives matched) and done (1 when the whole pattern was used).
// Literals and blanks never count in matched. scanp returns matched, or -1 when
// the cursor is at the end of the text or the pattern is empty.
//
// Text results are cut to SCANP_TEXT_MAX characters; a plain char* target must
// hold SCANP_TEXT_SIZE bytes (or at least the longest text its directive can
// store and a terminator). Targets given as char arrays to the typed forms are
// never written past their size.
//
// Two ways to scan, with identical results:
//   scanp(&p, "%4s ", buf)                  pattern text read on every try
//   static const ScanPattern kId("%4s ");   compiled once
//   scanp(&p, kId, buf)                     typed targets, no pattern parsing
//
// Trace lines of every try are printed at message class SCANP_TRACE_CLASS when
// that class is shown. The module's one piece of state is a count of tries (every
// call of scanp or scanp_targets), which tests read through scanner_testing.h to
// bound a decoder's work.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "messages/messages.h"
#include "util/chars.h"

/// Longest text one directive stores, and the buffer that holds it.
constexpr int SCANP_TEXT_MAX = 79;
constexpr int SCANP_TEXT_SIZE = SCANP_TEXT_MAX + 1;
/// Longest missing marker; longer ones are cut.
constexpr int SCANP_MARKER_MAX = 19;
/// Message class of the trace lines every try prints when it is shown.
constexpr M_type SCANP_TRACE_CLASS = 0x80000000u;
/// What a number directive stores for its missing marker.
constexpr int SCANP_MISSING = -9999;
/// The same for a real directive.
constexpr float SCANP_MISSING_F = -9999.0f;

/// Whether `c` is a blank as a pattern blank takes it: space, tab, newline or
/// carriage return (not the vertical tab or form feed that C's isspace adds). The
/// decoders skip and end groups on the same characters.
constexpr bool scanp_blank(char c) { return zyp::is_blank(c) || c == '\n' || c == '\r'; }

namespace scanp_detail {
/// The scanner's state: read and written inline by the compiled tries.
struct ScanState {
  std::uint64_t tries = 0;  // pattern tries since the start or the last reset (scanner_testing.h)
};
/// The one instance of the scanner's state.
inline ScanState g_scan;
}  // namespace scanp_detail

/// The state of one scan over one text, owned by the caller.
struct parse_param {
  char *ptr = nullptr;  // the text (not copied: it must outlive the state)
  int length = 0;       // its length
  int off = 0;          // cursor: offset of the next character to scan
  int len = 0;          // last scanp: characters covered from off
  int assigned = 0;     // last scanp: values stored
  int matched = 0;      // last scanp: directives matched
  int done = 0;         // last scanp: 1 when the whole pattern was used
};

// ---- cursor operations -----------------------------------------------------
// Offsets are kept inside the text: a cursor moved before its start or past its
// end stops there. A null state gives 0 (or an empty text).

/// Points the state at `str` (a null text counts as empty), cursor 0. Returns 1.
int scanp_set(parse_param *param, char *str);
/// Moves the cursor past what the last scanp covered. Returns 1.
int scanp_inc(parse_param *param);
/// Moves the cursor by `off` characters. Returns 1.
int scanp_inc_off(parse_param *param, int off);
/// Puts the cursor at `off`. Returns 1.
int scanp_off(parse_param *param, int off);
/// The cursor.
int scanp_get_off(const parse_param *param);
/// The text at the cursor.
char *scanp_str(parse_param *param);
/// The character `off` positions after the cursor; '\0' outside the text. The one
/// way the decoders look ahead of the cursor (inline: they do it on every group).
inline char scanp_char(const parse_param *param, int off) {
  if (!param) return '\0';
  // An offset inside the text implies a text (scanp_set never leaves ptr null);
  // one unsigned comparison rules out both sides.
  const long long at = static_cast<long long>(param->off) + off;
  if (static_cast<unsigned long long>(at) >= static_cast<unsigned long long>(param->length))
    return '\0';
  return param->ptr[at];
}
/// Overwrites the character `off` positions after the cursor with `ch` (in place;
/// nothing is written outside the text). Returns `ch`.
char scanp_replace(parse_param *param, int off, char ch);
/// Puts the cursor at the first occurrence of `str` in the whole text. Returns 1
/// when found, 0 (cursor unchanged) when not.
int scanp_search(parse_param *param, const char *str);
/// Prints "scanp:%s:%d:%d:%d:%d\n" (text at cursor, len, done, assigned, matched)
/// to standard output. Returns 1.
int scanp_print(const parse_param *param);

// ---- scanning ------------------------------------------------------------------

/// Tries `pat` at the cursor and stores values through the pointer arguments, in
/// order: int* for d D n, float* for f F, char* for the others. Returns the number
/// of directives matched, or -1 when nothing is left to scan or `pat` is empty.
int scanp(parse_param *param, const char *pat, ...);

/// Where one directive's value goes, for the typed forms.
struct ScanTarget {
  enum class Kind : std::uint8_t { INT, FLOAT, TEXT };
  Kind kind;
  void *ptr;  // int*, float* or char buffer
  int size;   // bytes of a text buffer
};

struct ScanElement;  // one compiled pattern element (scanner.cpp)

/// A pattern compiled once, for decoders that try it on every report. Build it as
/// a function-local static beside the code that uses it.
class ScanPattern {
 public:
  /// Compiles `pattern` (up to a terminator inside it). A malformed piece
  /// compiles into an element that never matches.
  explicit ScanPattern(std::string_view pattern);
  /// Copies and moves keep the compiled elements; the pattern owns its text.
  ScanPattern(const ScanPattern &other);
  ScanPattern(ScanPattern &&other) noexcept;
  ScanPattern &operator=(const ScanPattern &other);
  ScanPattern &operator=(ScanPattern &&other) noexcept;
  ~ScanPattern();

  /// The pattern text.
  const std::string &text() const { return text_; }
  /// Number of directives: what scanp returns when all of them match.
  int directives() const { return directives_; }
  /// Number of targets the pattern takes (directives without '*').
  int arguments() const { return arguments_; }
  /// Kind of the `index`-th target (INT when out of range).
  ScanTarget::Kind argument_kind(int index) const;

  /// Settles a try at the cursor from the character there alone when it must
  /// fail: the pattern's leading optional directives (such as "%*!!(E)" or
  /// "%*(M|)") cannot take that character and the element after them cannot
  /// start with it. Then sets the results of the state exactly as the try would,
  /// stores `*result` (its return value) and returns true. Lets the most common
  /// try, a miss, cost a few instructions.
  bool settled_at_once(parse_param *param, int *result) const {
    ++scanp_detail::g_scan.tries;  // every compiled try comes through here first
    // An offset inside the text implies a text (scanp_set never leaves ptr null).
    if (first_any_ || !param ||
        static_cast<unsigned>(param->off) >= static_cast<unsigned>(param->length))
      return false;
    const auto c = static_cast<unsigned char>(param->ptr[param->off]);
    if ((first_[c >> 6] >> (c & 63)) & 1) return false;
    if (MESS_check(SCANP_TRACE_CLASS)) return false;  // the trace shows every try
    param->len = 0;
    param->assigned = 0;
    param->matched = lead_;
    param->done = 0;
    *result = lead_;
    return true;
  }

 private:
  friend int scanp_walk(parse_param *, const ScanPattern &, const ScanTarget *, int);
  std::string text_;
  std::vector<ScanElement> elements_;
  std::vector<ScanTarget::Kind> kinds_;
  int directives_ = 0;
  int arguments_ = 0;
  // Characters on which a try can go further than its leading optional
  // directives; first_any_ when that cannot be judged from one character.
  std::array<std::uint64_t, 4> first_{};
  bool first_any_ = true;
  int lead_ = 0;  // leading optional directives (matched without taking anything)
};

/// Tries a compiled pattern, storing through `targets` (`count` of them, in
/// order). A target that is missing or of the wrong kind is not written; the
/// results are those scanp gives for the same text.
int scanp_targets(parse_param *param, const ScanPattern &pat, const ScanTarget *targets, int count);
/// scanp_targets without the one-character check (which the caller has made).
int scanp_walk(parse_param *param, const ScanPattern &pat, const ScanTarget *targets, int count);
/// The same with the pattern text read on this call.
int scanp_targets(parse_param *param, const char *pat, const ScanTarget *targets, int count);

namespace scanp_detail {
/// False for any type: the static_assert of an unsupported target type.
template <class>
inline constexpr bool kAlwaysFalse = false;

/// The typed target of one argument of the typed scanp.
template <class Arg>
ScanTarget MakeTarget(Arg &&arg) {
  using T = std::remove_cvref_t<Arg>;
  if constexpr (std::is_same_v<T, ScanTarget>) {
    return arg;
  } else if constexpr (std::is_array_v<T>) {
    static_assert(std::is_same_v<std::remove_extent_t<T>, char>, "text targets are char arrays");
    return {ScanTarget::Kind::TEXT, static_cast<void *>(arg), static_cast<int>(std::extent_v<T>)};
  } else if constexpr (std::is_same_v<T, int *>) {
    return {ScanTarget::Kind::INT, static_cast<void *>(arg), 0};
  } else if constexpr (std::is_same_v<T, float *>) {
    return {ScanTarget::Kind::FLOAT, static_cast<void *>(arg), 0};
  } else if constexpr (std::is_same_v<T, char *>) {
    return {ScanTarget::Kind::TEXT, static_cast<void *>(arg), SCANP_TEXT_SIZE};
  } else {
    static_assert(kAlwaysFalse<T>, "scan targets are int*, float*, char* or char arrays");
  }
}
}  // namespace scanp_detail

/// Tries a compiled pattern with typed targets: int*, float*, char* (assumed to
/// hold SCANP_TEXT_SIZE bytes) or a char array (never written past its size).
/// Same results as scanp with the pattern text.
template <class... Args>
int scanp(parse_param *param, const ScanPattern &pat, Args &&...args) {
  if (int r; pat.settled_at_once(param, &r)) return r;
  const std::array<ScanTarget, sizeof...(Args)> targets{
      scanp_detail::MakeTarget(std::forward<Args>(args))...};
  return scanp_walk(param, pat, targets.data(), static_cast<int>(targets.size()));
}
