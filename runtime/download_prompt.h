#ifndef LAUNCHER_RUNTIME_DOWNLOAD_PROMPT_H_
#define LAUNCHER_RUNTIME_DOWNLOAD_PROMPT_H_

#include <string>

#include "launcher/launch_settings.h"
#include "platform/platform_ops.h"

// Asks whether to download the runtime that `javaVersion` names; on Yes opens
// the download page. Returns after either answer.
void AskRuntimeDownload(const std::string& caption,
                        const LaunchSettings& settings, PlatformOps& os);

// AskRuntimeDownload, then ends the process with exit code 11.
[[noreturn]] void PromptRuntimeDownload(const std::string& caption,
                                        const LaunchSettings& settings,
                                        PlatformOps& os);

// Opens the vendor's download page for `javaVersion` through the system's URL
// handler, when there is one for that version.
void OpenDownloadPage(const LaunchSettings& settings, PlatformOps& os);

#endif  // LAUNCHER_RUNTIME_DOWNLOAD_PROMPT_H_
