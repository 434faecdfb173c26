// Benchmarks of the station store: filling it from the shipped station database
// (share/sao.cty, every station, one data area of a gathering slot each), with the
// heap it takes, and looking up stations by report identifier.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>
#include <vector>

#include "driver/sfc_parse.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "station/station.h"
#include "station/station_testing.h"

namespace {

constexpr const char *kDatabase = SOURCE_DIR "/share/sao.cty";

void Quiet() {
  static bool done = false;
  if (!done) {
    MESS_set_str("none");
    done = true;
  }
}

int FillAll() {
  CTY_reset_state();
  RES_reset_state();
  CTY_data_size(static_cast<int>(sizeof(SFC_slot)));
  CTY_enter_func(SFC_parse_enter_func);
  CTY_store(kDatabase, 1, nullptr, -9999);
  return CTY_store_count();
}

// Filling the store from the whole database: stations per second, and the heap the
// store holds once filled (bytes, and bytes per station).
void BM_FillStore(benchmark::State &state) {
  Quiet();
  int stations = 0;
  for (auto _ : state) stations = FillAll();
  CTY_reset_state();
  const size_t before = mallinfo2().uordblks;
  FillAll();
  const size_t after = mallinfo2().uordblks;
  state.counters["stations"] = stations;
  state.counters["store_bytes"] = static_cast<double>(after - before);
  state.counters["bytes_per_station"] = static_cast<double>(after - before) / stations;
  state.SetItemsProcessed(state.iterations() * stations);
  CTY_reset_state();
}
BENCHMARK(BM_FillStore)->Unit(benchmark::kMillisecond);

// One look-up per report: the identifiers of every stored station, and as many
// that are in no station's slot.
void BM_GetData(benchmark::State &state) {
  Quiet();
  FillAll();
  std::vector<std::string> ids;
  for (void *a = CTY_next_data(0); a; a = CTY_next_data(1)) {
    const auto *slot = static_cast<const SFC_slot *>(a);
    ids.push_back(slot->station);
    ids.push_back(std::string(slot->station) + "X");
  }
  for (auto _ : state)
    for (const std::string &id : ids) benchmark::DoNotOptimize(CTY_get_data(id.c_str()));
  state.SetItemsProcessed(state.iterations() * static_cast<long>(ids.size()));
  CTY_reset_state();
}
BENCHMARK(BM_GetData);

}  // namespace

BENCHMARK_MAIN();
