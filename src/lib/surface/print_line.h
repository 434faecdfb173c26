// Report line printing: the line format and the dash-for-missing switch.
#pragma once

/// Selects the line format (1 to 6). Returns 0.
int SFC_set_print(int type);
/// The selected line format.
int SFC_get_print();
/// Shows missing values as dashes (1) or blanks (0). Returns 0.
int SFC_set_miss_dash(int flag);
int SFC_get_miss_dash();

/// Test hook: format 2, blanks for missing values.
void SFC_print_reset_state();
