// Benchmarks of the map projections: MAP_tran over a grid of 10,000 points spread
// over the globe, per projection, and DOM_decode of a few domain strings. The station
// store projects every station of the database once per run, so these bound the
// cost of choosing the stations of a domain. Counts points (or strings) per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "geo/geo.h"
#include "geo/map.h"
#include "messages/messages.h"

namespace {

struct Point {
  float lat, lon;
};

std::vector<Point> grid() {
  std::vector<Point> pts;
  for (int i = 0; i < 100; ++i)
    for (int j = 0; j < 100; ++j) pts.push_back({-89.5f + 1.79f * i, -179.5f + 3.59f * j});
  return pts;
}

void BM_Tran(benchmark::State &state, const char *domain) {
  MESS_set_str("none");
  Domain d;
  DOM_decode(domain, &d);
  MAP_domain(&d);
  const std::vector<Point> pts = grid();
  for (auto _ : state) {
    int seen = 0;
    for (const Point &p : pts) {
      float x, y;
      seen += MAP_tran(p.lat, p.lon, &x, &y);
      seen += MAP_in_grid_domain(x, y);
    }
    benchmark::DoNotOptimize(seen);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pts.size()));
}

BENCHMARK_CAPTURE(BM_Tran, polar_us, "us");
BENCHMARK_CAPTURE(BM_Tran, lambert, "lc:40:-100:30:60,40,-100,1");
BENCHMARK_CAPTURE(BM_Tran, mercator, "me,20,-157");
BENCHMARK_CAPTURE(BM_Tran, orthographic, "or,40,-100");
BENCHMARK_CAPTURE(BM_Tran, mollweide, "mo,0,0");
BENCHMARK_CAPTURE(BM_Tran, satellite, "sat,0,-75");

void BM_Decode(benchmark::State &state) {
  MESS_set_str("none");
  const char *strings[] = {"us", "ps,40,-100", "lc:40:-100:30:60,40,-100,1",
                           "ps,-105,40,-100,30,20,1.5,1.0"};
  for (auto _ : state) {
    for (const char *s : strings) {
      Domain d;
      benchmark::DoNotOptimize(DOM_decode(s, &d));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 4);
}
BENCHMARK(BM_Decode);

}  // namespace

BENCHMARK_MAIN();
