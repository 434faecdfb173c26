// Report line printing: one decoded report as one row of a fixed-column table,
// or the column header of that table.
//
// Line formats (print_type):
//   1 "plns"  two lines: all five cloud layers and the precipitation totals,
//             and a third line with the remarks when there are any
//   2 "pln"   one line with relative humidity and coded pressures (the initial one)
//   3 "pfull" the full report text (SFC_print_report)
//   4 "psyn"  one line, synoptic
//   5 "psimp" one line, weather in words
//   6 "pvar"  variable list (surface/print_var.h); nothing without a list
//   7 "pcsv"  CSV rows, 8 "pjson" JSON Lines (surface/print_rows.h): the
//             record's fields, or the variable list's columns when there is one
//   9 "psvg"  map: no rows; the driver draws the gathered reports as one SVG
//             document per file (surface/print_map.h)
// A missing value prints as blanks, or as a dash when miss_dash is 1.
//
// State: print_type (initially 2), miss_dash (initially 0) and the variable-list
// flag (initially 0), kept for the run. At the first call that finds the
// "variable" resource, the default variable file is opened and the list is built
// from the resource (var/var.h); it is kept for the run.
// Every line leaves in one MESS_print with the caller's message class, the full
// report text with class 15.
#pragma once

#include "messages/messages.h"
#include "surface/report.h"

/// The line format "map" (parameter word "psvg"): rows print nothing.
constexpr int SFC_PRINT_MAP = 9;

/// Selects the line format (1 to 9; other values print nothing). Returns 0.
int SFC_set_print(int type);
/// The selected line format.
int SFC_get_print();
/// Shows missing values as dashes (flag 1, the default) or blanks (0). Returns 0.
int SFC_set_miss_dash(int flag = 1);
/// 1 when missing values show as dashes, 0 for blanks.
int SFC_get_miss_dash();

/// Prints the row of `report`, or the header of the current format when `report`
/// is null, with message class `level`. Prints nothing at all when `level` is not
/// shown at the current message level. Returns 0.
int SFC_print_line(M_type level, const SFC_report *report);

// Test hooks: surface/print_testing.h.
