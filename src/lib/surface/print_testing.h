// Test hooks of the line printers: each puts back the state a printer has when the
// program starts.
#pragma once

/// Format 2, blanks for missing values, no variable list read; calls the two
/// hooks below.
void SFC_print_reset_state();

/// The variable-list line: forgets the unit conversions and the columns.
void SFC_print_var_reset();

/// The rows for data tools: no input date, no raw column, no raw text, no list
/// names.
void SFC_rows_reset();
