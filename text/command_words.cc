#include "text/command_words.h"

std::vector<std::string> SplitCommandWords(const std::string& text) {
  std::vector<std::string> words;
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (;;) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == n) return words;
    std::string word;
    bool quoted = false;
    for (; i < n; ++i) {
      char c = text[i];
      if (!quoted && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        std::size_t end = text.find_first_not_of('\\', i);
        if (end == std::string::npos) end = n;
        std::size_t run = end - i;
        bool beforeQuote = end < n && text[end] == '"';
        word.append(beforeQuote ? run / 2 : run, '\\');
        // An odd run before a quote escapes it; an even one leaves the
        // quote to open or close a quoted part on the next turn.
        if (beforeQuote && run % 2 == 1) {
          word += '"';
          i = end;
        } else {
          i = end - 1;
        }
      } else if (c == '"') {
        if (quoted && i + 1 < n && text[i + 1] == '"') {
          word += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
      } else {
        word += c;
      }
    }
    words.push_back(word);
  }
}
