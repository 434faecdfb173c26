// Column formatting for the report printers: a line buffer and a fast, exact
// writer of fixed-point numbers.
#include "surface/print_row.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace sfc_print {

namespace {

// Values below this, times 100, still fit a 64-bit whole number (the digits
// buffer holds them too).
constexpr double kFastLimit = 1.0e15;

constexpr double kScale[] = {1.0, 10.0, 100.0};
constexpr int kFastPrecMax = 2;

// Writes the digits of `m` with a decimal point before the last `prec` of them
// (at least one digit before the point), after an optional minus sign.
std::size_t WriteScaled(std::uint64_t m, int prec, bool negative, char *out) {
  char digits[24];
  int nd = 0;
  for (; m > UINT32_MAX; m /= 10) digits[nd++] = static_cast<char>('0' + m % 10);
  // The common, short numbers in cheaper 32-bit steps.
  auto small = static_cast<std::uint32_t>(m);
  do {
    digits[nd++] = static_cast<char>('0' + small % 10);
    small /= 10;
  } while (small != 0 || nd <= prec);
  std::size_t n = 0;
  if (negative) out[n++] = '-';
  for (int i = nd - 1; i >= prec; --i) out[n++] = digits[i];
  if (prec > 0) {
    out[n++] = '.';
    for (int i = prec - 1; i >= 0; --i) out[n++] = digits[i];
  }
  return n;
}

}  // namespace

// printf writes the exact decimal value of the double, rounded to nearest with
// ties to even (the rounding mode this program runs in). A value that is a
// single-precision number has at most 24 significant bits, so scaling it by 10 or
// 100 is exact in double precision, and rounding that product to a whole number,
// ties to even, rounds exactly as printf does; precision 0 needs no scaling.
// The sign is that of the value, so -0.04 gives "-0.0" as printf gives it.
std::size_t FormatFixed(double value, int prec, char *out) {
  if (std::isfinite(value) && prec >= 0 && prec <= kFastPrecMax && std::fabs(value) < kFastLimit &&
      (prec == 0 || static_cast<double>(static_cast<float>(value)) == value)) {
    const double scaled = std::fabs(value) * kScale[prec];
    std::uint64_t m = static_cast<std::uint64_t>(scaled);
    const double rest = scaled - static_cast<double>(m);  // exact
    if (rest > 0.5 || (rest == 0.5 && (m & 1) != 0)) ++m;
    return WriteScaled(m, prec, std::signbit(value), out);
  }
  const int n = std::snprintf(out, kFixedSize, "%.*f", prec < 0 ? 6 : prec, value);
  if (n < 0) {
    out[0] = '\0';
    return 0;
  }
  return static_cast<std::size_t>(n) < kFixedSize ? static_cast<std::size_t>(n) : kFixedSize - 1;
}

void Row::Append(const char *text, std::size_t n) {
  const std::size_t room = kCapacity - len_;
  if (n > room) n = room;
  std::memcpy(buf_ + len_, text, n);
  len_ += n;
}

void Row::Pad(char fill, std::size_t n) {
  const std::size_t room = kCapacity - len_;
  if (n > room) n = room;
  std::memset(buf_ + len_, fill, n);
  len_ += n;
}

void Row::Field(std::string_view body, int width, bool left) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  const std::size_t pad = body.size() < w ? w - body.size() : 0;
  if (!left) Pad(' ', pad);
  Append(body.data(), body.size());
  if (left) Pad(' ', pad);
}

void Row::Text(std::string_view text) { Append(text.data(), text.size()); }

void Row::Char(char c) {
  const char shown = c == '\0' ? ' ' : c;
  Append(&shown, 1);
}

void Row::Num(const Fmt<'f'> &format, double value) {
  char body[kFixedSize];
  std::size_t n = FormatFixed(value, format.prec < 0 ? 6 : format.prec, body);
  Text(format.before);
  if (format.zero && !format.left && std::isfinite(value) && static_cast<int>(n) < format.width) {
    // "%05.1f": zeros go between the sign and the digits.
    const bool sign = n > 0 && body[0] == '-';
    if (sign) Append(body, 1);
    Pad('0', static_cast<std::size_t>(format.width) - n);
    Append(body + (sign ? 1 : 0), n - (sign ? 1 : 0));
  } else {
    Field({body, n}, format.width, format.left);
  }
  Text(format.after);
}

void Row::Int(const Fmt<'d'> &format, long long value) {
  const bool negative = value < 0;
  unsigned long long m = negative ? 0ULL - static_cast<unsigned long long>(value)
                                  : static_cast<unsigned long long>(value);
  char digits[24];
  int nd = 0;
  // "%.0d" of 0 has no digits at all.
  if (!(m == 0 && format.prec == 0)) {
    do {
      digits[nd++] = static_cast<char>('0' + m % 10);
      m /= 10;
    } while (m != 0);
  }
  int min_digits = format.prec;
  // The '0' flag pads with zeros to the width, but only without a precision.
  if (format.prec < 0 && format.zero && !format.left)
    min_digits = format.width - (negative ? 1 : 0);
  char body[64];
  std::size_t n = 0;
  if (negative) body[n++] = '-';
  for (int i = nd; i < min_digits && n < sizeof body - 24; ++i) body[n++] = '0';
  for (int i = nd - 1; i >= 0; --i) body[n++] = digits[i];
  Text(format.before);
  Field({body, n}, format.width, format.left);
  Text(format.after);
}

void Row::Str(const Fmt<'s'> &format, std::string_view text) {
  if (format.prec >= 0 && text.size() > static_cast<std::size_t>(format.prec))
    text = text.substr(0, static_cast<std::size_t>(format.prec));
  Text(format.before);
  Field(text, format.width, format.left);
  Text(format.after);
}

const char *Row::c_str() {
  buf_[len_] = '\0';
  return buf_;
}

}  // namespace sfc_print
