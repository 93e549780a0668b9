#include "runtime/download_prompt.h"

#include "platform/scoped_process.h"
#include "text/text_helpers.h"

std::optional<std::string> DownloadPageFor(
    const std::optional<std::string>& javaVersion) {
  if (!javaVersion || javaVersion->empty()) return std::nullopt;
  if (StartsWith(*javaVersion, "1.4.2")) {
    return std::string(kDeveloperDownloadSite) + kRuntime142Page;
  }
  if (StartsWith(*javaVersion, "1.5")) {
    return std::string(kConsumerDownloadSite) + kLatestRuntimePage;
  }
  return std::nullopt;
}

const char* ApplicationName(const LaunchSettings& settings) {
  if (settings.appname && !settings.appname->empty()) {
    return settings.appname->c_str();
  }
  return OrNull(MainName(settings));
}

bool AskDownloadQuestion(const std::string& caption,
                         const std::string& versionText,
                         const std::optional<std::string>& page,
                         const LaunchSettings& settings, PlatformOps& os) {
  // Formatted into a growing text, so a long name or version is never cut.
  const std::string question = Format(
      "%s requires the Java Runtime Environment version %s\nDo you want to "
      "download it?",
      ApplicationName(settings), versionText.c_str());
  if (!settings.flavour.asksQuestions) {
    os.ui.ShowMessageBox(page ? question + "\nDownload page: " + *page : question,
                      caption, kBoxError);
    return false;
  }
  return os.ui.ShowMessageBox(question, caption, kBoxYesNoError) == kAnswerYes;
}

void OpenUrl(const std::string& url, PlatformOps& os) {
  // A quote would end the URL's argument early and hand the rest to the URL
  // handler as further arguments; %22 is the same character inside a URL.
  std::string safe;
  for (char c : url) safe += c == '"' ? std::string("%22") : std::string(1, c);
  // The system's URL handler opens the page in the default browser. The
  // launcher does not wait for it, and a failed start leaves nothing to do.
  const std::string command =
      Format("rundll32 url.dll,FileProtocolHandler \"%s\"", safe.c_str());
  const StartedProcess started =
      os.processes.StartProcess(command, std::nullopt, std::nullopt);
  os.log.ProcessStarted(command, started.ok);
  ScopedProcess handler(os.processes, started);
}

void AskRuntimeDownload(const std::string& caption,
                        const LaunchSettings& settings, PlatformOps& os) {
  const std::string version = OrNull(settings.javaVersion);
  const std::optional<std::string> page = DownloadPageFor(settings.javaVersion);
  if (AskDownloadQuestion(caption, version, page, settings, os)) {
    OpenDownloadPage(settings, os);
  }
}

ExitCode PromptRuntimeDownload(const std::string& caption,
                               const LaunchSettings& settings,
                               PlatformOps& os) {
  AskRuntimeDownload(caption, settings, os);
  return ExitCode::kRuntimeDownloadAsked;
}

void OpenDownloadPage(const LaunchSettings& settings, PlatformOps& os) {
  const std::optional<std::string> page = DownloadPageFor(settings.javaVersion);
  if (page) OpenUrl(*page, os);
}
