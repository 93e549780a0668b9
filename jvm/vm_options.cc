#include "jvm/vm_options.h"

#include <cstring>

#include "text/command_words.h"
#include "text/text_helpers.h"

namespace {

// The options of the module system that the java command takes with their
// value as the next word; the VM takes them only as "--opt=value".
bool TakesNextWord(const std::string& word) {
  static const char* const kOptions[] = {
      "--add-opens",     "--add-exports",  "--add-reads",
      "--add-modules",   "--module-path",  "--upgrade-module-path",
      "--limit-modules", "--patch-module", "--enable-native-access"};
  for (const char* option : kOptions) {
    if (word == option) return true;
  }
  return false;
}

// The java command's own options that do something this launcher does not
// do in its own process (they list, describe or check, or run another kind
// of application); the VM would refuse them.
bool IsUnsupportedJavaOption(const std::string& word) {
  static const char* const kWhole[] = {
      "-jar",         "-m",           "--module",
      "--list-modules", "-d",         "--describe-module",
      "--validate-modules", "--show-module-resolution", "--source",
      "-?",           "-h",           "-help",
      "--help",       "-X",           "--help-extra",
      "-XshowSettings"};
  for (const char* option : kWhole) {
    if (word == option) return true;
  }
  static const char* const kPrefixes[] = {"--module=", "--describe-module=",
                                          "--source=", "-XshowSettings:"};
  for (const char* prefix : kPrefixes) {
    if (StartsWith(word, prefix)) return true;
  }
  return false;
}

// The bytes that "-Xss<digits>[kKmMgG]" names; 0 for any other form, which
// the VM then refuses in its own words.
std::size_t StackBytes(const std::string& word) {
  std::size_t bytes = 0;
  std::size_t i = 4;
  for (; i < word.size() && IsDigit(word[i]); ++i) {
    std::size_t more = bytes * 10 + static_cast<std::size_t>(word[i] - '0');
    if (more / 10 != bytes) return 0;
    bytes = more;
  }
  if (i == 4) return 0;
  if (i + 1 == word.size()) {
    const char* unit = std::strchr("kKmMgG", word[i]);
    if (unit == nullptr) return 0;
    unsigned shift = static_cast<unsigned>(10 * (1 + (unit - "kKmMgG") / 2));
    if (bytes > (static_cast<std::size_t>(-1) >> shift)) return 0;
    bytes <<= shift;
  } else if (i != word.size()) {
    return 0;
  }
  return bytes;
}

// The version options: which is which.
bool VersionOption(const std::string& word, VersionRequest* request) {
  static const struct {
    const char* option;
    VersionRequest request;
  } kForms[] = {
      {"-version", {true, false, false, false}},
      {"--version", {true, true, false, false}},
      {"-showversion", {true, false, false, true}},
      {"--show-version", {true, true, false, true}},
      {"-fullversion", {true, false, true, false}},
      {"--full-version", {true, true, true, false}},
  };
  for (const auto& form : kForms) {
    if (word == form.option) {
      // The first that ends the run wins; one that runs on gives way to it.
      if (!request->asked || request->thenRun) *request = form.request;
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> VmParamWords(const std::vector<std::string>& vmParams) {
  std::vector<std::string> words;
  for (const std::string& param : vmParams) {
    for (std::string& word : SplitCommandWords(param)) {
      words.push_back(std::move(word));
    }
  }
  return words;
}

VmOptions TranslateJavaOptions(const std::vector<std::string>& words) {
  VmOptions result;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    bool valueFollows = i + 1 < words.size();
    if (StartsWith(word, "--class-path=")) {
      result.classPath.push_back(word.substr(13));
    } else if (valueFollows && (word == "-cp" || word == "-classpath" ||
                                word == "--class-path")) {
      result.classPath.push_back(words[++i]);
    } else if (valueFollows && word == "-p") {
      result.options.push_back("--module-path=" + words[++i]);
    } else if (valueFollows && TakesNextWord(word)) {
      result.options.push_back(word + '=' + words[++i]);
    } else if (word == "-server" || word == "-client") {
      result.vmKind = word.substr(1);
    } else if (StartsWith(word, "-splash:")) {
      result.splash = word.substr(8);
    } else if (word == "--dry-run") {
      result.dryRun = true;
    } else if (word == "-Xdiag" || VersionOption(word, &result.version)) {
      // -Xdiag adds the java command's own stack traces to its messages,
      // which are this launcher's here.
    } else if (IsUnsupportedJavaOption(word)) {
      if (result.unsupported.empty()) result.unsupported = word;
    } else {
      if (StartsWith(word, "-Xss")) result.stackBytes = StackBytes(word);
      result.options.push_back(word);
    }
  }
  return result;
}

VmOptions TranslateVmParams(const std::vector<std::string>& vmParams) {
  return TranslateJavaOptions(VmParamWords(vmParams));
}
