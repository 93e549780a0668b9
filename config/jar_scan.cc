#include "config/jar_scan.h"

#include <vector>

#include "text/text_helpers.h"

void AddJarDirectory(const std::string& directory, LaunchSettings& settings,
                     PlatformOps& os) {
  // The directory text is used exactly as given, quotes included: a quoted
  // directory makes a pattern that finds nothing, as it does on the system.
  const std::vector<DirEntry> matches =
      os.files.FindFiles(Format("%s/*.jar", directory.c_str()));
  if (matches.empty()) {
    if (settings.debugMode) {
      os.ui.WriteOut(Format("No jar files found in [%s]\n", directory.c_str()));
    }
    return;
  }
  for (std::size_t i = 0; i < matches.size(); ++i) {
    const DirEntry& match = matches[i];
    if (match.attributes & kAttributeDirectory) {
      // A directory as the first match ends the whole scan; a later one is
      // only passed over.
      if (i == 0) return;
      continue;
    }
    std::string entry = Format("%s/%s", directory.c_str(), match.name.c_str());
    settings.classPathEntries.push_back(entry);
    if (settings.debugMode) {
      os.ui.WriteOut(Format("adding jar %s\n", entry.c_str()));
    }
  }
}
