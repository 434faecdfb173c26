// Test hooks of the SA decoder: its table of main groups (pressure,
// temperature, dew point, wind, altimeter), row by row.
#pragma once

/// Number of rows of the table of main groups (pressure, temperature, dew
/// point, wind, altimeter).
int SFC_SA_body_rows();
/// Pattern text of row `row` ("" outside the table).
const char *SFC_SA_body_pattern(int row);
/// Directive count row `row` must give to be taken (-1 outside the table).
int SFC_SA_body_count(int row);
/// Number of values row `row` stores through its targets (-1 outside the table).
int SFC_SA_body_values(int row);
/// The row of the table that the text `group` fits at its start for bulletin
/// origin `bulletin`, or -1 when none does.
int SFC_SA_body_row(const char *group, int bulletin);
