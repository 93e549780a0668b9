#ifndef LAUNCHER_BRAND_BRAND_OPTIONS_H_
#define LAUNCHER_BRAND_BRAND_OPTIONS_H_

// The command line of launcher-brand.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BrandOptions {
  bool showHelp = false;
  bool showVersion = false;  // --version alone: the tool's own version
  std::string input;         // UTF-8 paths
  std::string output;
  std::optional<std::string> icon;
  std::optional<std::string> config;
  // Version strings as given (valid UTF-8): ProductName, FileDescription,
  // CompanyName, LegalCopyright.
  std::optional<std::string> productName, description, company, copyright;
  std::optional<std::string> versionText;
  std::optional<std::array<std::uint16_t, 4>> versionNumbers;
  std::optional<std::string> executionLevel;
  std::optional<std::string> jar;  // the archive to append
  bool noJar = false;              // remove the archive INPUT carries
};

// Reads the arguments after the program name. Refuses unknown options, a
// missing or repeated value, text that is not UTF-8, a version that is not
// one to four numbers of at most 65535, an unknown execution level, and
// --jar with --no-jar.
bool ParseBrandOptions(const std::vector<std::string>& args,
                       BrandOptions* options, std::string* error);

// "A[.B[.C[.D]]]": one to four parts of digits only, each at most 65535;
// missing parts are 0.
bool ParseVersionNumbers(const std::string& text,
                         std::array<std::uint16_t, 4>* numbers);

// The text --help prints.
std::string BrandUsage();

#endif  // LAUNCHER_BRAND_BRAND_OPTIONS_H_
