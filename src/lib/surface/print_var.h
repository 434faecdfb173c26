// The variable-list line (line format 6, "pvar"): one column per variable of the
// list that the "variable" resource names (var/var.h), each "%6.6s " unless the
// name's column says otherwise; values converted to the variable's units and
// written with its format, missing values blank (or " -" with dashes).
//
// Names (any case) and the unit each value is handed over in:
//   id, city          the identifier, "%-6.6s "
//   otime             the observation time, "  %4.4d "
//   temp dewp dewd    F           wdir deg      wspd wgst knt
//   alt in_Hg         pres ptend mb             vis mi
//   cldcl 100ft (ceiling height)  cldcv (ceiling cover as text)
//   prec1 prec3 prec6 prec12 prec24 in; prec by the hours of the variable's time
//   extt maxt maxt6 mint mint6 F  snwdp in       solar min   sst C
//   wavper sec  wavhgt m  wx saowx (weather as stored / short code)
//   txtwx (weather in words, "%s ")  rmk (remarks, "%s ")
//   nlcld lcld mcld hcld (cloud codes)  fr (flight category)
//   derived: vpres svpres mb; wchilt wchill2 heat K; wchilf W/m^2; humit F;
//   mrat smrat shum g/kg; rhum %; wetblb thetaw thetae thetav theta vtemp K.
// Any other name keeps its column with blanks (or "     - ").
//
// State: the unit conversions met so far (each pair is read from the units file
// once) and the columns of the current list (its names looked up once per list);
// the dash switch is the line printer's.
#pragma once

#include <cstddef>

#include "messages/messages.h"
#include "surface/report.h"

/// Room for one column text of SFC_set_print_str.
constexpr std::size_t SFC_PRINT_STR_SIZE = 80;
/// Bounds of a user's print format: width and precision.
constexpr int SFC_FORMAT_WIDTH_MAX = 30;
constexpr int SFC_FORMAT_PREC_MAX = 10;

/// 1 when `format` is one printf conversion of a float and nothing else: "%",
/// flags from "-+ #0", a width of at most SFC_FORMAT_WIDTH_MAX, a precision of at
/// most SFC_FORMAT_PREC_MAX, an optional "l", and one of "fFeEgG".
int SFC_float_format_ok(const char *format);

/// Writes the column text of `val` into `str` (`size` bytes): " -" with dashes or
/// "" for a missing value; else the value converted from `iunits` to `ounits`
/// (exactly as UNIT_cvt converts) when `ounits` is not empty, written with `format` when it passes
/// SFC_float_format_ok, else with "%4.0f". Returns 0.
int SFC_set_print_str(float val, const char *iunits, const char *ounits, const char *format,
                      char *str, std::size_t size);

/// Prints the variable-list row of `report`, or the two header lines (names,
/// units) when `report` is null, for the current list, with class `level`.
/// Returns 0.
int SFC_print_var(M_type level, const SFC_report *report);

/// Test hook: forgets the unit conversions and the columns (SFC_print_reset_state
/// calls it).
void SFC_print_var_reset();
