#include "runtime/registry_lookup.h"

#include "runtime/download_prompt.h"
#include "runtime/update_selection.h"
#include "text/text_helpers.h"

namespace {

// Each failure is one fixed "Error!" box for the user; debug mode shows the
// registry step that failed in a box of its own first.
struct RegistryFailure {
  const char* debugText;
  const char* debugCaption;
  const char* userText;
};

constexpr RegistryFailure kRootKeyUnreadable = {
    kRuntimeRootKey, "Error Accessing Registry!", "No Java Installation Found"};
constexpr RegistryFailure kCurrentVersionUnreadable = {
    "Java Current Version Key", "Error Reading Registry",
    "No Java Installation Found"};
constexpr RegistryFailure kCurrentVersionKeyMissing = {
    "Java Current Version", "Error Accessing Registry!",
    "No Java Installation (No Current Version) Found"};
constexpr RegistryFailure kJavaHomeUnreadable = {
    "Java Home Directory", "Error Reading Registry!",
    "No Java Installation Home Directory Found"};

void ShowDebugStep(const char* text, const char* caption,
                   const LaunchSettings& settings, PlatformOps& os) {
  if (settings.debugMode) os.ui.ShowMessageBox(text, caption, kBoxError);
}

std::nullopt_t Report(const RegistryFailure& failure,
                      const LaunchSettings& settings, PlatformOps& os) {
  ShowDebugStep(failure.debugText, failure.debugCaption, settings, os);
  os.ui.ShowMessageBox(failure.userText, "Error!", kBoxError);
  return std::nullopt;
}

// What to tell the user about a read that failed: `noKey` when its key could
// not be opened, `noValue` when its value could not be read; none when it
// succeeded.
const RegistryFailure* FailureOf(RegistryError error,
                                 const RegistryFailure& noKey,
                                 const RegistryFailure& noValue) {
  if (error == RegistryError::kNone) return nullptr;
  return error == RegistryError::kKeyNotOpened ? &noKey : &noValue;
}

// A version text that names one exact installed update ('1.6.0_20') is used
// as it is; a family ('1.6') or a minimum update ('1.6.0_20+') is first turned
// into the best installed update.
bool NamesExactUpdate(const std::string& version) {
  return version.find('_') != std::string::npos &&
         version.find('+') == std::string::npos;
}

}  // namespace

std::string RuntimeVersionKeyPath(const std::string& version) {
  return JoinKeyPath(kRuntimeRootKey, version);
}

const char* RuntimeExecutableName(const LaunchSettings& settings) {
  return settings.debugMode || settings.flavour.sharesConsole
             ? kConsoleRuntime
             : kWindowlessRuntime;
}

std::string RuntimeExecutableFromHome(const std::string& home,
                                      const LaunchSettings& settings,
                                      PlatformOps& os) {
  // A home with a space would split the command line; from Vista on every
  // runtime path is quoted.
  const bool quoted =
      settings.quoteAlways || home.find(' ') != std::string::npos;
  std::string path;
  if (quoted) {
    if (settings.debugMode) {
      os.ui.ShowMessageBox(home, "Adding double quotes around", kBoxPlain);
    }
    path += '"';
  }
  path += home;
  path += "\\bin\\";
  path += RuntimeExecutableName(settings);
  if (quoted) path += '"';
  return path;
}

std::optional<std::string> FindDefaultRuntime(const LaunchSettings& settings,
                                              PlatformOps& os) {
  std::string currentVersion;
  if (const RegistryFailure* failure = FailureOf(
          ReadRegistryText(kRuntimeRootKey, "CurrentVersion",
                           kCurrentVersionMaxBytes, RegistryView::kDefault, os.registry,
                           &currentVersion),
          kRootKeyUnreadable, kCurrentVersionUnreadable)) {
    return Report(*failure, settings, os);
  }
  std::string home;
  if (const RegistryFailure* failure = FailureOf(
          ReadJavaHome(RuntimeVersionKeyPath(currentVersion), os.registry, &home),
          kCurrentVersionKeyMissing, kJavaHomeUnreadable)) {
    return Report(*failure, settings, os);
  }
  std::string executable = RuntimeExecutableFromHome(home, settings, os);
  os.log.Note(Format("runtime: %s (the registry's current runtime, %s)",
                 executable.c_str(), currentVersion.c_str()));
  return executable;
}

std::optional<std::string> FindRuntimeForVersion(LaunchSettings& settings,
                                                 PlatformOps& os,
                                                 FatalExit* fatal) {
  if (!settings.javaVersion || settings.javaVersion->empty()) {
    return std::nullopt;
  }
  if (!NamesExactUpdate(*settings.javaVersion)) {
    // May replace javaVersion, or end the run.
    *fatal = SelectLatestUpdate(settings, os);
    if (*fatal) return std::nullopt;
  }

  const std::string keyPath = RuntimeVersionKeyPath(*settings.javaVersion);
  if (settings.debugMode) {
    os.ui.ShowMessageBox(keyPath, "JavaInstallRegPath", kBoxPlain);
  }

  std::string home;
  switch (ReadJavaHome(keyPath, os.registry, &home)) {
    case RegistryError::kKeyNotOpened:
      ShowDebugStep("Java Current Version", "Error Accessing Registry!",
                    settings, os);
      // The javaVersion line ends the run (exit code 5) after either answer.
      AskRuntimeDownload("Java Runtime Environment Not Found", settings, os);
      return std::nullopt;
    case RegistryError::kValueUnreadable:
      ShowDebugStep("Java Home Directory", "Error Reading Registry!", settings,
                    os);
      os.ui.ShowMessageBox("No Java Home Directory Found for " + keyPath + " ",
                        "Error!", kBoxError);
      return std::nullopt;
    case RegistryError::kNone:
      break;
  }
  return RuntimeExecutableFromHome(home, settings, os);
}
