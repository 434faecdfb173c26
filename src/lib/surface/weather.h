// Weather and cloud codes: every notation of the present weather brought to the
// short weather code, the short code in English words, and the cloud layers of a
// report reduced to one cover code and height.
//
// The `weather` field of an SFC_report holds one of three notations:
//   - METAR groups as written, prefixed with '!' and joined by '_' ("!-SHRA_BR");
//   - the short weather code of SA reports ("RW-F", "ZR", "TRW+", "H", "K");
//   - a WMO present-weather number (code table 4677) in decimal, maybe followed
//     by letters ("95", "61R").
// A single blank means no weather. The short weather code is a string of letters
// (R rain, L drizzle, S snow, ZR/ZL freezing rain/drizzle, RW/SW showers, T
// thunder, TR/TRW thunderstorm, SG snow grains, IP/IPW ice pellets, IC ice
// crystals, A hail, BS blowing snow, F fog, H haze, D dust, K smoke) with '-' or
// '+' after a precipitation letter for light or heavy.
//
// These functions run for every decoded and printed report: they allocate
// nothing, read at most SFC_WEATHER_LEN characters of a weather value (so an
// unterminated field is never overrun) and write only within the named buffer
// sizes. The module keeps no state. Null pointers are tolerated: a null input
// reads as no weather, a null output is left alone.
#pragma once

#include <cstddef>

#include "surface/report.h"

/// Buffer size for a short weather code written by these functions (the longest,
/// "RW-SW-", has 6 characters).
constexpr int WX_CODE_SIZE = 8;

/// Buffer size for the English words of a weather code (the longest,
/// "moderate freezing drizzle", has 25 characters).
constexpr int WX_TEXT_SIZE = 30;

/// METAR weather ('!' form) to short weather code in `wx_str` (WX_CODE_SIZE
/// characters at least). Only the first METAR group counts; a group in the
/// vicinity (VC...) or an unknown code gives the empty text. Returns 0, or -1 with
/// nothing written when `wx_str` is null.
int WX_metar_weather(const char *wx, char *wx_str);

/// WMO present-weather number (code table 4677, 0 to 99) to short weather code in
/// `wx_str` (WX_CODE_SIZE characters at least); any number outside the table, and
/// the numbers without precipitation or obscuration, give " ". Returns 0, or -1
/// with nothing written when `wx_str` is null.
int WX_wmo_weather(int wx, char *wx_str);

/// Any `weather` value to the short weather code in `code` (of `size` bytes): a
/// value starting with a digit through WX_wmo_weather of its leading digits, one
/// starting with '!' through WX_metar_weather, any other value copied as it is
/// (at most SFC_WEATHER_LEN characters, cut to fit). Returns 0, or -1 with nothing
/// written when `code` is null or `size` is 0.
int WX_short_code(const char *str, char *code, std::size_t size);

/// Any `weather` value to English words in `out_str` (WX_TEXT_SIZE characters at
/// least). Only the head of the short code is described ("RW-F" gives "light rain
/// showers"); the result is the number of code characters the words cover, so a
/// caller may describe the rest from there. A code without words (a blank, an
/// unknown letter) gives the empty text and 0; a null `out_str` gives 0.
int WX_weather_text(const char *str, char *out_str);

/// Reduces the cloud layers of `report` to one cover code in `*cover` and the
/// height that goes with it in `*hght` (feet, SFC_MISSING_F when none): the
/// ceiling for the one-line formats. Returns -1 when the report has at most one
/// layer (that layer, or a blank cover and a missing height, is the result), 0
/// otherwise. Null outputs are skipped; a null report counts as no layers.
int WX_set_cloud(const SFC_report *report, char *cover, float *hght);
