#include "launcher/launch_application.h"

#include <cstdint>

#include "launcher/command_line.h"
#include "platform/scoped_process.h"
#include "runtime/registry_lookup.h"
#include "runtime/runtime_search.h"
#include "text/text_helpers.h"

bool FindRuntime(LaunchSettings& settings, PlatformOps& os) {
  if (!settings.javapath) {
    // A configured search replaces the registry's current runtime.
    settings.javapath = settings.javaSearch ? FindRuntimeBySearch(settings, os)
                                            : FindDefaultRuntime(settings, os);
  }
  return settings.javapath.has_value();
}

void ReportApplicationEnd(const LaunchSettings& settings,
                          const std::string& runtime, int exitCode,
                          std::int64_t seconds, const std::string& errorLines,
                          PlatformOps& os) {
  os.Note(Format("application exit code %d after %lu s", exitCode,
                 static_cast<unsigned long>(seconds < 0 ? 0 : seconds)));
  if (exitCode == 0 || static_cast<double>(seconds) >= kEarlyFailureSeconds) {
    return;
  }
  std::string text = Format("Error launching Class %s\n with Java %s.\nError=%d",
                            OrNull(settings.mainclass), runtime.c_str(),
                            exitCode);
  if (!errorLines.empty()) text += "\n\n" + errorLines;
  os.ShowMessageBox(text, "Error", kBoxError);
}

StartedProcess StartApplicationProcess(
    const LaunchSettings& settings, const std::string& commandLine,
    const std::optional<std::string>& directory,
    const std::optional<std::string>& consoleTitle, OutputCapture* capture,
    PlatformOps& os) {
  ChildOptions options;
  options.output = capture ? &capture->pipes() : nullptr;
  options.dieWithLauncher = true;
  StartedProcess started =
      os.StartProcess(commandLine, directory, consoleTitle, options);
  if (capture && started.ok) capture->Start(true);
  if (started.outsideJob && settings.debugMode) {
    os.WriteOut("The launcher runs in a job that allows no other: the "
                "application will not end with a killed launcher.\n");
  }
  return started;
}

const std::optional<std::string>& ApplicationDirectory(
    const LaunchSettings& settings) {
  return settings.workingDir ? settings.workingDir : settings.callerDirectory;
}

LaunchResult LaunchApplication(LaunchSettings& settings, PlatformOps& os) {
  if (!FindRuntime(settings, os)) return {LaunchEnd::kNoRuntime, 0};
  const bool debug = settings.debugMode;
  if (debug) os.ShowMessageBox(*settings.javapath, "Javapath is", kBoxPlain);

  if (debug) {
    os.WriteOut(Format("cmdLine is %d chars long\n",
                       static_cast<int>(CommandLineSizeCount(settings))));
    // Each argument that the command line encloses in quotes, as written.
    for (const std::string& argument : settings.appArguments) {
      if (ArgumentNeedsQuotes(argument, settings.quoteAlways)) {
        os.ShowMessageBox(argument, "Adding double quotes around", kBoxPlain);
      }
    }
  }
  std::string commandLine = BuildCommandLine(settings);
  // Windows refuses longer command lines, and some systems silently cut them;
  // either way the application would not get what the configuration says.
  if (commandLine.size() > kMaxCommandLineLength) {
    os.ShowMessageBox(
        Format("The Java command line is %lu characters long; Windows starts "
               "no program with more than %lu.\nThe application was not "
               "started. Shorten the class path or the parameters.",
               static_cast<unsigned long>(commandLine.size()),
               static_cast<unsigned long>(kMaxCommandLineLength)),
        "Error", kBoxError);
    return {LaunchEnd::kCommandLineTooLong, 0};
  }

  const std::optional<std::string>& directory = ApplicationDirectory(settings);
  if (debug) {
    os.ShowMessageBox(directory.value_or(""), "Starting dir", kBoxPlain);
    os.ShowMessageBox(commandLine, "Command Line is", kBoxPlain);
  }

  std::int64_t start = os.Now();
  OutputCapture* capture = OpenCapture(settings, os);
  StartedProcess child = StartApplicationProcess(
      settings, commandLine, directory, settings.consoleTitle, capture, os);
  if (!child.ok) {
    CloseCapture(capture);
    os.ShowMessageBox(
        Format("The Java runtime could not be started.\nCommand line: "
               "%s\nError %u: %s",
               commandLine.c_str(), static_cast<unsigned>(child.errorCode),
               os.ErrorMessage(child.errorCode).c_str()),
        "Error", kBoxError);
    if (debug) os.WriteOut("CreateProcess ret 0, exitCode=0\n");
    return {LaunchEnd::kNotStarted, 0};
  }
  int exitCode;
  {
    ScopedProcess process(os, child);
    os.WaitForIdle(process.get(), 5000);
    os.WaitForEnd(process.get());
    // The exit code is a 32-bit value; a code with its top bit set (a crash,
    // say) reads as a negative number.
    exitCode = static_cast<std::int32_t>(os.ProcessExitCode(process.get()));
  }
  const std::string errorLines = CloseCapture(capture);
  ReportApplicationEnd(settings, *settings.javapath, exitCode, os.Now() - start,
                       errorLines, os);
  if (debug) {
    os.WriteOut(Format("CreateProcess ret %d, exitCode=%d\n", 1, exitCode));
  }
  return {LaunchEnd::kApplicationEnded, exitCode};
}
