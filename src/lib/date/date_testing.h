// Test hooks of the date module.
#pragma once

/// Test hook: restores the initial time-zone setting (UTC, 24-hour clock, "Z").
void DATE_reset_state();
