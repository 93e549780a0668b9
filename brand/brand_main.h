#ifndef LAUNCHER_BRAND_BRAND_MAIN_H_
#define LAUNCHER_BRAND_BRAND_MAIN_H_

// launcher-brand without its entry point: the same on every system.

#include <ostream>
#include <string>
#include <vector>

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;  // an input was refused or OUTPUT not written
constexpr int kExitUsage = 2;

// Runs the tool on `args` (UTF-8, without the program name). Help and the
// version go to `out`; warnings and the one-line error to `err`.
int BrandMain(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);

#endif  // LAUNCHER_BRAND_BRAND_MAIN_H_
