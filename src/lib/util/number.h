// The one number reader of the library: every number taken from user input
// (resource values, command-line words, station tables, naming conventions,
// converted files) is read here, with std::from_chars underneath, so a number out
// of range is an error and never undefined behaviour.
//
// Rules, the same for every reader:
//   - leading blanks (space, tab) are skipped;
//   - an optional sign: '-' always, '+' too;
//   - decimal digits (integers), or a decimal number with an optional fraction and
//     exponent (floating point); no hexadecimal unless asked for, no "inf"/"nan";
//   - a value that does not fit the result type is refused;
//   - whole-text readers then allow only trailing white space; prefix readers stop
//     at the first character that is not part of the number and tell how many
//     characters they used.
// A refused text leaves `value` unchanged.
#pragma once

#include <cstddef>
#include <string_view>

namespace zyp {

/// Reads a whole text as a decimal integer. True when it is one and fits.
bool read_int(std::string_view text, int &value);
/// Reads a whole text as a decimal integer of type long. True when it is one and fits.
bool read_long(std::string_view text, long &value);
/// Reads a whole text as a finite decimal number. True when it is one.
bool read_double(std::string_view text, double &value);
/// Reads a whole text as a finite decimal number that fits a float (neither too
/// large nor so small that it would become zero).
bool read_float(std::string_view text, float &value);

/// Reads a text that is exactly one decimal integer, with no blank or other white
/// space before or after it. True when it is one and fits.
bool read_long_exact(std::string_view text, long &value);
/// Reads a text that is exactly one finite decimal number, with no blank or other
/// white space before or after it. True when it is one.
bool read_double_exact(std::string_view text, double &value);

/// Reads a decimal integer at the start of `text`. Returns the characters used
/// (blanks and sign included), 0 when no integer starts there or it does not fit.
std::size_t read_long_prefix(std::string_view text, long &value, int base = 10);
/// Reads a finite decimal number at the start of `text`. Returns the characters
/// used, 0 when none starts there.
std::size_t read_double_prefix(std::string_view text, double &value);

/// The number at the start of `text` as `atoi` would give it, without its undefined
/// behaviour: 0 when no integer starts there or it does not fit an int.
int leading_int(std::string_view text);
/// The number at the start of `text` as `atof` would give it: 0 when none.
double leading_double(std::string_view text);

}  // namespace zyp
