#include "runtime/release_file.h"

#include "text/text_helpers.h"

std::optional<JavaVersion> ReleaseFileVersion(const std::string& home,
                                              Files& files) {
  std::string content;
  std::string error;
  if (!files.ReadFile(home + "\\release", &content, &error)) return std::nullopt;
  const std::string key = "JAVA_VERSION=";
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key, 0) == 0) {
      std::string value = Trim(line.substr(key.size()));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      return ParseJavaVersion(value);
    }
    start = end + 1;
  }
  return std::nullopt;
}

int FeatureVersion(const std::optional<JavaVersion>& version) {
  return version ? static_cast<int>(version->parts[0]) : 0;
}
