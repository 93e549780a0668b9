#include "launcher/launch_sequence.h"

#include "launcher/launcher_arguments.h"
#include "runtime/java_version.h"
#include "runtime/jvm_library.h"
#include "runtime/registry_lookup.h"
#include "runtime/runtime_search.h"
#include "text/text_helpers.h"

LaunchResult LaunchOnce(LaunchSettings& settings, LaunchMode& mode,
                        PlatformOps& os) {
  if (!FindRuntime(settings, os)) return {LaunchEnd::kNoRuntime, 0};
  return mode.Run(settings, os);
}

LaunchResult RunLaunchSequence(LaunchSettings& settings, LaunchMode& mode,
                               PlatformOps& os) {
  LaunchResult result = LaunchOnce(settings, mode, os);
  while (!settings.restartedCopy &&
         result.end == LaunchEnd::kApplicationEnded &&
         result.exitCode == kRestartCode) {
    result = mode.RunAgain(settings, os);
  }
  return result;
}

bool FindRuntime(LaunchSettings& settings, PlatformOps& os) {
  if (!settings.javapath) {
    // A configured search replaces the registry's current runtime.
    std::optional<JavaVersion> version;
    settings.javapath = settings.javaSearch
                            ? FindRuntimeBySearch(settings, os, &version)
                            : FindDefaultRuntime(settings, os);
    if (version) settings.runtimeVersion = JavaVersionText(*version);
  }
  return settings.javapath.has_value();
}

std::string AbsoluteRuntimeHome(const LaunchSettings& settings) {
  std::string home = RuntimeHomeOfExecutable(*settings.javapath);
  return IsAbsolutePath(home) ? home : AbsoluteFolder(home, settings.startDir);
}

const std::optional<std::string>& ApplicationDirectory(
    const LaunchSettings& settings) {
  return settings.workingDir ? settings.workingDir : settings.callerDirectory;
}

void ReportApplicationEnd(const LaunchSettings& settings,
                          const std::string& runtime, int exitCode,
                          std::int64_t seconds, const std::string& errorLines,
                          PlatformOps& os) {
  os.log.Note(Format("application exit code %d after %lu s", exitCode,
                     static_cast<unsigned long>(seconds < 0 ? 0 : seconds)));
  if (exitCode == 0 || static_cast<double>(seconds) >= kEarlyFailureSeconds ||
      !settings.flavour.reportsEarlyFailure) {
    return;
  }
  std::string text = Format("Error launching Class %s\n with Java %s.\nError=%d",
                            OrNull(MainName(settings)), runtime.c_str(),
                            exitCode);
  if (!errorLines.empty()) text += "\n\n" + errorLines;
  os.ui.ShowMessageBox(text, "Error", kBoxError);
}

StartedProcess StartApplicationProcess(const LaunchSettings& settings,
                                       const std::string& commandLine,
                                       const std::optional<std::string>& directory,
                                       const std::optional<std::string>& consoleTitle,
                                       const ChildOptions& given,
                                       OutputCapture* capture, PlatformOps& os) {
  ChildOptions options = given;
  options.output = capture ? &capture->pipes() : nullptr;
  options.dieWithLauncher = true;
  StartedProcess started = os.processes.StartProcess(
      commandLine, directory, consoleTitle, options);
  os.log.ProcessStarted(commandLine, started.ok);
  if (capture && started.ok) capture->StartForChild();
  if (started.outsideJob && settings.debugMode) {
    os.ui.WriteOut("The launcher runs in a job that allows no other: the "
                   "application will not end with a killed launcher.\n");
  }
  return started;
}
