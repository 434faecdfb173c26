// Checks shared by the fuzz targets of the readers of raw reports (raw hourly files,
// netCDF files of raw reports): every report keeps the limits of the report record.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "surface/raw_reader.h"
#include "surface/report.h"

namespace raw_check {

/// Aborts unless `ok`.
inline void Check(bool ok) {
  if (!ok) std::abort();
}

/// The length of a NUL-terminated text within `size` bytes; aborts when there is no
/// terminator.
inline std::size_t Terminated(const char *s, std::size_t size) {
  const void *end = std::memchr(s, '\0', size);
  Check(end != nullptr);
  return static_cast<std::size_t>(static_cast<const char *>(end) - s);
}

/// Aborts unless the report's text holds 1 to SFC_DATA_LEN characters, none of them
/// a control or high byte, its identifier is a terminated non-empty text, and its
/// format code and origin are known ones. Returns the text's length.
inline std::size_t CheckReport(const data_struct &d) {
  const std::size_t len = Terminated(d.data, sizeof d.data);
  Check(len >= 1 && len <= static_cast<std::size_t>(SFC_DATA_LEN));
  Check(Terminated(d.id, sizeof d.id) >= 1);
  Check(d.format == SFC_FMT_SA || d.format == SFC_FMT_METAR || d.format == SFC_FMT_SP ||
        d.format == SFC_FMT_SPECI);
  Check(d.bulletin == SFC_ORIGIN_US || d.bulletin == SFC_ORIGIN_CANADA ||
        d.bulletin == SFC_ORIGIN_MEXICO || d.bulletin == SFC_ORIGIN_OTHER);
  for (std::size_t i = 0; i < len; ++i) {
    const auto c = static_cast<unsigned char>(d.data[i]);
    Check(c >= ' ' && c < 128);
  }
  return len;
}

}  // namespace raw_check
