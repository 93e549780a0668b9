#ifndef LAUNCHER_BENCH_SCENARIOS_H_
#define LAUNCHER_BENCH_SCENARIOS_H_

#include <string>

#include "settings/launch_settings.h"
#include "tests/fake_platform.h"

// Workloads for the logic's cost measurements. Each one prepares a fake
// system (outside the measured part) and then runs one piece of the logic
// against it (the measured part).
enum class Scenario {
  kTypical,     // the whole run for a four-line configuration
  kLines,       // reading a configuration of `size` lines
  kJars,        // an addjars line whose directory holds `size` jars
  kIncludes,    // a chain of `size` configuration files, each including the next
  kSubkeys,     // the update-level choice among `size` registry subkeys
};

// Sets up `os` for `scenario` at `size`.
void PrepareScenario(Scenario scenario, int size, FakePlatform& os);

// Runs the measured part; returns a value that depends on its result so that
// nothing can be optimised away.
std::size_t RunScenario(Scenario scenario, FakePlatform& os,
                        LaunchSettings& settings);

// "typical", "lines", ... -> scenario; false for an unknown name.
bool ScenarioByName(const std::string& name, Scenario* scenario);

#endif  // LAUNCHER_BENCH_SCENARIOS_H_
