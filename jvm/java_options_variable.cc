#include "jvm/java_options_variable.h"

#include <optional>

#include "jvm/argument_files.h"
#include "text/text_helpers.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' ||
         c == '\v';
}

bool IsOneOf(const std::string& word, const char* const* list) {
  for (; *list; ++list) {
    if (word == *list) return true;
  }
  return false;
}

// The options whose value is the next word.
constexpr const char* kTakesValue[] = {
    "-cp", "-classpath", "--class-path", "-p", "--module-path",
    "--upgrade-module-path", "--add-modules", "--limit-modules",
    "--add-opens", "--add-exports", "--add-reads", "--patch-module",
    "--enable-native-access", "-d", "--describe-module", "--source", nullptr};

// The options that choose what runs, or end the run before anything does.
constexpr const char* kRefused[] = {
    "-jar", "-m", "--module", "--dry-run", "-version", "--version",
    "-fullversion", "--full-version", "-?", "-h", "-help", "--help", "-X",
    "--help-extra", nullptr};

// Checks the variable's words one by one, as java meets them.
struct Checker {
  int javaVersion;
  JdkJavaOptions* result;
  bool valueNext = false;

  // False (with the error set) when java refuses `word`; `file` is the
  // @file word that held it, or empty.
  bool Take(const std::string& word, const std::string& file) {
    const bool option = !word.empty() && word[0] == '-';
    if (valueNext && !option) {
      valueNext = false;
      result->words.push_back(word);
      return true;
    }
    valueNext = false;
    if (IsOneOf(word, kRefused) || StartsWith(word, "--module=")) {
      result->error = Format(
          "Error: Option %s%s%s is not allowed in environment variable "
          "JDK_JAVA_OPTIONS\n",
          word.c_str(), file.empty() ? "" : " in ", file.c_str());
      return false;
    }
    if (!option) {
      result->error =
          "Error: Cannot specify main class in environment variable "
          "JDK_JAVA_OPTIONS\n";
      return false;
    }
    valueNext = IsOneOf(word, kTakesValue);
    bool keep = true;
    if (SwitchesArgumentFilesOff(word, javaVersion, &keep)) {
      result->argumentFilesOff = true;
      if (!keep) return true;
    }
    result->words.push_back(word);
    return true;
  }
};

// Takes the words of `value` into `result` until java would refuse one.
void CheckWords(const std::string& value, int javaVersion, Files& files,
                JdkJavaOptions* result) {
  std::vector<std::string> words;
  const bool closed = SplitJdkJavaOptions(value, &words);
  Checker checker{javaVersion, result};
  for (const std::string& word : words) {
    if (result->argumentFilesOff || word.size() < 2 || word[0] != '@') {
      if (!checker.Take(word, "")) return;
    } else if (word[1] == '@') {
      if (!checker.Take(word.substr(1), "")) return;
    } else {
      std::vector<std::string> inFile;
      if (!ReadArgumentFile(word.substr(1), javaVersion, files, &inFile,
                            &result->error)) {
        return;
      }
      for (const std::string& fileWord : inFile) {
        if (!checker.Take(fileWord, word)) return;
      }
    }
  }
  if (!closed) {
    result->error =
        "Error: Unmatched quote in environment variable JDK_JAVA_OPTIONS\n";
  }
}

}  // namespace

bool SplitJdkJavaOptions(const std::string& value,
                         std::vector<std::string>* words) {
  std::size_t i = 0;
  while (true) {
    while (i < value.size() && IsSpace(value[i])) ++i;
    if (i == value.size()) return true;
    std::string word;
    while (i < value.size() && !IsSpace(value[i])) {
      const char c = value[i++];
      if (c != '"' && c != '\'') {
        word += c;
        continue;
      }
      const std::size_t close = value.find(c, i);
      if (close == std::string::npos) return false;
      word.append(value, i, close - i);
      i = close + 1;
    }
    words->push_back(word);
  }
}

JdkJavaOptions ReadJdkJavaOptions(System& system, Files& files,
                                  int javaVersion) {
  JdkJavaOptions result;
  if (javaVersion != 0 && javaVersion < 9) return result;
  std::optional<std::string> value = system.Environment("JDK_JAVA_OPTIONS");
  if (!value) return result;
  result.note = "NOTE: Picked up JDK_JAVA_OPTIONS: " + *value + "\n";
  CheckWords(*value, javaVersion, files, &result);
  if (!result.error.empty()) result.words.clear();
  return result;
}
