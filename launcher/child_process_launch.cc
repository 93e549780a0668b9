#include "launcher/child_process_launch.h"

#include <cstdint>

#include "jvm/vm_options.h"
#include "launcher/command_line.h"
#include "launcher/launch_sequence.h"
#include "launcher/startup_cache.h"
#include "platform/scoped_process.h"
#include "runtime/jvm_library.h"
#include "text/text_helpers.h"

namespace {

// The startup cache of a child runtime, planned for its class path as the
// configuration writes it (the runtime expands its wildcards itself), its
// relative entries taken from where the application runs. The runtime's
// words about the cache can be kept out of its output where nobody reads
// it directly: a windowless runtime's, whose output goes nowhere or into
// the launch log.
StartupCache PlanChildCache(const LaunchSettings& settings,
                            CacheRuntime* runtime, PlatformOps& os) {
  if (!settings.startupCache) return StartupCache();
  const VmOptions vm = TranslateVmParams(settings.vmParams);
  const std::string home = AbsoluteRuntimeHome(settings);
  *runtime = CacheRuntimeOf(
      settings, home, FindJvmLibrary(home, vm.vmKind, os.files, os.program).path,
      os);
  const std::optional<std::string>& directory = ApplicationDirectory(settings);
  std::string classPath;
  for (const std::string& entry : settings.classPathEntries) {
    if (!classPath.empty()) classPath += ';';
    classPath += AbsoluteFolder(entry, directory.value_or(""));
  }
  StartupCache cache = PlanStartupCache(settings, *runtime, classPath,
                                        VmParamWords(settings.vmParams),
                                        !settings.flavour.sharesConsole, os);
  cache.directory = directory;
  return cache;
}

}  // namespace

LaunchResult ChildProcessLaunch::Run(LaunchSettings& settings,
                                     PlatformOps& os) {
  const bool debug = settings.debugMode;
  if (debug) os.ui.ShowMessageBox(*settings.javapath, "Javapath is", kBoxPlain);

  if (debug) {
    os.ui.WriteOut(Format("cmdLine is %d chars long\n",
                          static_cast<int>(CommandLineSizeCount(settings))));
    // Each argument that the command line encloses in quotes, as written.
    for (const std::string& argument : settings.appArguments) {
      if (ArgumentNeedsQuotes(argument, settings.quoteAlways)) {
        os.ui.ShowMessageBox(argument, "Adding double quotes around",
                             kBoxPlain);
      }
    }
  }
  CacheRuntime runtime;
  StartupCache cache = PlanChildCache(settings, &runtime, os);
  std::string commandLine = BuildCommandLine(settings, cache.options);
  // Windows refuses longer command lines, and some systems silently cut them;
  // either way the application would not get what the configuration says.
  if (commandLine.size() > kMaxCommandLineLength) {
    os.ui.ShowMessageBox(
        Format("The Java command line is %lu characters long; Windows starts "
               "no program with more than %lu.\nThe application was not "
               "started. Shorten the class path or the parameters.",
               static_cast<unsigned long>(commandLine.size()),
               static_cast<unsigned long>(kMaxCommandLineLength)),
        "Error", kBoxError);
    FinishStartupCache(cache, runtime, os);
    return {LaunchEnd::kCommandLineTooLong, 0};
  }

  const std::optional<std::string>& directory = ApplicationDirectory(settings);
  if (debug) {
    os.ui.ShowMessageBox(directory.value_or(""), "Starting dir", kBoxPlain);
    os.ui.ShowMessageBox(commandLine, "Command Line is", kBoxPlain);
  }

  std::int64_t start = os.system.Now();
  OutputCapture* capture =
      OpenCapture(settings, os.processes, os.threads, os.log);
  if (capture) capture->Hide(cache.quietLine);
  StartedProcess started =
      StartApplicationProcess(settings, commandLine, directory,
                              settings.consoleTitle, ChildOptions(), capture, os);
  if (!started.ok) {
    CloseCapture(capture);
    FinishStartupCache(cache, runtime, os);
    os.ui.ShowMessageBox(
        Format("The Java runtime could not be started.\nCommand line: "
               "%s\nError %u: %s",
               commandLine.c_str(), static_cast<unsigned>(started.errorCode),
               os.system.ErrorMessage(started.errorCode).c_str()),
        "Error", kBoxError);
    if (debug) os.ui.WriteOut("CreateProcess ret 0, exitCode=0\n");
    return {LaunchEnd::kNotStarted, 0};
  }
  int exitCode;
  {
    ScopedProcess process(os.processes, started);
    os.processes.WaitForIdle(process.get(), 5000);
    os.processes.WaitForEnd(process.get());
    // The exit code is a 32-bit value; a code with its top bit set (a crash,
    // say) reads as a negative number.
    exitCode =
        static_cast<std::int32_t>(os.processes.ProcessExitCode(process.get()));
  }
  const std::int64_t seconds = os.system.Now() - start;
  const std::string errorLines = CloseCapture(capture);
  FinishStartupCache(cache, runtime, os);
  ReportApplicationEnd(settings, *settings.javapath, exitCode, seconds,
                       errorLines, os);
  if (debug) {
    os.ui.WriteOut(Format("CreateProcess ret %d, exitCode=%d\n", 1, exitCode));
  }
  return {LaunchEnd::kApplicationEnded, exitCode};
}
