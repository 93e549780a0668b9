#include "launcher/launcher_main.h"

#include "config/config_file.h"
#include "launcher/child_process_launch.h"
#include "launcher/command_line.h"
#include "launcher/console_messages.h"
#include "launcher/in_process_launch.h"
#include "launcher/launch_log.h"
#include "launcher/launch_sequence.h"
#include "launcher/launcher_arguments.h"
#include "settings/exit_codes.h"
#include "text/text_helpers.h"

namespace {

void ScanArguments(const std::vector<std::string>& args,
                   LaunchSettings& settings) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!IsLauncherSwitch(arg)) {
      settings.appArguments.push_back(arg);
    } else if (arg[1] == 'd') {
      settings.debugMode = true;
    } else {
      settings.configPath = arg.substr(2);
    }
  }
}

// The directory of an executable started by its full path ("C:\...\x.exe")
// becomes the current directory, so that relative paths in the configuration
// mean the same wherever the user started it from. A flavour that finds
// itself by its real path always has a full path.
void FixStartDirectory(const std::string& programPath, LaunchSettings& settings,
                       Files& files) {
  std::size_t lastBackslash = programPath.rfind('\\');
  const bool fullPath = programPath.size() > 1 && programPath[1] == ':' &&
                        lastBackslash != std::string::npos;
  if (fullPath || (settings.flavour.findsItselfByModulePath &&
                   lastBackslash != std::string::npos)) {
    settings.startDir = programPath.substr(0, lastBackslash);
    files.ChangeDirectory(settings.startDir);
  } else {
    files.CurrentDirectory(&settings.startDir);
  }
}

std::string QuotedArguments(const std::vector<std::string>& args) {
  std::string text;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (i > 1) text += ' ';
    text += QuoteArgument(args[i], false);
  }
  return text;
}

void ShowDebugSummary(const LaunchSettings& settings, PlatformOps& os) {
  os.ui.ShowMessageBox(MainName(settings).value_or(""), "MainClass is",
                       kBoxPlain);
  for (std::size_t i = 0; i < settings.vmParams.size(); ++i) {
    os.ui.WriteOut(Format("vmparam %d=%s\n", static_cast<int>(i),
                       settings.vmParams[i].c_str()));
  }
  for (std::size_t i = 0; i < settings.classPathEntries.size(); ++i) {
    os.ui.WriteOut(Format("vmpath %d=%s\n", static_cast<int>(i),
                       settings.classPathEntries[i].c_str()));
  }
}

}  // namespace

bool IsVistaOrLater(System& system) { return system.SystemMajorVersion() > 5; }

namespace {

// The launcher's exit code once the launch loop has ended. A restarted copy
// hands the application's back to the launcher that started it.
int ExitCodeAfterLaunch(const LaunchResult& result,
                        const LaunchSettings& settings) {
  if (settings.restartedCopy && result.end == LaunchEnd::kApplicationEnded) {
    return result.exitCode;
  }
  if (!settings.flavour.returnsApplicationExitCode) {
    return static_cast<int>(ExitCode::kNormal);
  }
  switch (result.end) {
    case LaunchEnd::kApplicationEnded:
      return result.exitCode;
    case LaunchEnd::kNoRuntime:
      return static_cast<int>(ExitCode::kNoRuntimeFound);
    case LaunchEnd::kNotStarted:
      return static_cast<int>(ExitCode::kRuntimeNotStarted);
    case LaunchEnd::kCommandLineTooLong:
      return static_cast<int>(ExitCode::kCommandLineTooLong);
  }
  return static_cast<int>(ExitCode::kNormal);
}

// Whether another launcher started this one again for a restart: it says so
// in a variable that nothing else may see.
void NoticeRestartedCopy(LaunchSettings& settings, PlatformOps& os) {
  const std::optional<std::string> by =
      os.system.Environment(kRestartedByVariable);
  if (!by) return;
  settings.restartedCopy = true;
  os.system.RemoveEnvironment(kRestartedByVariable);
  os.log.Note("restarted by launcher " + *by);
}

int Run(const std::vector<std::string>& args, LaunchSettings& settings,
        PlatformOps& os, LaunchLog& log) {
  const std::string programPath = settings.flavour.findsItselfByModulePath
                                      ? os.program.ModulePath()
                                  : args.empty() ? std::string()
                                                 : args[0];
  const std::string programBox = "[" + programPath + "]";
  os.log.Note(Format("==== %s launcher %s (%s)",
                     os.system.LocalTime().c_str(), kLauncherVersion,
                     settings.flavour.name));
  os.log.Note(Format("program: %s", programPath.c_str()));
  os.log.Note(Format("arguments: %s", QuotedArguments(args).c_str()));
  NoticeRestartedCopy(settings, os);
  ScanArguments(args, settings);
  settings.quoteAlways = IsVistaOrLater(os.system);

  const bool debug = settings.debugMode;
  if (debug && settings.quoteAlways) {
    os.ui.ShowMessageBox(kLauncherVersion, "Running on Vista", kBoxPlain);
  }
  if (debug) {
    os.ui.ShowMessageBox(kLauncherVersion, "Version", kBoxPlain);
    os.ui.ShowMessageBox(programBox, "LpCmdLine", kBoxPlain);
  }

  std::string current;
  if (os.files.CurrentDirectory(&current)) {
    settings.launchDirectory = current;
    if (settings.flavour.runsInCallerDirectory) {
      settings.callerDirectory = current;
    }
  }
  FixStartDirectory(programPath, settings, os.files);
  if (debug) os.ui.ShowMessageBox(settings.startDir, "CWD", kBoxPlain);
  // Values can name files beside the executable as $APP_HOME, in either
  // flavour; the application inherits the variable too.
  os.system.SetEnvironment("APP_HOME", FolderOf(os.program.ModulePath()));

  FatalExit fatal = LocateAppConfig(programPath, settings, os);
  // Whatever the configuration's fate, a log it named gets this run.
  log.Open(settings.logFile);
  if (fatal) {
    if (debug && *fatal == ExitCode::kConfigUnreadable) {
      os.ui.ShowMessageBox(programBox, "LpCmdLine", kBoxPlain);
    }
    return static_cast<int>(*fatal);
  }
  // A one-file build: the application's archive follows the executable's
  // image, so the executable itself is the first class path entry, quoted
  // for the command line when its path holds a space.
  if (os.program.CarriesArchive()) {
    const std::string self = os.program.ModulePath();
    settings.classPathEntries.insert(settings.classPathEntries.begin(),
                                     QuoteArgument(self, false));
    os.log.Note(Format("class path: the archive in %s", self.c_str()));
  }
  if (debug) ShowDebugSummary(settings, os);

  // Without a main class there is no command line worth starting.
  if (!MainName(settings)) {
    os.ui.ShowMessageBox(
        "The configuration names no main class.\nAdd a line such as "
        "\"mainclass com.example.Main\" to it.",
        "Error", kBoxError);
    return static_cast<int>(ExitCode::kConfigUnreadable);
  }

  // The application runs elsewhere than beside the executable, where the
  // configuration's relative class path means its files.
  if (settings.callerDirectory) {
    for (std::string& entry : settings.classPathEntries) {
      entry = AbsoluteClassPathEntry(entry, settings.startDir);
    }
  }

  // The one place where the mode is chosen: a child runtime, or the VM in
  // this process.
  ChildProcessLaunch childProcess;
  InProcessLaunch inProcess;
  LaunchMode& mode = settings.javaInProcess
                         ? static_cast<LaunchMode&>(inProcess)
                         : static_cast<LaunchMode&>(childProcess);
  const LaunchResult result = RunLaunchSequence(settings, mode, os);
  // A normal end: what the application started and left running goes on.
  os.processes.LetChildrenOutliveTheLauncher();
  return ExitCodeAfterLaunch(result, settings);
}

}  // namespace

int LauncherMain(const std::vector<std::string>& args, LaunchSettings& settings,
                 PlatformOps& system) {
  // What the user sees in this flavour, and the record of it all, which
  // takes the place of the system's (it keeps none).
  ConsoleMessages console(system.ui);
  UserInterface& shown = settings.flavour.sharesConsole
                             ? static_cast<UserInterface&>(console)
                             : system.ui;
  LaunchLog log(system.files, shown, system.program.ProcessId(), settings);
  RecordedUserInterface ui(shown, log, settings);
  PlatformOps os{system.files,     system.registry, system.system,
                 system.program,   system.processes, system.threads,
                 ui,               system.vm,        log};
  const int code = Run(args, settings, os, log);
  log.Note(Format("launcher exit code %d", code));
  return code;
}
