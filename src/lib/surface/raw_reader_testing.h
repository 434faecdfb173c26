// The raw bulletin reader's test hooks, and the internals that tests and benchmarks
// use to give reports the values the reader would give them.
#pragma once

/// Restores the initial state of the reader (as SFC_raw_new_file).
void SFC_raw_reset_state();

/// The format announced inside the current bulletin: SFC_FMT_METAR after a lone
/// "METAR" line, SFC_FMT_SPECI after a lone "SPECI", 0 after a heading, 1 before
/// either.
int SFC_get_pr_type();

/// The origin the reader gives a METAR or SPECI of a bulletin of origin "other", by
/// its identifier (NUL-terminated): SFC_ORIGIN_US for "K..." and the United States'
/// islands, SFC_ORIGIN_CANADA for "C...", else SFC_ORIGIN_OTHER (also for null).
int SFC_raw_origin_of_id(const char *id);
