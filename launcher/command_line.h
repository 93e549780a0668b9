#ifndef LAUNCHER_LAUNCHER_COMMAND_LINE_H_
#define LAUNCHER_LAUNCHER_COMMAND_LINE_H_

#include <cstddef>
#include <string>

#include "settings/launch_settings.h"

// The longest command line Windows accepts for a new process.
constexpr std::size_t kMaxCommandLineLength = 32767;

// The size that the debug trace reports for the command line: each piece's
// length plus its separators and possible quotes. It exceeds the assembled
// text unless escaped double quotes in arguments lengthen it; the text itself
// grows as needed, so the count is only ever reported.
long long CommandLineSizeCount(const LaunchSettings& settings);

// Writes one application argument the way the child's C runtime will split it
// back out: enclosed in double quotes when it holds a space, a tab, '*' or
// '?', or when `quoteAlways` is set; embedded double quotes (and the
// backslashes before them) escaped, and trailing backslashes doubled before a
// closing quote. Any other argument is written exactly as it stands.
std::string QuoteArgument(const std::string& argument, bool quoteAlways);

// True when QuoteArgument encloses `argument` in double quotes.
bool ArgumentNeedsQuotes(const std::string& argument, bool quoteAlways);

// A class path entry that means the same file whatever the application's
// current directory: a relative entry is put below `startDir`, then quoted
// by the C runtime's rules when that made it hold a space. An absolute entry
// (a drive, or a root or network path), quoted or not, stays as it is.
std::string AbsoluteClassPathEntry(const std::string& entry,
                                   const std::string& startDir);

// The child's command line: javapath, VM parameters (then `moreVmOptions`,
// the launcher's own, each a word quoted as needed), "-classpath" and the
// class path, the main class (or "-m" and the module, after a class path
// only when there is one), then the application arguments each followed by
// a space.
std::string BuildCommandLine(const LaunchSettings& settings,
                             const std::vector<std::string>& moreVmOptions = {});

#endif  // LAUNCHER_LAUNCHER_COMMAND_LINE_H_
