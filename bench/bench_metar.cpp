// Benchmarks of the METAR decoder over 9,406 real reports from around the world
// (tests/data/metar/awc_metars_sample.txt): decoding only, and decoding and
// printing the row of each report in the default line format (to /dev/null).
// Both count reports per second (items_per_second) on one core.
//
// For instruction counts: valgrind --tool=callgrind bench_metar
// --benchmark_filter=BM_DecodeOnly --benchmark_min_time=0.01 and divide the
// instructions of SFC_decode_METAR (inclusive) by its calls.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"

namespace {

struct Report {
  std::string text;  // as the raw reader gives it: one blank after the report
  int bulletin;
};

std::vector<Report> LoadReports() {
  std::vector<Report> out;
  std::ifstream in(SOURCE_DIR "/tests/data/metar/awc_metars_sample.txt");
  std::string line;
  std::getline(in, line);  // the cache's header line
  while (std::getline(in, line))
    if (!line.empty()) out.push_back({line + " ", SFC_raw_origin_of_id(line.substr(0, 4).c_str())});
  return out;
}

const std::vector<Report> &Reports() {
  static const std::vector<Report> reports = LoadReports();
  return reports;
}

void BM_DecodeOnly(benchmark::State &state) {
  const std::vector<Report> &reports = Reports();
  SFC_set_prhour(1800);
  MESS_set(MESS_USER_REMOVE, M_OUT4 | M_DEBUG);  // the decoder's notes off, as in a normal run
  SFC_report r;
  for (auto _ : state) {
    for (const Report &rep : reports) {
      SFC_initialize(&r);
      benchmark::DoNotOptimize(SFC_decode_METAR(rep.text.c_str(), SFC_FMT_METAR, rep.bulletin, &r));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(reports.size()));
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

// Standard output goes to /dev/null while the rows are printed.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  ~QuietStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, 1);
      close(saved_);
    }
  }
  QuietStdout(const QuietStdout &) = delete;
  QuietStdout &operator=(const QuietStdout &) = delete;

 private:
  int saved_ = -1;
};

void BM_DecodeAndPrint(benchmark::State &state) {
  const std::vector<Report> &reports = Reports();
  SFC_set_prhour(1800);
  MESS_set(MESS_USER_REMOVE, M_OUT4 | M_DEBUG);
  MESS_set(MESS_USER_ADD, M_PRINT & M_SUB_A);  // report rows
  SFC_set_print(2);
  SFC_report r;
  {
    QuietStdout quiet;
    for (auto _ : state) {
      for (const Report &rep : reports) {
        SFC_initialize(&r);
        std::memcpy(r.area, "UN", 3);
        SFC_decode_METAR(rep.text.c_str(), SFC_FMT_METAR, rep.bulletin, &r);
        SFC_print_line(M_PRINT & M_SUB_A, &r);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(reports.size()));
}
BENCHMARK(BM_DecodeAndPrint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
