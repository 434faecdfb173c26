// Test hooks of the driver: its state back to the start of a run.
#pragma once

/// The initial settings.
void SFC_reset_settings();
/// No file opened yet. (The station store is the station module's: CTY_reset_state.)
void SFC_reset_parse();
