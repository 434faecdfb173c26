// Full report text: one decoded report as a labelled description in plain
// words, one value per line (line format 3, "pfull"), with the wind chill and
// heat index where they apply.
//
// Every line leaves with message class M_PRINT, whatever class the line
// printer was called with. The module keeps no state.
#pragma once

#include "messages/messages.h"
#include "surface/report.h"

/// Message class of the full report text.
constexpr M_type SFC_REPORT_CLASS = M_PRINT;

/// Prints `report` as its full text. Returns 0, or -1 for a null report (nothing
/// printed: the full text has no header).
int SFC_print_report(const SFC_report *report);
