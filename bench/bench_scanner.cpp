// Benchmarks of the pattern scanner: a try that misses at once (the most common
// case in a decoder), a wind ladder, and a decoder-like walk over real reports,
// each with compiled patterns and with pattern texts.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "surface/scanner.h"

namespace {

std::vector<std::string> LoadReports() {
  std::vector<std::string> lines;
  std::ifstream in(SOURCE_DIR "/tests/data/scanner/reports.txt");
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line + " ");
  return lines;
}

const std::vector<std::string> &Reports() {
  static const std::vector<std::string> reports = LoadReports();
  return reports;
}

// Groups a METAR decoder tries at every position, roughly in its order.
const char *const kLadder[] = {
    "%*(CALM) ",
    "%*!!(E)%*(VRB)%2d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*(VRB)%3d%!!(KTS|KT|MPS|KMH) ",
    "%*(VRB)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%3d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%3d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%2!//!d%!!(KTS|KT|MPS|KMH) ",
    "%*(CAVOK) ",
    "%3d%*(V)%3d ",
    "%*(M|)%<3d%(SM|NM|KM) ",
    "%*(M|)%1d/%<2d%(SM|NM) ",
    "%*(M|)%1d %1d/%<2d%(SM|NM) ",
    "%4d%*[/A] ",
    "%4d ",
    "%[/A-+] ",
    "%*(SKC|CLR) ",
    "%1d%2[/A]%3d ",
    "VV%3!///!d ",
    "%3[/A]%3!///!d ",
    "%!!(M)%<3!XX!f/%!!(M)%<3!XX!f ",
    "%(A|Q)%4f ",
    "SLP%d ",
    "T%4d%4d ",
    "%(AO1|AO2A|AO2) ",
};
constexpr int kLadderSize = static_cast<int>(sizeof kLadder / sizeof kLadder[0]);

struct Values {
  int i[8];
  float f[8];
  char t[8][SCANP_TEXT_SIZE];
};

struct Ladder {
  std::vector<ScanPattern> compiled;
  std::vector<std::vector<ScanTarget>> targets;
};

const Ladder &GetLadder(Values &v) {
  static const Ladder ladder = [&v] {
    Ladder l;
    for (const char *pat : kLadder) {
      l.compiled.emplace_back(pat);
      const ScanPattern &c = l.compiled.back();
      std::vector<ScanTarget> t;
      for (int a = 0; a < c.arguments(); ++a) {
        switch (c.argument_kind(a)) {
          case ScanTarget::Kind::INT: t.push_back({ScanTarget::Kind::INT, &v.i[a], 0}); break;
          case ScanTarget::Kind::FLOAT: t.push_back({ScanTarget::Kind::FLOAT, &v.f[a], 0}); break;
          case ScanTarget::Kind::TEXT:
            t.push_back({ScanTarget::Kind::TEXT, v.t[a], SCANP_TEXT_SIZE});
            break;
        }
      }
      l.targets.push_back(std::move(t));
    }
    return l;
  }();
  return ladder;
}

Values g_values;

// One try of ladder entry `k` with its compiled pattern.
int TryCompiled(parse_param *p, int k) {
  const Ladder &l = GetLadder(g_values);
  const auto &t = l.targets[static_cast<std::size_t>(k)];
  return scanp_targets(p, l.compiled[static_cast<std::size_t>(k)], t.data(),
                       static_cast<int>(t.size()));
}

// The same try with the pattern text read on every call.
int TryText(parse_param *p, int k) {
  const Ladder &l = GetLadder(g_values);
  const auto &t = l.targets[static_cast<std::size_t>(k)];
  return scanp_targets(p, kLadder[k], t.data(), static_cast<int>(t.size()));
}

// Walks a report: at each word, the first ladder entry that matches all its
// directives is taken; otherwise the word is skipped.
template <int (*Try)(parse_param *, int)>
long WalkReport(std::string &report) {
  static const ScanPattern kWord("%s ");
  parse_param p;
  scanp_set(&p, report.data());
  long tries = 0;
  while (scanp_get_off(&p) < p.length) {
    bool taken = false;
    for (int k = 0; k < kLadderSize && !taken; ++k) {
      ++tries;
      const int r = Try(&p, k);
      if (r > 0 && r == p.matched && p.done) {
        scanp_inc(&p);
        taken = true;
      }
    }
    if (!taken) {
      if (scanp(&p, kWord, g_values.t[0]) < 1) break;
      scanp_inc(&p);
    }
  }
  return tries;
}

void BM_MissCompiled(benchmark::State &state) {
  static const ScanPattern kCalm("%*(CALM) ");
  char text[] = "27015G25KT 10SM";
  parse_param p;
  scanp_set(&p, text);
  for (auto _ : state) benchmark::DoNotOptimize(scanp(&p, kCalm));
}
BENCHMARK(BM_MissCompiled);

void BM_MissText(benchmark::State &state) {
  char text[] = "27015G25KT 10SM";
  parse_param p;
  scanp_set(&p, text);
  for (auto _ : state) benchmark::DoNotOptimize(scanp(&p, "%*(CALM) "));
}
BENCHMARK(BM_MissText);

void BM_WindCompiled(benchmark::State &state) {
  static const ScanPattern kWind("%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ");
  char text[] = "27015G25KT 10SM";
  parse_param p;
  scanp_set(&p, text);
  int dir = 0, spd = 0, gust = 0;
  char unit[SCANP_TEXT_SIZE];
  for (auto _ : state) benchmark::DoNotOptimize(scanp(&p, kWind, &dir, &spd, &gust, unit));
}
BENCHMARK(BM_WindCompiled);

void BM_WindText(benchmark::State &state) {
  char text[] = "27015G25KT 10SM";
  parse_param p;
  scanp_set(&p, text);
  int dir = 0, spd = 0, gust = 0;
  char unit[SCANP_TEXT_SIZE];
  for (auto _ : state)
    benchmark::DoNotOptimize(
        scanp(&p, "%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ", &dir, &spd, &gust, unit));
}
BENCHMARK(BM_WindText);

template <int (*Try)(parse_param *, int)>
void BM_Reports(benchmark::State &state) {
  std::vector<std::string> reports = Reports();
  long tries = 0, reports_done = 0;
  for (auto _ : state) {
    for (std::string &r : reports) tries += WalkReport<Try>(r);
    reports_done += static_cast<long>(reports.size());
  }
  state.counters["tries/report"] =
      benchmark::Counter(static_cast<double>(tries) / static_cast<double>(reports_done));
  state.counters["reports"] =
      benchmark::Counter(static_cast<double>(reports_done), benchmark::Counter::kIsRate);
  state.counters["tries"] =
      benchmark::Counter(static_cast<double>(tries), benchmark::Counter::kIsRate);
}
BENCHMARK_TEMPLATE(BM_Reports, TryCompiled);

BENCHMARK_TEMPLATE(BM_Reports, TryText);

}  // namespace

BENCHMARK_MAIN();
