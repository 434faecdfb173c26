// Tidied raw report text: a report's raw text with its blanks squeezed, wrapped at
// blanks to the width of a terminal. The first line holds at most
// SFC_NICE_FIRST_WIDTH characters; every further line is indented by five blanks
// and holds at most SFC_NICE_NEXT_WIDTH characters.
//
// The module keeps no state. Output goes through MESS_print with the caller's class.
#pragma once

#include "messages/messages.h"

/// A text of at most this many characters (after squeezing) prints on one line.
constexpr int SFC_NICE_WHOLE_MAX = 74;
/// Longest first line of a wrapped text.
constexpr int SFC_NICE_FIRST_WIDTH = 75;
/// Longest text of a continuation line (after its five blanks of indent).
constexpr int SFC_NICE_NEXT_WIDTH = 70;

/// Prints `string` squeezed and wrapped with message class `mess`; the caller's
/// text is not changed. A null text prints nothing. Returns 0.
int SFC_print_nice(M_type mess, const char *string);
