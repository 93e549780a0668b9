#include "launcher/launcher_main.h"

#include "config/config_file.h"
#include "launcher/exit_codes.h"
#include "launcher/launch_application.h"
#include "text/text_helpers.h"

namespace {

// The application asks to be started again by ending with this code.
constexpr int kRestartCode = 999;

void ScanArguments(const std::vector<std::string>& args,
                   LaunchSettings& settings) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-d") {
      settings.debugMode = true;
    } else if (arg.compare(0, 2, "-c") == 0) {
      settings.configPath = arg.substr(2);
    } else {
      settings.appArguments.push_back(arg);
    }
  }
}

// The directory of an executable started by its full path ("C:\...\x.exe")
// becomes the current directory, so that relative paths in the configuration
// mean the same wherever the user started it from.
void FixStartDirectory(const std::string& programPath, LaunchSettings& settings,
                       PlatformOps& os) {
  std::size_t lastBackslash = programPath.rfind('\\');
  if (programPath.size() > 1 && programPath[1] == ':' &&
      lastBackslash != std::string::npos) {
    settings.startDir = programPath.substr(0, lastBackslash);
    os.ChangeDirectory(settings.startDir);
  } else {
    os.CurrentDirectory(&settings.startDir);
  }
}

void ShowDebugSummary(const LaunchSettings& settings, PlatformOps& os) {
  os.ShowMessageBox(settings.mainclass.value_or(""), "MainClass is", kBoxPlain);
  for (std::size_t i = 0; i < settings.vmParams.size(); ++i) {
    os.WriteOut(Format("vmparam %d=%s\n", static_cast<int>(i),
                       settings.vmParams[i].c_str()));
  }
  for (std::size_t i = 0; i < settings.classPathEntries.size(); ++i) {
    os.WriteOut(Format("vmpath %d=%s\n", static_cast<int>(i),
                       settings.classPathEntries[i].c_str()));
  }
}

}  // namespace

bool IsVistaOrLater(PlatformOps& os) { return os.SystemMajorVersion() > 5; }

int LauncherMain(const std::vector<std::string>& args, LaunchSettings& settings,
                 PlatformOps& os) {
  const std::string programPath = args.empty() ? std::string() : args[0];
  const std::string programBox = "[" + programPath + "]";
  ScanArguments(args, settings);
  settings.quoteAlways = IsVistaOrLater(os);

  const bool debug = settings.debugMode;
  if (debug && settings.quoteAlways) {
    os.ShowMessageBox(kLauncherVersion, "Running on Vista", kBoxPlain);
  }
  if (debug) {
    os.ShowMessageBox(kLauncherVersion, "Version", kBoxPlain);
    os.ShowMessageBox(programBox, "LpCmdLine", kBoxPlain);
  }

  FixStartDirectory(programPath, settings, os);
  if (debug) os.ShowMessageBox(settings.startDir, "CWD", kBoxPlain);

  if (FatalExit fatal = LocateAppConfig(programPath, settings, os)) {
    if (debug && *fatal == ExitCode::kConfigUnreadable) {
      os.ShowMessageBox(programBox, "LpCmdLine", kBoxPlain);
    }
    return static_cast<int>(*fatal);
  }
  if (debug) ShowDebugSummary(settings, os);

  // Without a main class there is no command line worth starting.
  if (!settings.mainclass) {
    os.ShowMessageBox(
        "The configuration names no main class.\nAdd a line such as "
        "\"mainclass com.example.Main\" to it.",
        "Error", kBoxError);
    return static_cast<int>(ExitCode::kConfigUnreadable);
  }

  while (LaunchApplication(settings, os) == kRestartCode) {
  }
  return static_cast<int>(ExitCode::kNormal);
}
