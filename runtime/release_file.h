#ifndef LAUNCHER_RUNTIME_RELEASE_FILE_H_
#define LAUNCHER_RUNTIME_RELEASE_FILE_H_

#include <optional>
#include <string>

#include "platform/files.h"
#include "runtime/java_version.h"

// The version a runtime's `release` file (home\release) names in its
// JAVA_VERSION line; none when it has no such file or line.
std::optional<JavaVersion> ReleaseFileVersion(const std::string& home,
                                              Files& files);

// The feature version of a runtime version: 17 for '17.0.9', 8 for
// '1.8.0_201'; 0 for none.
int FeatureVersion(const std::optional<JavaVersion>& version);

#endif  // LAUNCHER_RUNTIME_RELEASE_FILE_H_
