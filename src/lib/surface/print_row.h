// Building one printed line of a report in a local buffer, column by column.
//
// The report printers format every column with a printf-style format of one
// conversion ("%5.1f  ", "%-6.6s ", "%4.4d "), checked when the program is
// compiled, and send the finished line out in one message. The numbers are
// written by a fast path that gives exactly what printf gives for the same
// format; whatever that path does not cover (very large values, infinities,
// precisions above 2 for values that are not single precision) goes through
// snprintf itself.
//
// A line holds at most Row::kCapacity characters; anything beyond is dropped,
// never written past the buffer. The module keeps no state.
#pragma once

#include <cstddef>
#include <string_view>

#include "util/chars.h"

// The formats are parsed by an immediate (consteval) constructor, so that a bad
// format stops the build. Clang 14 (which builds the fuzz targets) miscompiles
// such constructors when the format is a temporary argument (the widths and
// precisions come out as garbage); it gets a constexpr constructor, the same
// parsing, checked all the same by every build made with g++.
#if defined(__clang__) && __clang_major__ < 16
#define SFC_PRINT_FMT_CTOR constexpr
#else
#define SFC_PRINT_FMT_CTOR consteval
#endif

namespace sfc_print {

/// One printf-style format with a single conversion `Conv` ('f', 'd' or 's'):
/// the text before it, the flags '-' and '0', the width and the precision, and
/// the text after it. Made from a string literal at compile time; a format that
/// does not fit (another conversion, a second '%') does not compile.
template <char Conv>
struct Fmt {
  std::string_view before;
  std::string_view after;
  bool left = false;  // '-': pad on the right
  bool zero = false;  // '0': pad numbers with zeros
  int width = 0;
  int prec = -1;  // -1: none given

  SFC_PRINT_FMT_CTOR Fmt(const char *format) {
    const std::string_view f(format);
    const std::size_t pct = f.find('%');
    if (pct == std::string_view::npos) throw "format without a conversion";
    before = f.substr(0, pct);
    std::size_t i = pct + 1;
    for (; i < f.size() && (f[i] == '-' || f[i] == '0'); ++i) {
      if (f[i] == '-')
        left = true;
      else
        zero = true;
    }
    for (; i < f.size() && zyp::is_digit(f[i]); ++i) width = width * 10 + (f[i] - '0');
    if (i < f.size() && f[i] == '.') {
      prec = 0;
      for (++i; i < f.size() && zyp::is_digit(f[i]); ++i) prec = prec * 10 + (f[i] - '0');
    }
    if (i >= f.size() || f[i] != Conv) throw "format with another conversion";
    after = f.substr(i + 1);
    if (after.find('%') != std::string_view::npos) throw "format with a second conversion";
  }
};

/// One line of output being built.
class Row {
 public:
  /// Longest line kept.
  static constexpr std::size_t kCapacity = 1024;

  /// Appends `text` as it is.
  void Text(std::string_view text);
  /// Appends one character as "%c" would; a NUL code byte shows as a blank, so
  /// that it cannot cut the line short.
  void Char(char c);
  /// Appends `value` with a "%W.Pf" format.
  void Num(const Fmt<'f'> &format, double value);
  /// Appends `value` with a "%W.Pd" or "%0Wd" format.
  void Int(const Fmt<'d'> &format, long long value);
  /// Appends `text` with a "%W.Ps" or "%-W.Ps" format.
  void Str(const Fmt<'s'> &format, std::string_view text);

  /// The line so far, NUL-terminated.
  const char *c_str();
  /// The line so far.
  std::string_view view() const { return {buf_, len_}; }
  /// Empties the line.
  void Clear() { len_ = 0; }

 private:
  void Append(const char *text, std::size_t n);
  void Pad(char fill, std::size_t n);
  // Appends `body` (a formatted number or text) padded to `width`.
  void Field(std::string_view body, int width, bool left);

  char buf_[kCapacity + 1];
  std::size_t len_ = 0;
};

/// Room for any double written with "%.2f" (309 digits before the point).
constexpr std::size_t kFixedSize = 352;

/// Writes `value` with "%.<prec>f" into `out` (kFixedSize bytes) exactly as printf
/// does, without width or padding, cut to fit; returns the length. Exposed for the
/// unit tests of the fast path.
std::size_t FormatFixed(double value, int prec, char *out);

}  // namespace sfc_print
