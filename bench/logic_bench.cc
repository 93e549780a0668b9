// Wall-clock cost of the logic against the fake system (Google Benchmark).
// The fake is prepared outside the timed part; its own work (map lookups,
// copies of listings and files) is inside it, as for the instruction counts.
#include <benchmark/benchmark.h>

#include <optional>

#include "bench/scenarios.h"

namespace {

void RunBench(benchmark::State& state, Scenario scenario) {
  const int size = static_cast<int>(state.range(0));
  // A fake system runs threads of its own, so each run prepares a new one.
  std::optional<FakePlatform> os;
  std::optional<LaunchSettings> settings;
  for (auto _ : state) {
    state.PauseTiming();
    os.emplace();
    PrepareScenario(scenario, size, *os);
    settings.emplace();
    state.ResumeTiming();
    benchmark::DoNotOptimize(RunScenario(scenario, *os, *settings));
    state.PauseTiming();
    settings.reset();
    os.reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(size);
}

void BM_Typical(benchmark::State& state) { RunBench(state, Scenario::kTypical); }
void BM_Lines(benchmark::State& state) { RunBench(state, Scenario::kLines); }
void BM_Jars(benchmark::State& state) { RunBench(state, Scenario::kJars); }
void BM_Includes(benchmark::State& state) {
  RunBench(state, Scenario::kIncludes);
}
void BM_Subkeys(benchmark::State& state) { RunBench(state, Scenario::kSubkeys); }

}  // namespace

BENCHMARK(BM_Typical)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lines)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Jars)->Arg(1000)->Arg(5000)->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Includes)->Arg(10)->Arg(100)->Arg(256)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Subkeys)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
