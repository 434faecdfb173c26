#include "util/number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "util/chars.h"

namespace zyp {
namespace {

// Blanks, then the sign. Returns the position of the first digit; `negative` tells
// the sign. from_chars takes a leading '-' itself but no '+', so both are taken here.
std::size_t SkipLead(std::string_view text, bool &negative) {
  std::size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

bool OnlySpaceFrom(std::string_view text, std::size_t i) {
  for (; i < text.size(); ++i)
    if (!is_space(text[i])) return false;
  return true;
}

}  // namespace

std::size_t read_long_prefix(std::string_view text, long &value, int base) {
  bool negative = false;
  const std::size_t start = SkipLead(text, negative);
  if (start >= text.size()) return 0;
  // The magnitude is read unsigned so that the most negative long reads too.
  unsigned long magnitude = 0;
  const char *first = text.data() + start;
  const char *last = text.data() + text.size();
  if (*first == '+' || *first == '-') return 0;  // a second sign
  const auto [end, ec] = std::from_chars(first, last, magnitude, base);
  if (ec != std::errc() || end == first) return 0;
  constexpr unsigned long kMax = static_cast<unsigned long>(std::numeric_limits<long>::max());
  if (negative) {
    if (magnitude > kMax + 1) return 0;
    value =
        magnitude == kMax + 1 ? std::numeric_limits<long>::min() : -static_cast<long>(magnitude);
  } else {
    if (magnitude > kMax) return 0;
    value = static_cast<long>(magnitude);
  }
  return static_cast<std::size_t>(end - text.data());
}

std::size_t read_double_prefix(std::string_view text, double &value) {
  bool negative = false;
  const std::size_t start = SkipLead(text, negative);
  if (start >= text.size()) return 0;
  const char *first = text.data() + start;
  const char *last = text.data() + text.size();
  // Digits or a point must come first: this also keeps out "inf", "nan" and a
  // second sign, which from_chars would take.
  if (!is_digit(*first) && *first != '.') return 0;
  double magnitude = 0;
  const auto [end, ec] = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (ec != std::errc() || end == first || !std::isfinite(magnitude)) return 0;
  value = negative ? -magnitude : magnitude;
  return static_cast<std::size_t>(end - text.data());
}

bool read_long(std::string_view text, long &value) {
  long v = 0;
  const std::size_t used = read_long_prefix(text, v);
  if (used == 0 || !OnlySpaceFrom(text, used)) return false;
  value = v;
  return true;
}

bool read_int(std::string_view text, int &value) {
  long v = 0;
  if (!read_long(text, v) || v < std::numeric_limits<int>::min() ||
      v > std::numeric_limits<int>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

bool read_double(std::string_view text, double &value) {
  double v = 0;
  const std::size_t used = read_double_prefix(text, v);
  if (used == 0 || !OnlySpaceFrom(text, used)) return false;
  value = v;
  return true;
}

bool read_float(std::string_view text, float &value) {
  double v = 0;
  if (!read_double(text, v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
  const float f = static_cast<float>(v);
  if (f == 0.0f && v != 0.0) return false;  // too small for any float but not zero
  value = f;
  return true;
}

bool read_long_exact(std::string_view text, long &value) {
  if (text.empty() || is_space(text[0])) return false;
  long v = 0;
  if (read_long_prefix(text, v) != text.size()) return false;
  value = v;
  return true;
}

bool read_double_exact(std::string_view text, double &value) {
  if (text.empty() || is_space(text[0])) return false;
  double v = 0;
  if (read_double_prefix(text, v) != text.size()) return false;
  value = v;
  return true;
}

int leading_int(std::string_view text) {
  long v = 0;
  if (read_long_prefix(text, v) == 0 || v < std::numeric_limits<int>::min() ||
      v > std::numeric_limits<int>::max())
    return 0;
  return static_cast<int>(v);
}

double leading_double(std::string_view text) {
  double v = 0;
  return read_double_prefix(text, v) ? v : 0.0;
}

}  // namespace zyp
