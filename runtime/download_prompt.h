#ifndef LAUNCHER_RUNTIME_DOWNLOAD_PROMPT_H_
#define LAUNCHER_RUNTIME_DOWNLOAD_PROMPT_H_

#include <optional>
#include <string>

#include "settings/exit_codes.h"
#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// The sites that serve the runtime downloads: the vendor's developer site
// (the 1.4.2 page) and its consumer site (the latest-runtime page). The only
// place that names them.
inline constexpr char kDeveloperDownloadSite[] =
    "http://developer.runtimevendor.net";
inline constexpr char kConsumerDownloadSite[] = "http://www.runtimevendor.net";

// The page paths on those sites.
inline constexpr char kRuntime142Page[] = "/j2se/1.4.2/download.html";
inline constexpr char kLatestRuntimePage[] =
    "/en/download/download_the_latest.jsp";

// The download URL for a requested version: the 1.4.2 page for versions that
// begin with "1.4.2", the latest-runtime page for those that begin with
// "1.5", and none otherwise (also for none or the empty text).
std::optional<std::string> DownloadPageFor(
    const std::optional<std::string>& javaVersion);

// The name the download question gives the application: `appname` when it
// says something, else `mainclass`, else "(null)".
const char* ApplicationName(const LaunchSettings& settings);

// Asks "<name> requires the Java Runtime Environment version <versionText>"
// and whether to download it, in a yes/no error box; true on Yes. A flavour
// that asks no questions shows the question with the address of `page`, if
// any, in an error box instead, and takes it as answered No.
bool AskDownloadQuestion(const std::string& caption,
                         const std::string& versionText,
                         const std::optional<std::string>& page,
                         const LaunchSettings& settings, PlatformOps& os);

// Opens `url` through the system's URL handler without waiting for it.
void OpenUrl(const std::string& url, PlatformOps& os);

// Asks whether to download the runtime that `javaVersion` names; on Yes opens
// the download page. Returns after either answer.
void AskRuntimeDownload(const std::string& caption,
                        const LaunchSettings& settings, PlatformOps& os);

// AskRuntimeDownload; the run then ends with kRuntimeDownloadAsked, which
// this returns, whatever the answer.
[[nodiscard]] ExitCode PromptRuntimeDownload(const std::string& caption,
                                             const LaunchSettings& settings,
                                             PlatformOps& os);

// Opens the vendor's download page for `javaVersion` through the system's URL
// handler, when there is one for that version.
void OpenDownloadPage(const LaunchSettings& settings, PlatformOps& os);

#endif  // LAUNCHER_RUNTIME_DOWNLOAD_PROMPT_H_
