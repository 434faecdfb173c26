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
#include <string_view>

#include "messages/messages.h"
#include "surface/report.h"
#include "var/var.h"

/// Room for one column text of SFC_set_print_str.
constexpr std::size_t SFC_PRINT_STR_SIZE = 80;
/// Widest width of a user's print format.
constexpr int SFC_FORMAT_WIDTH_MAX = 30;
/// Largest precision of a user's print format.
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

/// What one variable of the list gives for a report, before any printer writes it.
enum SFC_cell_kind : int {
  SFC_CELL_NUMBER,   // `value` held in `unit` (SFC_MISSING_F when missing)
  SFC_CELL_TEXT,     // `text`, cut to the column in format 6
  SFC_CELL_WHOLE,    // `text`, printed whole in format 6 (weather in words, remarks)
  SFC_CELL_ID,       // `text`: the identifier
  SFC_CELL_TIME,     // `time`: the observation time HHMM (SFC_MISSING when missing)
  SFC_CELL_UNKNOWN,  // a name the line does not know: always blank
};
/// One variable's cell: its kind and the member that kind names.
struct SFC_var_cell {
  SFC_cell_kind kind = SFC_CELL_UNKNOWN;
  float value = SFC_MISSING_F;
  const char *unit = "";
  std::string_view text;
  int time = SFC_MISSING;
  bool blank = false;  // a text that stands for no value ("M", the cover of no ceiling)
};
/// What SFC_var_cells calls for each variable.
using SFC_var_visit = void (*)(void *ctx, const VAR_data &var, const SFC_var_cell &cell);

/// Calls `visit(ctx, var, cell)` for every variable of the current list, in list
/// order, with what it gives for `report` (values not yet converted to the
/// variable's units). A cell's text lives until `visit` returns.
void SFC_var_cells(const SFC_report &report, SFC_var_visit visit, void *ctx);

/// `val` converted from `iunits` to `ounits` (none: unchanged) into `*out`, as the
/// variable-list line converts it. Returns 1, or 0 when the units file cannot be
/// read (`*out` is then 0, what format 6 prints).
int SFC_var_convert(float val, const char *iunits, const char *ounits, float *out);
