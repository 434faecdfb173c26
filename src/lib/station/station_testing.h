// Test hooks of the station module.
#pragma once

/// Test hook: releases the store and closes the station file; settings to their
/// initial values (no data area, no function, id type 0).
void CTY_reset_state();
