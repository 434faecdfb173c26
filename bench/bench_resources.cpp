// Benchmark of start-up with a large resource file: 100,000 entries of their own
// names, each stored once (a look-up per entry, not a walk of the store).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/sfc_parse.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

// A scratch directory holding zyp.cfg with `entries` lines "*name_N: value_N".
std::string WriteResourceFile(int entries) {
  char tmpl[] = "/tmp/bench_resXXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  const std::string dir = tmpl;
  FILE *f = std::fopen((dir + "/zyp.cfg").c_str(), "w");
  if (!f) std::abort();
  std::fprintf(f, "*identifier: KDEN\n");
  for (int i = 0; i < entries; ++i) std::fprintf(f, "*name_%d: value_%d\n", i, i);
  std::fclose(f);
  return dir;
}

void BM_StartupWithLargeResourceFile(benchmark::State &state) {
  const int entries = static_cast<int>(state.range(0));
  const std::string dir = WriteResourceFile(entries);
  std::string arg0 = "sfcparse", arg1 = "-df", arg2 = dir;
  std::vector<char *> argv = {arg0.data(), arg1.data(), arg2.data(), nullptr};
  for (auto _ : state) {
    RES_reset_state();
    DEF_reset_state();
    MESS_reset_state();
    MESS_set_str("none");
    RES_init(3, argv.data(), SFC_res_key, SFC_res_pos);
    benchmark::DoNotOptimize(RES_get("name_0"));
  }
  state.counters["entries/s"] = benchmark::Counter(static_cast<double>(entries),
                                                   benchmark::Counter::kIsIterationInvariantRate);
  std::remove((dir + "/zyp.cfg").c_str());
  rmdir(dir.c_str());
}
BENCHMARK(BM_StartupWithLargeResourceFile)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
