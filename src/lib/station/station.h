// Station matching: the rules by which the requested identifiers (the "identifier"
// resource) are matched against report identifiers.
#pragma once

#include "util/util.h"

/// 1 when the list holds a station-selection entry ("ST=WI", "P<3", "RA<...", ...):
/// such requests are decided by the station store, so every report passes.
int CTY_ids_select(const ParsedList &ids);
/// 1 when a report with identifier `id` is wanted: always for an empty list or a list
/// with a selection entry, else when an entry equals `id` (any case).
int CTY_ids_cmp(const ParsedList &ids, const char *id);
