// The input layout shared by the fuzz targets that take one report text: the first
// byte picks the decoder's report kind (METAR, SPECI, SA, SP: bits 2-3), the
// bulletin origin (US, Canada, Mexico, other: bits 0-1) and the bulletin hour
// (bits 4-7, every two hours); the rest, cut at a NUL byte, is the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>

#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/sa.h"

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

/// The text of `in` as the raw reader gives it: at most SFC_DATA_LEN characters,
/// control and high bytes turned into blanks.
inline void ReaderText(const ReportInput &in, char (&text)[SFC_DATA_SIZE]) {
  const std::size_t len = std::min(in.text.size(), static_cast<std::size_t>(SFC_DATA_LEN));
  for (std::size_t i = 0; i < len; ++i) {
    const auto u = static_cast<unsigned char>(in.text[i]);
    text[i] = u >= ' ' && u < 127 ? in.text[i] : ' ';
  }
  text[len] = '\0';
}

/// Decodes `text` (ReaderText of `in`) into `report`, which the caller has
/// initialised, with the decoder of the picked report kind.
inline void DecodeReport(const ReportInput &in, const char *text, SFC_report *report) {
  if (in.sa)
    SFC_decode_SA(text, in.format, in.bulletin, report);
  else
    SFC_decode_METAR(text, in.format, in.bulletin, report);
}
