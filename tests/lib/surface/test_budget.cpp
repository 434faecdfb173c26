// The decoders' bound of work (SFC_TRIES_PER_CHAR, SFC_TRIES_BASE) over every
// report of the real bulletins: the bundled sample hour and tests/data/bulletins.
// fuzz_budget checks the same bound on arbitrary texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "messages/messages.h"
#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/sa.h"
#include "surface/scanner.h"
#include "surface/scanner_testing.h"
#include "test_metar_harness.h"

namespace {

class DecodeBudget : public metar_test::FreshState {};

// Purpose: no real report costs more tries than the budget for its length, and
// the whole of them stays near one try per character.
TEST_F(DecodeBudget, RealReports) {
  // The decoders build their tables on the first call; those tries are no report's.
  SFC_report warm;
  SFC_initialize(&warm);
  SFC_decode_METAR("KDEN 010000Z RMK AO2 ", SFC_FMT_METAR, SFC_ORIGIN_US, &warm);
  SFC_decode_SA("DEN SA 0000 CLR ", SFC_FMT_SA, SFC_ORIGIN_US, &warm);

  std::uint64_t reports = 0, chars = 0, tries = 0;
  for (const char *file :
       {"share/20010600_sao.wmo", "tests/data/bulletins/pyiem_collective.txt",
        "tests/data/bulletins/pywwa_METAR.txt", "tests/data/bulletins/pyiem_sa.txt",
        "tests/data/bulletins/metpx_SACN74_CWAO_051100.txt"}) {
    FILE *f = std::fopen((std::string(SOURCE_DIR "/") + file).c_str(), "rb");
    ASSERT_NE(f, nullptr) << file;
    SFC_raw_new_file();
    data_struct d{};
    for (;;) {
      const int r = SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin);
      if (r == SFC_RAW_NONE) break;
      SFC_report rep;
      SFC_initialize(&rep);
      scanp_reset_tries();
      if (d.format == SFC_FMT_SA || d.format == SFC_FMT_SP)
        SFC_decode_SA(d.data, d.format, d.bulletin, &rep);
      else
        SFC_decode_METAR(d.data, d.format, d.bulletin, &rep);
      const std::uint64_t n = std::strlen(d.data);
      EXPECT_LE(scanp_tries(), SFC_TRIES_PER_CHAR * n + SFC_TRIES_BASE) << d.data;
      ++reports;
      chars += n;
      tries += scanp_tries();
      if (r == SFC_RAW_LAST) break;
    }
    std::fclose(f);
  }
  EXPECT_GT(reports, 21000u);
  EXPECT_LT(tries, chars);
}

}  // namespace
