#include "runtime/download_prompt.h"

#include "launcher/text_format.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The name the question gives the application: `appname` when it says
// something, else `mainclass`, else what the C library prints for a missing
// text.
const char* ApplicationName(const LaunchSettings& settings) {
  if (settings.appname && !settings.appname->empty()) {
    return settings.appname->c_str();
  }
  return OrNull(settings.mainclass ? &*settings.mainclass : nullptr);
}

}  // namespace

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

void AskRuntimeDownload(const std::string& caption,
                        const LaunchSettings& settings, PlatformOps& os) {
  // Formatted into a growing text, so a long name or version is never cut.
  const std::string question = Format(
      "%s requires the Java Runtime Environment version %s\nDo you want to "
      "download it?",
      ApplicationName(settings),
      OrNull(settings.javaVersion ? &*settings.javaVersion : nullptr));
  if (os.ShowMessageBox(question, caption, kBoxYesNoError) == kAnswerYes) {
    OpenDownloadPage(settings, os);
  }
}

void PromptRuntimeDownload(const std::string& caption,
                           const LaunchSettings& settings, PlatformOps& os) {
  AskRuntimeDownload(caption, settings, os);
  EndProcess(os, 11);
}

void OpenDownloadPage(const LaunchSettings& settings, PlatformOps& os) {
  const std::optional<std::string> page = DownloadPageFor(settings.javaVersion);
  if (!page) return;
  // The system's URL handler opens the page in the default browser. The
  // launcher does not wait for it, and a failed start leaves nothing to do.
  StartedProcess handler = os.StartProcess(
      Format("rundll32 url.dll,FileProtocolHandler \"%s\"", page->c_str()),
      std::nullopt, std::nullopt);
  if (handler.ok) os.CloseProcess(handler.handle);
}
