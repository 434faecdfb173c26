// Fuzz target bounding the decoders' work: no report text may cost more than
// SFC_TRIES_PER_CHAR pattern tries per character (plus SFC_TRIES_BASE).
//
// Input: one report text (report_input.h). The scanner counts every try (scanp_tries); the count of one decode is checked
// against the budget for the text's length. Real reports cost well under one
// try per character on average and under four at worst.
// Seeds: real reports (fuzz/corpus/budget, from tests/data/metar and tests/data/sa).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/sa.h"
#include "surface/scanner.h"
#include "surface/scanner_testing.h"
#include "report_input.h"

namespace {

using Decoder = int (*)(const char *, int, int, SFC_report *);

// The decoders build their tables on their first call; those tries belong to
// no report.
void WarmUp() {
  static bool done = false;
  if (done) return;
  SFC_report r;
  SFC_initialize(&r);
  SFC_decode_METAR("KDEN 010000Z 36010KT 10SM CLR 10/M01 A3000 RMK AO2 ", SFC_FMT_METAR,
                   SFC_ORIGIN_US, &r);
  SFC_initialize(&r);
  SFC_decode_SA("DEN SA 0000 CLR 10 131/55/32/3610/001 ", SFC_FMT_SA, SFC_ORIGIN_US, &r);
  done = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0 || size > 1000) return 0;
  WarmUp();
  const ReportInput in = PickReport(data, size);
  const Decoder decode = in.sa ? SFC_decode_SA : SFC_decode_METAR;
  const std::size_t n = in.text.size();
  // A heap block of exactly the text, so that any read past it is caught.
  auto text = std::make_unique<char[]>(n + 1);
  std::memcpy(text.get(), in.text.c_str(), n + 1);

  SFC_report r;
  SFC_initialize(&r);
  scanp_reset_tries();
  decode(text.get(), in.format, in.bulletin, &r);
  const std::uint64_t tries = scanp_tries();
  const std::uint64_t budget = static_cast<std::uint64_t>(SFC_TRIES_PER_CHAR) * n + SFC_TRIES_BASE;
  if (tries > budget) {
    std::fprintf(stderr, "%llu tries for %zu characters (budget %llu)\n",
                 static_cast<unsigned long long>(tries), n,
                 static_cast<unsigned long long>(budget));
    std::abort();
  }
  return 0;
}
