// Test hooks of the files module. Not part of the module's interface.
#pragma once

/// Resets the naming state, the keys, the fixed fields and the stepping.
void FILE_reset_state();
