#include "jvm/argument_files.h"

#include "text/text_helpers.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Where the splitter stands between two characters.
enum class At {
  kGap,         // between words
  kComment,     // after '#', up to the line's end
  kWord,        // in a word, outside quotes
  kQuote,       // inside quotes
  kEscape,      // after a backslash inside quotes
  kContinued,   // after a backslash and a line break inside quotes
};

// A word as it grows: `done` holds what quotes and escapes closed off, `run`
// the stretch of text since then. A NUL cuts the rest of its stretch, as a
// C string would. `held` tells a word that has anything (text, a NUL, a
// backslash) from one that is nothing but empty quotes.
struct Growing {
  std::string done;
  std::string run;
  bool cut = false;
  bool held = false;
  std::size_t runBytes = 0;

  void Add(char c) {
    ++runBytes;
    if (c == '\0') cut = true;
    if (!cut) run += c;
  }
  void CloseRun() {
    done += run;
    held = held || runBytes > 0;
    DropRun();
  }
  void DropRun() {
    run.clear();
    cut = false;
    runBytes = 0;
  }
  std::string Take() {
    CloseRun();
    held = false;
    std::string word;
    word.swap(done);
    return word;
  }
};

char Unescaped(char c) {
  switch (c) {
    case 't': return '\t';
    case 'n': return '\n';
    case 'r': return '\r';
    case 'f': return '\f';
    default: return c;
  }
}

// True when `path` names a directory, which java reports apart from a file
// it cannot open.
bool IsDirectory(const std::string& path, Files& files) {
  if (path.find_first_of("*?") != std::string::npos) return false;
  std::string bare = path;
  while (bare.size() > 1 && (bare.back() == '/' || bare.back() == '\\')) {
    bare.pop_back();
  }
  std::vector<DirEntry> found = files.FindFiles(bare);
  return found.size() == 1 && (found[0].attributes & kAttributeDirectory);
}

}  // namespace

std::vector<std::string> SplitArgumentFile(const std::string& content) {
  std::vector<std::string> words;
  Growing word;
  At at = At::kGap;
  char quote = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    switch (at) {
      case At::kGap:
        if (c == '#') {
          at = At::kComment;
        } else if (!IsSpace(c)) {
          at = At::kWord;
          --i;  // the word's first character, seen again
        }
        break;
      case At::kComment:
        if (IsLineEnd(c)) at = At::kGap;
        break;
      case At::kWord:
        if (IsSpace(c)) {
          words.push_back(word.Take());
          at = At::kGap;
        } else if (c == '#') {
          word.DropRun();
          at = At::kComment;
        } else if (c == '"' || c == '\'') {
          word.CloseRun();
          quote = c;
          at = At::kQuote;
        } else {
          word.Add(c);
        }
        break;
      case At::kQuote:
        if (IsLineEnd(c)) {
          words.push_back(word.Take());
          at = At::kGap;
        } else if (c == '\\') {
          word.CloseRun();
          word.held = true;
          at = At::kEscape;
        } else if (c == quote) {
          word.CloseRun();
          at = At::kWord;
        } else {
          word.Add(c);
        }
        break;
      case At::kEscape:
        if (IsLineEnd(c)) {
          at = At::kContinued;
        } else {
          if (c != '\0') word.done += Unescaped(c);
          at = At::kQuote;
        }
        break;
      case At::kContinued:
        if (!IsSpace(c)) {
          at = At::kQuote;
          --i;
        }
        break;
    }
  }
  // The end of the text ends a word only when it holds something.
  if (at == At::kWord || at == At::kQuote) {
    word.CloseRun();
    if (word.held) words.push_back(word.Take());
  }
  return words;
}

bool SwitchesArgumentFilesOff(const std::string& word, int javaVersion,
                              bool* keep) {
  if (word != "--disable-@files") return false;
  *keep = javaVersion != 0 && javaVersion < 25;
  return true;
}

bool ReadArgumentFile(const std::string& path, int javaVersion, Files& files,
                      std::vector<std::string>* words, std::string* error) {
  std::string content, readError;
  if (!files.ReadFile(path, &content, &readError)) {
    if (!IsDirectory(path, files)) {
      *error = Format("Error: could not open `%s'\n", path.c_str());
    } else if (javaVersion != 0 && javaVersion < 25) {
      *error = Format("Error: loading: %s\n", path.c_str());
    } else {
      *error = Format("Error: Failed to read %s\n", path.c_str());
    }
    return false;
  }
  *words = SplitArgumentFile(content);
  return true;
}

bool ExpandArgumentFiles(const std::vector<std::string>& words,
                         int javaVersion, Files& files,
                         std::vector<std::string>* expanded,
                         std::string* error, bool expansionOff) {
  std::vector<std::string> result;
  bool keep = true;
  // Adds a word that is not itself an @argfile.
  auto add = [&](const std::string& word) {
    if (SwitchesArgumentFilesOff(word, javaVersion, &keep)) {
      expansionOff = true;
      if (!keep) return;
    }
    result.push_back(word);
  };
  for (const std::string& word : words) {
    if (expansionOff || word.size() < 2 || word[0] != '@') {
      add(word);
    } else if (word[1] == '@') {
      result.push_back(word.substr(1));
    } else {
      std::vector<std::string> inFile;
      if (!ReadArgumentFile(word.substr(1), javaVersion, files, &inFile,
                            error)) {
        return false;
      }
      for (const std::string& fileWord : inFile) add(fileWord);
    }
  }
  expanded->swap(result);
  return true;
}
