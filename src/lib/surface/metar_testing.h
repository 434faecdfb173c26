// Test hooks of the METAR decoder: its quick checks (tries skipped because the
// characters at the cursor rule them out) can be turned off, so that the tests
// show the record is the same either way.
#pragma once

/// Turns the decoder's quick checks off or on again.
void SFC_metar_set_quick_checks(bool on);
/// Restores the initial state: quick checks on.
void SFC_metar_reset_state();
