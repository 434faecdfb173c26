// Helpers the report decoders share (METAR in metar.cpp and metar_remarks.cpp,
// SA in sa.cpp): the tries of compiled patterns at a scanner cursor, the test of
// a group covered with what ends it, the notes, and the few conversions both
// formats make. Internal to the surface module; everything here is inline, for
// the decoders run it on every group of every report.
#pragma once

#include <utility>

#include "messages/messages.h"
#include "surface/report.h"
#include "surface/scanner.h"

namespace decoder_detail {

/// The compiled patterns of one decoder (a struct of ScanPattern members), built
/// once on first use.
template <class Patterns>
const Patterns &Pats() {
  static const Patterns patterns;
  return patterns;
}

/// Prints `text` as a note of class `cls`; nothing is formatted when the class is
/// not shown.
inline void Note(M_type cls, const char *text) {
  if (MESS_check(cls)) MESS_print(cls, "%s", text);
}

/// Whether the pattern fits at the cursor: all `count` directives the caller
/// expects matched. The cursor does not move.
template <class... Args>
inline bool Fits(parse_param &p, const ScanPattern &pat, int count, Args &&...args) {
  return scanp(&p, pat, std::forward<Args>(args)...) == count;
}

/// Fits, and then the cursor moves past what the pattern covered.
template <class... Args>
inline bool Take(parse_param &p, const ScanPattern &pat, int count, Args &&...args) {
  if (scanp(&p, pat, std::forward<Args>(args)...) != count) return false;
  scanp_inc(&p);
  return true;
}

/// Take with the whole pattern used (its closing blank included).
template <class... Args>
inline bool TakeWhole(parse_param &p, const ScanPattern &pat, int count, Args &&...args) {
  if (scanp(&p, pat, std::forward<Args>(args)...) != count || !p.done) return false;
  scanp_inc(&p);
  return true;
}

/// Whether the cursor is at the end of the text (every try fails there).
inline bool AtEnd(const parse_param &p) { return p.off >= p.length; }

/// Whether the last try covered more than `group` characters: a group of that
/// many characters and at least the blank (or separator) that ends it. A word
/// that merely starts like the group, or ends the text right after it, covers no
/// more than the group itself and is not taken.
inline bool CoveredPast(const parse_param &p, int group) { return p.len > group; }

/// A character that may stand before a report and is passed over: a blank or
/// the record separator (0x1e) of the bulletin files.
constexpr char kRecordSeparator = 0x1e;
inline bool IsLeadingFill(char c) { return scanp_blank(c) || c == kRecordSeparator; }

/// Whether a real of a record is the missing value.
inline bool IsMissing(float v) { return v == SFC_MISSING_F; }
/// Degrees Celsius to Fahrenheit; missing stays missing.
inline float CelsiusToF(float c) { return IsMissing(c) ? SFC_MISSING_F : 32.0f + 9.0f * c / 5.0f; }

}  // namespace decoder_detail
