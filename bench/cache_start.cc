// One start of the startup cache benchmark's application, as javaInProcess
// makes it, on a host VM:
//
//   cache_start LIBJVM DIR on|off
//
// DIR holds app.jar (bench.SwingPanel); the cache lives in DIR/local, as
// if that were %LOCALAPPDATA%. The application's output is this program's;
// its exit code too. bench/cache_bench.py times the first line.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/jvm/host_vm.h"

int main(int argc, char** argv) {
  if (argc != 4 || chdir(argv[2]) != 0) {
    std::fprintf(stderr, "usage: cache_start LIBJVM DIR on|off\n");
    return 2;
  }
  setenv("LOCALAPPDATA", (std::string(argv[2]) + "/local").c_str(), 1);
  host_vm::HostVmPlatform os;
  LaunchSettings settings;
  settings.startupCache = std::strcmp(argv[3], "on") == 0;
  settings.vmParams = {"-Djava.awt.headless=true"};
  settings.classPathEntries = {"app.jar"};
  settings.mainclass = "bench.SwingPanel";
  const int code = host_vm::RunAsTheLauncher(settings, argv[1], os);
  std::fflush(nullptr);
  return code;
}
