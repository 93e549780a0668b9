#include "jvm/class_path_wildcards.h"

#include <vector>

namespace {

bool EndsWith(const std::string& text, const char* suffix) {
  const std::string tail(suffix);
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// `entry` as java gives it to the VM: the jar files of a wildcard's
// directory, or itself.
std::string ExpandEntry(const std::string& entry, char separator,
                        Files& files) {
  std::string prefix;  // the directory and its slash, as written
  if (entry != "*") {
    if (!EndsWith(entry, "/*") && !EndsWith(entry, "\\*")) return entry;
    prefix = entry.substr(0, entry.size() - 1);
  }
  const std::string pattern =
      prefix.empty() ? "*" : prefix.substr(0, prefix.size() - 1) + "\\*";
  std::string jars;
  for (const DirEntry& found : files.FindFiles(pattern)) {
    // Case matters: java takes "x.jar" and "x.JAR", never "x.Jar".
    if (!EndsWith(found.name, ".jar") && !EndsWith(found.name, ".JAR")) {
      continue;
    }
    if (!jars.empty()) jars += separator;
    jars += prefix + found.name;
  }
  return jars.empty() ? entry : jars;
}

}  // namespace

std::string ExpandClassPathWildcards(const std::string& list, char separator,
                                     Files& files) {
  std::string result;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = list.find(separator, start);
    result += ExpandEntry(list.substr(start, end - start), separator, files);
    if (end == std::string::npos) return result;
    result += separator;
    start = end + 1;
  }
}
