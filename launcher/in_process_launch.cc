#include "launcher/in_process_launch.h"

#include <cstdint>

#include "jvm/argument_files.h"
#include "jvm/class_path_wildcards.h"
#include "jvm/java_options_variable.h"
#include "jvm/vm_options.h"
#include "launcher/launch_sequence.h"
#include "launcher/launcher_arguments.h"
#include "launcher/startup_cache.h"
#include "platform/scoped_process.h"
#include "runtime/jvm_library.h"
#include "runtime/release_file.h"
#include "text/text_helpers.h"

namespace {

// The main thread's stack without an -Xss: what a runtime's own executable
// reserves for it.
constexpr std::size_t kDefaultStackBytes = 1u << 20;

LaunchResult NotStarted(const std::string& text, PlatformOps& os) {
  os.ui.ShowMessageBox(text + "\nThe application was not started.", "Error",
                       kBoxError);
  return {LaunchEnd::kNotStarted, 0};
}

// The application's arguments in UTF-16: the command line's (not the
// launcher's own switches) as the system gave them, then the `argument`
// lines.
std::vector<std::string> WideApplicationArguments(
    const LaunchSettings& settings, PlatformOps& os) {
  std::vector<std::string> wide;
  const std::vector<std::string> given = os.program.WideArguments();
  for (std::size_t i = 1; i < given.size(); ++i) {
    if (!IsLauncherSwitch(given[i], 2)) wide.push_back(given[i]);
  }
  // Should the two splits ever disagree, the 8-bit arguments are the ones
  // the rest of the launcher used.
  if (wide.size() > settings.appArguments.size()) wide.clear();
  for (std::size_t i = wide.size(); i < settings.appArguments.size(); ++i) {
    wide.push_back(os.system.AnsiToUtf16Le(settings.appArguments[i]));
  }
  return wide;
}

// The VM library's entry point, loaded with the runtime's bin folder for
// its neighbours; nullptr, with the system's error code, when it cannot be
// had.
void* LoadCreateJavaVm(const JvmLibrary& jvm, PlatformOps& os,
                       std::uint32_t* error) {
  LibraryHandle library = 0;
  if (!os.vm.LoadLibraryWithDependencies(jvm.path, jvm.binFolder, &library,
                                         error)) {
    return nullptr;
  }
  // 32-bit libraries may export the name with its stdcall decoration only.
  for (const char* name : {"JNI_CreateJavaVM", "_JNI_CreateJavaVM@12"}) {
    if (void* function = os.vm.LibraryFunction(library, name)) return function;
  }
  *error = 127;  // ERROR_PROC_NOT_FOUND
  return nullptr;
}

// The java command's option words before the main class: those of
// JDK_JAVA_OPTIONS first, then the vmparam lines', @argfiles expanded; the
// note and any refusal go into `launch`.
std::vector<std::string> JavaOptionWords(const LaunchSettings& settings,
                                         int version, PlatformOps& os,
                                         JavaLaunch* launch) {
  JdkJavaOptions variable = ReadJdkJavaOptions(os.system, os.files, version);
  launch->prelude = variable.note;
  launch->refusal = variable.error;
  std::vector<std::string> words = variable.words;
  std::vector<std::string> expanded;
  std::string error;
  if (!ExpandArgumentFiles(VmParamWords(settings.vmParams), version, os.files,
                           &expanded, &error, variable.argumentFilesOff) &&
      launch->refusal.empty()) {
    launch->refusal = error;
  }
  words.insert(words.end(), expanded.begin(), expanded.end());
  return words;
}

// The VM options the application gives: all but the class path and java's
// own properties, which the launcher adds.
std::vector<std::string> ApplicationVmOptions(const JavaLaunch& launch) {
  std::vector<std::string> options;
  for (const std::string& option : launch.options) {
    if (!StartsWith(option, "-Djava.class.path=") &&
        !StartsWith(option, "-Dsun.java.")) {
      options.push_back(option);
    }
  }
  return options;
}

}  // namespace

StartupCache AddStartupCache(const LaunchSettings& settings,
                             const CacheRuntime& runtime, JavaLaunch& launch,
                             PlatformOps& os) {
  // In process the VM's words about the cache pass the launcher's hooks,
  // which keep them from the application's output.
  StartupCache cache = PlanStartupCache(
      settings, runtime, launch.classPath, ApplicationVmOptions(launch), true,
      os);
  // Before java's own properties, which close the list.
  launch.options.insert(launch.options.end() - 2, cache.options.begin(),
                        cache.options.end());
  launch.quietLine = cache.quietLine;
  return cache;
}

JavaLaunch PrepareJavaLaunch(const LaunchSettings& settings,
                             const std::string& home, PlatformOps& os) {
  JavaLaunch launch;
  launch.javaVersion = FeatureVersion(ReleaseFileVersion(home, os.files));
  const VmOptions vm = TranslateJavaOptions(
      JavaOptionWords(settings, launch.javaVersion, os, &launch));
  // The class path as java lists it: unquoted, each "dir/*" the jars of
  // the folder.
  const char separator = os.vm.ClassPathSeparator();
  std::string classPath;
  for (const std::vector<std::string>* list :
       {&settings.classPathEntries, &vm.classPath}) {
    for (const std::string& entry : *list) {
      std::string unquoted;
      for (char c : entry) {
        if (c != '"') unquoted += c;
      }
      if (!classPath.empty()) classPath += separator;
      classPath += ExpandClassPathWildcards(unquoted, separator, os.files);
    }
  }
  launch.options.push_back("-Djava.class.path=" + classPath);
  launch.classPath = classPath;
  launch.options.insert(launch.options.end(), vm.options.begin(),
                        vm.options.end());
  // A module's main class is the one named after it, else the one its
  // descriptor names; java tells the VM the module to resolve at boot.
  const std::string main = MainName(settings).value_or("");
  if (settings.mainmodule) {
    const std::size_t slash = main.find('/');
    launch.mainModule = main.substr(0, slash);
    if (slash != std::string::npos) launch.mainClass = main.substr(slash + 1);
    launch.options.push_back("-Djdk.module.main=" + launch.mainModule);
  } else {
    launch.mainClass = main;
  }
  std::string option = "-Dsun.java.command=" + main;
  for (const std::string& argument : settings.appArguments) {
    option += ' ' + argument;
  }
  launch.options.push_back(option);
  launch.options.push_back("-Dsun.java.launcher=SUN_STANDARD");
  launch.arguments = WideApplicationArguments(settings, os);
  launch.stackBytes = vm.stackBytes ? vm.stackBytes : kDefaultStackBytes;
  launch.version = vm.version;
  launch.dryRun = vm.dryRun;
  launch.vmKind = vm.vmKind;
  launch.splash = vm.splash;
  if (!vm.unsupported.empty()) {
    launch.refusal = "Error: the java command's option " + vm.unsupported +
                     " does not run in the launcher's own process; use it "
                     "with javaInProcess no\n";
  }
  return launch;
}

LaunchResult InProcessLaunch::Run(LaunchSettings& settings, PlatformOps& os) {
  const std::string home = AbsoluteRuntimeHome(settings);
  const std::optional<std::string>& directory = ApplicationDirectory(settings);
  if (directory) os.files.ChangeDirectory(*directory);
  // The VM's C library takes the process's standard handles as it loads,
  // and what the java command says before the VM goes there too.
  OutputCapture* capture =
      OpenCapture(settings, os.processes, os.threads, os.log);
  if (capture) capture->StartForThisProcess();
  JavaLaunch launch = PrepareJavaLaunch(settings, home, os);
  const JvmLibrary jvm = FindJvmLibrary(home, launch.vmKind, os.files,
                                        os.program);
  if (jvm.path.empty()) {
    CloseCapture(capture);
    return NotStarted(Format("The Java runtime %s has no Java VM library: no "
                             "jvm.dll in its bin\\server, bin\\client, "
                             "jre\\bin\\server or jre\\bin\\client folder.",
                             home.c_str()),
                      os);
  }
  if (!jvm.misfit.empty()) {
    CloseCapture(capture);
    return NotStarted(Format("The Java VM %s is %s.\nA VM runs only in a "
                             "launcher of its own architecture: use "
                             "launcher-%s.exe with this runtime.",
                             jvm.path.c_str(), jvm.misfit.c_str(),
                             os.program.Is64BitProcess() ? "32" : "64"),
                      os);
  }
  if (settings.debugMode) {
    os.ui.ShowMessageBox(jvm.path, "jvm.dll is", kBoxPlain);
  }
  os.log.Note("jvm.dll: " + jvm.path);
  // What a console runtime in debug mode would show, and the VM's own
  // output: a GUI launcher has no console of its own for it.
  if (settings.debugMode && !settings.flavour.sharesConsole) {
    os.ui.OpenConsole();
  }
  if (launch.splash) os.ui.ShowSplash(*launch.splash);

  std::uint32_t error = 0;
  launch.createJavaVm = LoadCreateJavaVm(jvm, os, &error);
  if (!launch.createJavaVm) {
    CloseCapture(capture);
    return NotStarted(Format("The Java VM %s could not be loaded.\nError %u: "
                             "%s",
                             jvm.path.c_str(), static_cast<unsigned>(error),
                             os.system.ErrorMessage(error).c_str()),
                      os);
  }

  const CacheRuntime runtime = CacheRuntimeOf(settings, home, jvm.path, os);
  StartupCache cache = AddStartupCache(settings, runtime, launch, os);
  const std::int64_t start = os.system.Now();
  // Captured output reaches the log through its pipes; else the log hears
  // the VM's words as they come.
  const JavaEnd end =
      RunJavaMain(launch, os.threads, os.vm, capture ? nullptr : &os.log);
  const std::int64_t seconds = os.system.Now() - start;
  const std::string errorLines = CloseCapture(capture);
  FinishStartupCache(cache, runtime, os);
  if (end.kind == JavaEndKind::kNoThread) {
    return NotStarted("No thread could be made for the Java application.", os);
  }
  if (end.kind == JavaEndKind::kNotCreated) {
    os.ui.ShowMessageBox(
        "The Java VM could not be created.\n" + end.creationMessages, "Error",
        kBoxError);
    return {LaunchEnd::kApplicationEnded, 1};
  }
  ReportApplicationEnd(settings, jvm.path, end.code, seconds, errorLines, os);
  return {LaunchEnd::kApplicationEnded, end.code};
}

LaunchResult InProcessLaunch::RunAgain(LaunchSettings& settings,
                                       PlatformOps& os) {
  // The launcher again, as a new process, from where this one began: its
  // own executable by its full path, whatever the command line calls it.
  os.system.SetEnvironment(
      kRestartedByVariable,
      Format("%u", static_cast<unsigned>(os.program.ProcessId())));
  ChildOptions options;
  options.program = os.program.ModulePath();
  StartedProcess again = StartApplicationProcess(
      settings, os.program.OwnCommandLine(), settings.launchDirectory,
      std::nullopt, options, nullptr, os);
  if (!again.ok) {
    return NotStarted(Format("The launcher could not be started again.\n"
                             "Error %u: %s",
                             static_cast<unsigned>(again.errorCode),
                             os.system.ErrorMessage(again.errorCode).c_str()),
                      os);
  }
  ScopedProcess process(os.processes, again);
  os.processes.WaitForEnd(process.get());
  return {LaunchEnd::kApplicationEnded,
          static_cast<std::int32_t>(
              os.processes.ProcessExitCode(process.get()))};
}
