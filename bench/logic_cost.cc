// Runs one scenario once, for counting its instructions with callgrind:
//   valgrind --tool=callgrind --toggle-collect=MeasuredRun logic_cost jars 5000
// Only MeasuredRun (the logic, with the fake system it calls) is counted; the
// preparation of the fake and the teardown are not.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/scenarios.h"

extern "C" __attribute__((noinline)) std::size_t MeasuredRun(
    Scenario scenario, FakePlatform* os, LaunchSettings* settings) {
  return RunScenario(scenario, *os, *settings);
}

int main(int argc, char** argv) {
  Scenario scenario;
  if (argc != 3 || !ScenarioByName(argv[1], &scenario)) {
    std::fprintf(stderr,
                 "usage: logic_cost typical|lines|jars|includes|subkeys N\n");
    return 2;
  }
  FakePlatform os;
  PrepareScenario(scenario, std::atoi(argv[2]), os);
  LaunchSettings settings;
  std::size_t result = MeasuredRun(scenario, &os, &settings);
  std::printf("%zu\n", result);
  return 0;
}
