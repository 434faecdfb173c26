// Test hooks of the var module.
#pragma once

/// Test hook: no list, no variable file, no table, the table not yet read.
void VAR_reset_state();
