#ifndef LAUNCHER_SETTINGS_LAUNCH_SETTINGS_H_
#define LAUNCHER_SETTINGS_LAUNCH_SETTINGS_H_

#include <optional>
#include <string>
#include <vector>

#include "settings/flavour.h"
#include "settings/version.h"

// The launcher's version, shown in debug mode and carried by the executable's
// version resource.
inline constexpr char kLauncherVersion[] = LAUNCHER_VERSION;

// Everything the command line and the configuration provide. One record lives
// for the whole run: filled while the arguments and the configuration are
// read, then only read by the launch loop (apart from the runtime path found
// on the first launch), so every restart uses the same command line.
//
// A scalar that is "none" (std::nullopt) is distinct from the empty text.
// Lists only grow, in the order their sources are met.
struct LaunchSettings {
  std::optional<std::string> javapath;      // runtime executable, maybe quoted
  // The found runtime's version as the search knew it ("17.0.9"); none
  // when unknown or not searched for.
  std::optional<std::string> runtimeVersion;
  std::optional<std::string> consoleTitle;  // title of the child's console
  std::optional<std::string> javaVersion;   // registry subkey name
  std::optional<std::string> configPath;    // from -c
  std::optional<std::string> appname;       // name in the download question
  std::vector<std::string> classPathEntries;
  std::vector<std::string> appArguments;
  std::optional<std::string> mainclass;
  // Or the module whose main class runs, as "module" or "module/class"
  // (mainmodule); never both.
  std::optional<std::string> mainmodule;
  std::vector<std::string> vmParams;
  std::optional<std::string> workingDir;  // child's current directory
  // The runtime search, used at launch when no runtime path is set: the
  // places to look (';'-separated), the inclusive version bounds, and the page
  // offered when nothing suitable is found.
  std::optional<std::string> javaSearch;
  std::optional<std::string> javaMinVersion;
  std::optional<std::string> javaMaxVersion;
  std::optional<std::string> downloadUrl;
  // The launch log's file, absolute; none: no log.
  std::optional<std::string> logFile;
  // Where the caller started the launcher from, for a flavour whose
  // application runs there.
  std::optional<std::string> callerDirectory;
  // The current directory the launcher was started in, whatever the
  // flavour: where a restart of the launcher itself begins.
  std::optional<std::string> launchDirectory;
  // The Java VM runs inside the launcher's own process instead of a child
  // runtime (javaInProcess).
  bool javaInProcess = false;
  // Keep what the VM learns while it loads the application's classes in a
  // per-user cache, to start faster the next time (startupCache).
  bool startupCache = false;
  // Another launcher started this one again for a restart: it runs the
  // application once and ends with its exit code, whatever the flavour.
  bool restartedCopy = false;
  Flavour flavour = kGuiFlavour;  // chosen by the entry point
  bool debugMode = false;
  bool quoteAlways = false;  // Windows major version above 5
  std::string startDir;
};

// What names the application's entry: the module (with its class, if
// given) when it runs from a module, else the main class.
inline const std::optional<std::string>& MainName(
    const LaunchSettings& settings) {
  return settings.mainmodule ? settings.mainmodule : settings.mainclass;
}

#endif  // LAUNCHER_SETTINGS_LAUNCH_SETTINGS_H_
