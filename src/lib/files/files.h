// File naming conventions, file times and stepping, and file name entry.
#pragma once

#include "date/date.h"

/// Sets the requested file time (the "hour" resource): fields that are -9999 are unset.
int FILE_set_time(const Date *date);
/// The requested file time.
const Date &FILE_get_set_time();
/// Selects the naming convention by name ("sfc_dat", "@template", "none", ...).
int FILE_set_name(const char *name);

/// Test hook: forgets the requested time and the convention.
void FILE_reset_state();
