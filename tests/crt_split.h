#ifndef LAUNCHER_TESTS_CRT_SPLIT_H_
#define LAUNCHER_TESTS_CRT_SPLIT_H_

#include <string>
#include <vector>

// Splits a command line into arguments the way the Microsoft C runtime builds
// argv for a program (the rules every runtime version shares):
// - white space (space, tab) outside double quotes separates arguments;
// - 2n backslashes followed by a double quote give n backslashes, and the
//   quote opens or closes a quoted part;
// - 2n+1 backslashes followed by a double quote give n backslashes and a
//   literal double quote;
// - backslashes not followed by a double quote are literal.
// The first argument (the program name) is split by the same rules here,
// which is right for every program path the tests use.
inline std::vector<std::string> SplitLikeCRuntime(const std::string& line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (true) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool inQuotes = false;
    while (i < n) {
      char c = line[i];
      if (!inQuotes && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        std::size_t backslashes = 0;
        while (i < n && line[i] == '\\') {
          ++backslashes;
          ++i;
        }
        if (i < n && line[i] == '"') {
          arg.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(backslashes, '\\');
        }
        continue;
      }
      if (c == '"') {
        // Inside quotes, a doubled quote stands for one literal quote.
        if (inQuotes && i + 1 < n && line[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        inQuotes = !inQuotes;
        ++i;
        continue;
      }
      arg += c;
      ++i;
    }
    args.push_back(arg);
  }
  return args;
}

#endif  // LAUNCHER_TESTS_CRT_SPLIT_H_
