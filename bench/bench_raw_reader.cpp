// Benchmarks of the raw bulletin reader: SFC_read_raw over a large raw hourly file,
// alone (cutting only) and with every report decoded (cutting and decoding).
//
// The file is made once per run from a real hourly file (the whole 00Z hour of
// 6 January 2020, about 20,700 reports), repeated until it holds at least
// kMinReports reports. The source file is taken from the environment variable
// SFC_BENCH_HOURLY, else from the shared data directory, else the slice kept
// with the unit tests is used.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "messages/messages.h"
#include "surface/raw_reader.h"
#include "surface/report.h"

namespace {

constexpr long kMinReports = 100000;
constexpr const char *kSharedHourly = SOURCE_DIR "/share/20010600_sao.wmo";
constexpr const char *kSlice = SOURCE_DIR "/tests/data/bulletins/2020010600_sao_slice.wmo";

bool Exists(const char *path) {
  struct stat st;
  return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::string Slurp(const char *path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Reads every report of `f` from its start, decoding each one as the program
// does when `decode` is set; returns the number of reports.
long ReadAll(FILE *f, bool decode = false) {
  std::rewind(f);
  SFC_raw_new_file();
  data_struct d;
  SFC_report report;
  long n = 0;
  for (;;) {
    int r = SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin);
    if (r == SFC_RAW_NONE) break;
    ++n;
    benchmark::DoNotOptimize(d);
    if (decode) {
      SFC_decode_raw(d, &report);
      benchmark::DoNotOptimize(report);
    }
    if (r == SFC_RAW_LAST) break;
  }
  return n;
}

// The large file: the source repeated until it holds kMinReports reports.
struct BigFile {
  std::string bytes;
  long reports = 0;
  std::string source;

  BigFile() {
    const char *env = std::getenv("SFC_BENCH_HOURLY");
    source = Exists(env) ? env : Exists(kSharedHourly) ? kSharedHourly : kSlice;
    std::string one = Slurp(source.c_str());
    FILE *f = fmemopen(one.data(), one.size(), "r");
    long per_copy = f ? ReadAll(f) : 0;
    if (f) std::fclose(f);
    if (per_copy == 0) return;
    long copies = (kMinReports + per_copy - 1) / per_copy;
    for (long i = 0; i < copies; ++i) bytes += one;
    reports = per_copy * copies;
  }
};

const BigFile &Big() {
  static const BigFile big;
  return big;
}

void SetCounters(benchmark::State &state, long reports, size_t bytes) {
  auto iters = static_cast<double>(state.iterations());
  state.counters["reports/s"] =
      benchmark::Counter(static_cast<double>(reports) * iters, benchmark::Counter::kIsRate);
  state.counters["MB/s"] =
      benchmark::Counter(static_cast<double>(bytes) * iters / 1e6, benchmark::Counter::kIsRate);
  state.counters["reports"] = static_cast<double>(reports);
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.SetItemsProcessed(static_cast<int64_t>(reports) * state.iterations());
}

// The large file written to a temporary file on disk, or null (the benchmark
// then skips with the reason).
FILE *DiskCopy(benchmark::State &state, const BigFile &big) {
  FILE *f = std::tmpfile();
  if (!f) {
    state.SkipWithError("no temporary file");
    return nullptr;
  }
  std::fwrite(big.bytes.data(), 1, big.bytes.size(), f);
  std::fflush(f);
  return f;
}

// Reading from a file on disk (in the page cache after the first pass), the way
// the driver reads an hourly file.
void BM_ReadRawFile(benchmark::State &state) {
  const BigFile &big = Big();
  if (big.reports == 0) {
    state.SkipWithError("no bulletin file to read");
    return;
  }
  FILE *f = DiskCopy(state, big);
  if (!f) return;
  long n = 0;
  for (auto _ : state) n = ReadAll(f);
  std::fclose(f);
  if (n != big.reports) state.SkipWithError("report count differs between passes");
  state.SetLabel(big.source);
  SetCounters(state, n, big.bytes.size());
}
BENCHMARK(BM_ReadRawFile)->Unit(benchmark::kMillisecond);

// Reading from memory: the reader's own cost without the file system.
void BM_ReadRawMemory(benchmark::State &state) {
  const BigFile &big = Big();
  if (big.reports == 0) {
    state.SkipWithError("no bulletin file to read");
    return;
  }
  std::string bytes = big.bytes;
  FILE *f = fmemopen(bytes.data(), bytes.size(), "r");
  if (!f) {
    state.SkipWithError("fmemopen failed");
    return;
  }
  long n = 0;
  for (auto _ : state) n = ReadAll(f);
  std::fclose(f);
  SetCounters(state, n, bytes.size());
}
BENCHMARK(BM_ReadRawMemory)->Unit(benchmark::kMillisecond);

// Cutting and decoding, from a file on disk: the main job without its printing.
void BM_CutAndDecode(benchmark::State &state) {
  const BigFile &big = Big();
  if (big.reports == 0) {
    state.SkipWithError("no bulletin file to read");
    return;
  }
  MESS_set(MESS_USER_REMOVE, M_OUT4 | M_DEBUG);  // the decoders' notes off, as in a normal run
  FILE *f = DiskCopy(state, big);
  if (!f) return;
  long n = 0;
  for (auto _ : state) n = ReadAll(f, true);
  std::fclose(f);
  SetCounters(state, n, big.bytes.size());
}
BENCHMARK(BM_CutAndDecode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
