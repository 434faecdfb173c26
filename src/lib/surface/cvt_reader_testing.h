// Test hook of the converted-file reader.
#pragma once

/// Closes any open file and forgets everything, as at the program's start.
void SFC_cvt_reset_state();
