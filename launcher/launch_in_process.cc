#include "launcher/launch_in_process.h"

#include <cstdint>

#include "jvm/vm_options.h"
#include "launcher/launcher_arguments.h"
#include "platform/scoped_process.h"
#include "runtime/jvm_library.h"
#include "text/text_helpers.h"

namespace {

// The main thread's stack without an -Xss: what a runtime's own executable
// reserves for it.
constexpr std::size_t kDefaultStackBytes = 1u << 20;

LaunchResult NotStarted(const std::string& text, PlatformOps& os) {
  os.ShowMessageBox(text + "\nThe application was not started.", "Error",
                    kBoxError);
  return {LaunchEnd::kNotStarted, 0};
}

// The application's arguments in UTF-16: the command line's (not the
// launcher's own switches) as the system gave them, then the `argument`
// lines.
std::vector<std::string> WideApplicationArguments(
    const LaunchSettings& settings, PlatformOps& os) {
  std::vector<std::string> wide;
  const std::vector<std::string> given = os.WideArguments();
  for (std::size_t i = 1; i < given.size(); ++i) {
    if (!IsLauncherSwitch(given[i], 2)) wide.push_back(given[i]);
  }
  // Should the two splits ever disagree, the 8-bit arguments are the ones
  // the rest of the launcher used.
  if (wide.size() > settings.appArguments.size()) wide.clear();
  for (std::size_t i = wide.size(); i < settings.appArguments.size(); ++i) {
    wide.push_back(os.AnsiToUtf16Le(settings.appArguments[i]));
  }
  return wide;
}

// A restart: the launcher again, as a new process, from where this one began.
LaunchResult Restart(const LaunchSettings& settings, PlatformOps& os) {
  StartedProcess again =
      StartApplicationProcess(settings, os.OwnCommandLine(),
                              settings.launchDirectory, std::nullopt, nullptr,
                              os);
  if (!again.ok) {
    return NotStarted(Format("The launcher could not be started again.\n"
                             "Error %u: %s",
                             static_cast<unsigned>(again.errorCode),
                             os.ErrorMessage(again.errorCode).c_str()),
                      os);
  }
  ScopedProcess process(os, again);
  os.WaitForEnd(process.get());
  return {LaunchEnd::kApplicationEnded,
          static_cast<std::int32_t>(os.ProcessExitCode(process.get()))};
}

}  // namespace

JavaLaunch PrepareJavaLaunch(const LaunchSettings& settings, PlatformOps& os) {
  const VmOptions vm = TranslateVmParams(settings.vmParams);
  JavaLaunch launch;
  launch.options = vm.options;
  std::string option = "-Djava.class.path=";
  for (const std::vector<std::string>* list :
       {&settings.classPathEntries, &vm.classPath}) {
    for (const std::string& entry : *list) {
      for (char c : entry) {
        if (c != '"') option += c;
      }
      option += ';';
    }
  }
  if (option.back() == ';') option.pop_back();
  launch.options.push_back(option);
  launch.mainClass = settings.mainclass.value_or("");
  option = "-Dsun.java.command=" + launch.mainClass;
  for (const std::string& argument : settings.appArguments) {
    option += ' ' + argument;
  }
  launch.options.push_back(option);
  launch.arguments = WideApplicationArguments(settings, os);
  launch.stackBytes = vm.stackBytes ? vm.stackBytes : kDefaultStackBytes;
  return launch;
}

LaunchResult LaunchInProcess(LaunchSettings& settings, PlatformOps& os) {
  if (!FindRuntime(settings, os)) return {LaunchEnd::kNoRuntime, 0};
  const std::string home = RuntimeHomeOfExecutable(*settings.javapath);
  const JvmLibrary jvm = FindJvmLibrary(home, os);
  if (jvm.path.empty()) {
    return NotStarted(Format("The Java runtime %s has no Java VM library: no "
                             "jvm.dll in its bin\\server, bin\\client, "
                             "jre\\bin\\server or jre\\bin\\client folder.",
                             home.c_str()),
                      os);
  }
  if (!jvm.misfit.empty()) {
    return NotStarted(Format("The Java VM %s is %s.\nA VM runs only in a "
                             "launcher of its own architecture: use "
                             "launcher-%s.exe with this runtime.",
                             jvm.path.c_str(), jvm.misfit.c_str(),
                             os.Is64BitProcess() ? "32" : "64"),
                      os);
  }
  if (settings.debugMode) os.ShowMessageBox(jvm.path, "jvm.dll is", kBoxPlain);
  os.Note("jvm.dll: " + jvm.path);

  const std::optional<std::string>& directory = ApplicationDirectory(settings);
  if (directory) os.ChangeDirectory(*directory);
  // What a console runtime in debug mode would show, and the VM's own
  // output: a GUI launcher has no console of its own for it.
  if (settings.debugMode && !settings.flavour.sharesConsole) os.OpenConsole();

  // The VM's C library takes the process's standard handles as it loads.
  OutputCapture* capture = OpenCapture(settings, os);
  if (capture) {
    os.UseOutputPipes(capture->pipes());
    capture->Start(false);
  }
  JavaLaunch launch = PrepareJavaLaunch(settings, os);
  LibraryHandle library = 0;
  std::uint32_t error = 0;
  if (os.LoadLibraryWithDependencies(jvm.path, jvm.binFolder, &library,
                                     &error)) {
    // 32-bit libraries may export the name with its stdcall decoration only.
    for (const char* name : {"JNI_CreateJavaVM", "_JNI_CreateJavaVM@12"}) {
      if (!launch.createJavaVm) {
        launch.createJavaVm = os.LibraryFunction(library, name);
      }
    }
    error = 127;  // ERROR_PROC_NOT_FOUND, should it have neither
  }
  if (!launch.createJavaVm) {
    CloseCapture(capture);
    return NotStarted(Format("The Java VM %s could not be loaded.\nError %u: "
                             "%s",
                             jvm.path.c_str(), static_cast<unsigned>(error),
                             os.ErrorMessage(error).c_str()),
                      os);
  }

  const std::int64_t start = os.Now();
  const JavaEnd end = RunJavaMain(launch, os);
  const std::string errorLines = CloseCapture(capture);
  if (end.kind == JavaEndKind::kNoThread) {
    return NotStarted("No thread could be made for the Java application.", os);
  }
  if (end.kind == JavaEndKind::kNotCreated) {
    os.ShowMessageBox("The Java VM could not be created.\n" +
                          end.creationMessages,
                      "Error", kBoxError);
    return {LaunchEnd::kApplicationEnded, 1};
  }
  ReportApplicationEnd(settings, jvm.path, end.code, os.Now() - start,
                       errorLines, os);
  if (end.code == kRestartCode) return Restart(settings, os);
  return {LaunchEnd::kApplicationEnded, end.code};
}
