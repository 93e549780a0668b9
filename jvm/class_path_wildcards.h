#ifndef LAUNCHER_JVM_CLASS_PATH_WILDCARDS_H_
#define LAUNCHER_JVM_CLASS_PATH_WILDCARDS_H_

#include <string>

#include "platform/files.h"

// The java command's class path wildcards, which a VM created through JNI
// does not expand: each entry of the `separator`-separated `list` that is
// "dir/*", "dir\*" or "*" becomes the entries of that directory whose names
// end in ".jar" or ".JAR" exactly (directories and hidden files included),
// in the platform's order, each as dir, the slash the entry used and the
// name ("lib/*" gives "lib/a.jar", "*" gives "a.jar"). An entry that names
// no such file stays as written, and so do all other entries ("lib/*.jar",
// "lib/*/x", empty ones). Quotes are ordinary characters here.
std::string ExpandClassPathWildcards(const std::string& list, char separator,
                                     Files& files);

#endif  // LAUNCHER_JVM_CLASS_PATH_WILDCARDS_H_
