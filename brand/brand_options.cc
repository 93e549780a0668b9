#include "brand/brand_options.h"

#include "brand/manifest_level.h"
#include "brand/utf.h"

namespace {

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

// The option's place in BrandOptions, for options that take a value.
std::optional<std::string>* ValueOf(BrandOptions* o, const std::string& name) {
  if (name == "--icon") return &o->icon;
  if (name == "--config") return &o->config;
  if (name == "--product-name") return &o->productName;
  if (name == "--description") return &o->description;
  if (name == "--company") return &o->company;
  if (name == "--copyright") return &o->copyright;
  if (name == "--version") return &o->versionText;
  if (name == "--execution-level") return &o->executionLevel;
  if (name == "--jar") return &o->jar;
  return nullptr;
}

}  // namespace

bool ParseVersionNumbers(const std::string& text,
                         std::array<std::uint16_t, 4>* numbers) {
  *numbers = {0, 0, 0, 0};
  std::size_t part = 0, digits = 0;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '.') {
      if (digits == 0 || part >= 4) return false;
      (*numbers)[part++] = static_cast<std::uint16_t>(value);
      value = 0;
      digits = 0;
    } else if (text[i] >= '0' && text[i] <= '9') {
      value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
      ++digits;
      if (value > 0xffff) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool ParseBrandOptions(const std::vector<std::string>& args,
                       BrandOptions* options, std::string* error) {
  *options = BrandOptions();
  if (args.size() == 1 && args[0] == "--version") {
    options->showVersion = true;
    return true;
  }
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->showHelp = true;
      return true;
    }
    if (arg == "--no-jar") {
      if (options->noJar) return Fail(error, arg + " is given twice");
      options->noJar = true;
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::optional<std::string>* value = ValueOf(options, arg);
      if (value == nullptr) return Fail(error, "unknown option " + arg);
      if (i + 1 >= args.size()) return Fail(error, arg + " needs a value");
      if (*value) return Fail(error, arg + " is given twice");
      *value = args[++i];
      continue;
    }
    files.push_back(arg);
  }
  if (files.size() != 2) {
    return Fail(error, "expected INPUT.exe and OUTPUT.exe (see --help)");
  }
  if (options->jar && options->noJar) {
    return Fail(error, "--jar and --no-jar exclude each other");
  }
  options->input = files[0];
  options->output = files[1];
  const std::pair<const char*, const std::optional<std::string>*> texts[] = {
      {"--product-name", &options->productName},
      {"--description", &options->description},
      {"--company", &options->company},
      {"--copyright", &options->copyright},
      {"--icon", &options->icon},
      {"--config", &options->config},
      {"--jar", &options->jar}};
  std::u16string unused;
  for (const auto& [name, text] : texts) {
    if (*text && !Utf8ToUtf16(**text, &unused)) {
      return Fail(error, std::string(name) + " is not valid UTF-8");
    }
  }
  if (!Utf8ToUtf16(options->input, &unused) ||
      !Utf8ToUtf16(options->output, &unused)) {
    return Fail(error, "a file name is not valid UTF-8");
  }
  if (options->versionText) {
    std::array<std::uint16_t, 4> numbers;
    if (!ParseVersionNumbers(*options->versionText, &numbers)) {
      return Fail(error, "--version needs 1 to 4 numbers of at most 65535, "
                         "as in 2.1 or 1.0.3.12, not \"" +
                             *options->versionText + "\"");
    }
    options->versionNumbers = numbers;
  }
  if (options->executionLevel && !IsExecutionLevel(*options->executionLevel)) {
    return Fail(error, "--execution-level must be asInvoker, "
                       "highestAvailable or requireAdministrator, not \"" +
                           *options->executionLevel + "\"");
  }
  return true;
}

std::string BrandUsage() {
  return "Usage: launcher-brand INPUT.exe OUTPUT.exe [options]\n"
         "Gives a copy of the launcher its own icon, version information,\n"
         "execution level, embedded configuration and application archive.\n"
         "\n"
         "  --icon FILE.ico            the program's icon: replaces icon group"
         " 101 with every\n"
         "                             image of FILE.ico (its old images are"
         " removed)\n"
         "  --product-name TEXT        ProductName\n"
         "  --description TEXT         FileDescription (what Task Manager and"
         " the taskbar show)\n"
         "  --company TEXT             CompanyName\n"
         "  --copyright TEXT           LegalCopyright\n"
         "  --version A.B[.C[.D]]      FileVersion and ProductVersion, as text"
         " and as the fixed\n"
         "                             numbers\n"
         "  --execution-level LEVEL    asInvoker | highestAvailable |"
         " requireAdministrator\n"
         "                             (in the manifest)\n"
         "  --config FILE              embeds FILE (at most 1 MiB) as the"
         " configuration\n"
         "  --jar FILE.jar             appends FILE (a zip or jar, at most"
         " 1 GiB) after the\n"
         "                             image, byte for byte, in place of an"
         " archive INPUT\n"
         "                             carries; the launcher puts itself on"
         " the class path\n"
         "  --no-jar                   removes the archive INPUT carries\n"
         "  --help                     this text\n"
         "  --version                  alone: the version of launcher-brand\n"
         "\n"
         "OUTPUT may be INPUT. Options not given leave what INPUT has;\n"
         "OriginalFilename and InternalName become OUTPUT's file name; an\n"
         "archive INPUT carries stays unless --jar or --no-jar is given. A\n"
         "signature of INPUT is removed: sign OUTPUT afterwards, after the\n"
         "archive is embedded.\n"
         "\n"
         "Exit codes: 0 done; 1 an input file was refused or OUTPUT could "
         "not be\n"
         "written (nothing was changed); 2 the command line is wrong.\n";
}
