#ifndef LAUNCHER_TESTS_E2E_STANDIN_CACHE_H_
#define LAUNCHER_TESTS_E2E_STANDIN_CACHE_H_

#include <windows.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

// Writes, as a runtime does at its end, the startup cache file that the
// options ask for (Java 25's recorded configuration or assembled cache, an
// archive made at exit, or an automatic archive not there yet), beginning
// as a VM's files do: the mark of the kind, a checksum, and the format of
// the runtime's base archive (wine_env.install_runtime's).
inline void WriteStartupCache(const std::vector<std::string>& options) {
  std::map<std::string, std::string> given;  // by the name before any '='
  for (const std::string& option : options) {
    const std::size_t equals = option.find('=');
    given[option.substr(0, equals)] =
        equals == std::string::npos ? "" : option.substr(equals + 1);
  }
  const std::string mode = given["-XX:AOTMode"];
  const std::string shared = given["-XX:SharedArchiveFile"];
  std::string path = mode == "record"   ? given["-XX:AOTConfiguration"]
                     : mode == "create" ? given["-XX:AOTCache"]
                                        : given["-XX:ArchiveClassesAtExit"];
  if (path.empty() && given.count("-XX:+AutoCreateSharedArchive") != 0 &&
      GetFileAttributesA(shared.c_str()) == INVALID_FILE_ATTRIBUTES) {
    path = shared;
  }
  FILE* file = path.empty() ? nullptr : fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  const char header[] = "\xa8\xab\x0b\xf0" "crc!" "\x13\0\0\0"
                        " of the stand-in runtime\n";
  fputs(mode == "create" ? "\xa2" : "\xa8", file);
  fwrite(header + 1, 1, sizeof header - 2, file);
  fclose(file);
}

#endif  // LAUNCHER_TESTS_E2E_STANDIN_CACHE_H_
