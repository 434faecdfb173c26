// The input layout shared by the fuzz targets that take one report text: the first
// byte picks the decoder's report kind (METAR, SPECI, SA, SP: bits 2-3), the
// bulletin origin (US, Canada, Mexico, other: bits 0-1) and the bulletin hour
// (bits 4-7, every two hours); the rest, cut at a NUL byte, is the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "surface/raw_reader.h"
#include "surface/report.h"

struct ReportInput {
  int format;
  int bulletin;
  bool sa;           // SA or SP: the SA decoder
  std::string text;  // up to the first NUL byte
};

/// Splits a non-empty input and sets the bulletin hour (SFC_set_prhour).
inline ReportInput PickReport(const std::uint8_t *data, std::size_t size) {
  static const int kOrigins[] = {SFC_ORIGIN_US, SFC_ORIGIN_CANADA, SFC_ORIGIN_MEXICO,
                                 SFC_ORIGIN_OTHER};
  static const int kFormats[] = {SFC_FMT_METAR, SFC_FMT_SPECI, SFC_FMT_SA, SFC_FMT_SP};
  const unsigned pick = data[0];
  ReportInput in;
  in.bulletin = kOrigins[pick & 3];
  in.format = kFormats[(pick >> 2) & 3];
  in.sa = in.format == SFC_FMT_SA || in.format == SFC_FMT_SP;
  SFC_set_prhour(static_cast<int>((pick >> 4) % 12) * 200);
  const char *body = reinterpret_cast<const char *>(data + 1);
  in.text.assign(body, strnlen(body, size - 1));
  return in;
}
