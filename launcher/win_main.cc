// The launcher's entry points on Windows: a GUI-subsystem program without a
// window of its own, so that starting it never opens a console, or, built
// with LAUNCHER_CONSOLE, a console program for command-line tools.

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "launcher/build_date.h"
#include "settings/launch_settings.h"
#include "launcher/launcher_main.h"
#include "settings/version.h"
#include "platform/platform_windows.h"

// Identification marker, found in the binary with `strings` or `what`. The
// date is the source's (build_date.h), so that rebuilding a release gives the
// same bytes.
extern "C" __attribute__((used)) const char kLauncherIdentification[] =
    "@(#)win_main.cc " LAUNCHER_VERSION " " LAUNCHER_BUILD_DATE " "
    LAUNCHER_BUILD_TIME;

// The library's default handler for an uncaught exception prints a demangled
// type name, which links in the whole demangler; nothing here throws, so
// ending at once loses nothing.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

int Launch(WindowsPlatform& platform, const Flavour& flavour) {
  // --gc-sections drops data that no code refers to; this reference keeps the
  // marker in the executable without generating any code.
  __asm__ volatile("" : : "r"(kLauncherIdentification));

  // The C runtime has already split the command line by the system's rules
  // (quotes group words; the first element is the program as invoked).
  std::vector<std::string> args;
  for (int i = 0; i < __argc; ++i) args.emplace_back(__argv[i]);

  LaunchSettings settings;
  settings.flavour = flavour;
  return LauncherMain(args, settings, platform.ops());
}

}  // namespace

// The system's side, for the whole life of the process: the threads of a
// Java VM in the process and the output readers use it until the process
// ends, so it is made once and never destroyed.
#ifdef LAUNCHER_CONSOLE
// The console flavour: a console-subsystem program whose application shares
// its console, for command-line tools.
int main() {
  WindowsPlatform* platform = new WindowsPlatform;
  platform->processes().ShareConsoleWithTheApplication();
  return Launch(*platform, kConsoleFlavour);
}
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return Launch(*new WindowsPlatform, kGuiFlavour);
}
#endif
