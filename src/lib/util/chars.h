// Character classes of the texts the system reads: bulletins, resource files,
// station tables. Every class is decided on the byte alone, in the C locale, so a
// byte with the high bit is never a letter, a digit or a blank.
//
// Two kinds of "blank" are told apart on purpose:
//   is_blank  a blank inside a line: space or tab;
//   is_space  any white space, line ends included: space, \t, \n, \v, \f, \r.
#pragma once

namespace zyp {

/// '0' to '9'.
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
/// 'A' to 'Z'.
constexpr bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
/// 'a' to 'z'.
constexpr bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
/// A letter of either case.
constexpr bool is_alpha(char c) { return is_upper(c) || is_lower(c); }
/// A letter or a digit.
constexpr bool is_alnum(char c) { return is_alpha(c) || is_digit(c); }
/// A hexadecimal digit: '0' to '9', 'a' to 'f', 'A' to 'F'.
constexpr bool is_xdigit(char c) {
  return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
/// A blank inside a line: space or tab.
constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }
/// Any white space: space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
/// A control byte (below the space, or DEL).
constexpr bool is_control(char c) {
  return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7f;
}

}  // namespace zyp
