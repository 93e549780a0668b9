#ifndef LAUNCHER_RUNTIME_JAVA_VERSION_H_
#define LAUNCHER_RUNTIME_JAVA_VERSION_H_

#include <optional>
#include <string>
#include <vector>

// A runtime version as numbers, in the numbering that runtimes use from
// version 9 on: '1.8.0_201' is {8, 0, 201}, '17.0.9' is {17, 0, 9}.
struct JavaVersion {
  std::vector<long> parts;  // never empty
};

// Reads a version as runtimes and their installers write it: '11',
// '17.0.9', '21.0.1.12', '1.8.0_201', with an optional suffix that begins
// with '+' or '-' ('17.0.9+9', '1.8.0_201-b09', '21-ea'). Leading and
// trailing spaces are ignored. None for anything else, including a number too
// large to be a version part.
std::optional<JavaVersion> ParseJavaVersion(const std::string& text);

// Negative, zero or positive as `a` is below, equal to or above `b`, part by
// part as numbers; missing parts count as 0, so '11' equals '11.0.0'.
int CompareJavaVersions(const JavaVersion& a, const JavaVersion& b);

// True when `version` is at or below the upper bound `max`. A bound counts
// for every version that begins with it, so '17' admits '17.0.9' but not
// '18', and '17.0' admits '17.0.9' but not '17.1'.
bool AtMostVersion(const JavaVersion& version, const JavaVersion& max);

// The parts joined with dots: {8, 0, 201} is '8.0.201'.
std::string JavaVersionText(const JavaVersion& version);

#endif  // LAUNCHER_RUNTIME_JAVA_VERSION_H_
