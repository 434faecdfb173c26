// Test hooks of the pattern scanner: the count of tries, by which the tests and
// the fuzz targets bound a decoder's work.
#pragma once

#include <cstdint>

#include "surface/scanner.h"

/// Pattern tries made since the last scanp_reset_tries (or the start).
inline std::uint64_t scanp_tries() { return scanp_detail::g_scan.tries; }
/// Sets the count of tries back to 0.
inline void scanp_reset_tries() { scanp_detail::g_scan.tries = 0; }
