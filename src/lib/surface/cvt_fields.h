// Field rules shared by the readers of every converted-file form (text and netCDF).
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "surface/report.h"

namespace sfc_cvt {

/// The cover codes a cloud layer may carry (a blank is no layer).
constexpr const char *kCoverCodes = "CFSBOX0123456789sbox";

/// True for a cover code of a layer.
inline bool IsCover(char c) { return c != '\0' && std::strchr(kCoverCodes, c) != nullptr; }

/// Copies `text` into a text field of the record, cut to fit, terminated.
template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text) {
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

/// Where an extreme temperature of unknown kind goes: the maximum in the evening and
/// night hours of the file (before 10 or after 21 UTC; also for an unknown hour),
/// the minimum otherwise.
inline void PlaceExtreme(SFC_report &r, int hour, float value) {
  if (hour < 10 || hour > 21)
    r.max_t = value;
  else
    r.min_t = value;
}

}  // namespace sfc_cvt
