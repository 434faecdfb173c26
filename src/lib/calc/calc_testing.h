// Test hooks of the calc module.
#pragma once

/// Test hook: forgets the remembered unit pair.
void UNIT_reset_state();
