#include "runtime/download_prompt.h"

// Placeholder until the download question lands.
void AskRuntimeDownload(const std::string&, const LaunchSettings&,
                        PlatformOps&) {}

void PromptRuntimeDownload(const std::string& caption,
                           const LaunchSettings& settings, PlatformOps& os) {
  AskRuntimeDownload(caption, settings, os);
  EndProcess(os, 11);
}

void OpenDownloadPage(const LaunchSettings&, PlatformOps&) {}
