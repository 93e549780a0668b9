#include "runtime/update_selection.h"

#include <climits>
#include <cstdint>

#include "runtime/download_prompt.h"
#include "runtime/registry_reader.h"
#include "text/text_helpers.h"

namespace {

// White space as the C library's isspace knows it in the "C" locale.
bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

}  // namespace

int ReadUpdateLevel(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The magnitude stops growing one past INT_MAX, which is exactly INT_MIN's
  // magnitude; every further digit is still read but changes nothing.
  const std::int64_t cap = static_cast<std::int64_t>(INT_MAX) + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude < cap) {
      magnitude = magnitude * 10 + (text[i] - '0');
      if (magnitude > cap) magnitude = cap;
    }
  }
  if (negative) return static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

std::optional<int> UpdateLevelOf(const std::string& version) {
  const std::size_t underscore = version.find('_');
  if (underscore == std::string::npos) return std::nullopt;
  return ReadUpdateLevel(version.substr(underscore + 1));
}

FatalExit SelectLatestUpdate(LaunchSettings& settings, PlatformOps& os) {
  if (!settings.javaVersion || settings.javaVersion->empty()) {
    return std::nullopt;
  }
  const std::string& javaVersion = *settings.javaVersion;

  std::vector<std::string> subkeys;
  if (!ListSubkeys(kRuntimeRootKey, RegistryView::kDefault, os.registry, &subkeys)) {
    if (settings.debugMode) {
      os.ui.ShowMessageBox("Java Current Version", "Error Accessing Registry!",
                        kBoxError);
    }
    return PromptRuntimeDownload("Java Runtime Environment Not Found", settings,
                                 os);
  }

  // The family asked for is the text before the first '_' ('1.6.0' of
  // '1.6.0_20+'), whatever its length; the level asked for is the number
  // after it ('20'), or 0 for a bare family.
  const std::string requestedVersion =
      javaVersion.substr(0, javaVersion.find('_'));
  int bestUpdate = UpdateLevelOf(javaVersion).value_or(0);
  std::string bestKey;
  os.ui.WriteOut(Format("javaVersion=%s, javaVer=%s\n", javaVersion.c_str(),
                     requestedVersion.c_str()));

  for (std::size_t index = 0; index < subkeys.size(); ++index) {
    const std::string& name = subkeys[index];
    if (name.empty()) continue;  // its name could not be read
    os.ui.WriteOut(Format("checking (%lu) %s\n",
                       static_cast<unsigned long>(index) + 1, name.c_str()));
    // A textual prefix: '1.6' also accepts '1.60_5', and an empty family
    // accepts every name.
    if (name.compare(0, requestedVersion.size(), requestedVersion) != 0) {
      continue;
    }
    os.ui.WriteOut(Format("found correct java version %s. checking patch level\n",
                       name.c_str()));
    const std::optional<int> level = UpdateLevelOf(name);
    if (!level) {
      os.ui.WriteOut(Format("No patch level found in %s\n", name.c_str()));
      continue;
    }
    os.ui.WriteOut(
        Format("checking patch level %d against %d\n", *level, bestUpdate));
    // Not strictly greater: of equal levels the one enumerated last wins.
    if (*level >= bestUpdate) {
      bestUpdate = *level;
      bestKey = name;
      os.ui.WriteOut(Format("found latest java version %s\n", name.c_str()));
    }
  }

  // Only a positive level selects a subkey; a family whose installed keys
  // carry no level (or level 0) keeps the version as configured.
  if (bestUpdate <= 0) return std::nullopt;
  if (bestKey.empty()) {
    return PromptRuntimeDownload("Incompatible JRE Version Found", settings,
                                 os);
  }
  settings.javaVersion = bestKey;
  return std::nullopt;
}
