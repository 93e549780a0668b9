// Wall-clock cost of the logic against the fake system (Google Benchmark).
// The fake is prepared outside the timed part; its own work (map lookups,
// copies of listings and files) is inside it, as for the instruction counts.
#include <benchmark/benchmark.h>

#include "bench/scenarios.h"

namespace {

void RunBench(benchmark::State& state, Scenario scenario) {
  const int size = static_cast<int>(state.range(0));
  FakePlatform prepared;
  PrepareScenario(scenario, size, prepared);
  for (auto _ : state) {
    state.PauseTiming();
    FakePlatform* os = new FakePlatform(prepared);
    LaunchSettings* settings = new LaunchSettings;
    state.ResumeTiming();
    benchmark::DoNotOptimize(RunScenario(scenario, *os, *settings));
    state.PauseTiming();
    delete settings;
    delete os;
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
