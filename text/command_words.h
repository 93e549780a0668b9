#ifndef LAUNCHER_TEXT_COMMAND_WORDS_H_
#define LAUNCHER_TEXT_COMMAND_WORDS_H_

#include <string>
#include <vector>

// The words of `text` as the Microsoft C runtime splits a command line into
// argv: spaces and tabs outside double quotes separate words; 2n backslashes
// before a quote give n backslashes and the quote opens or closes a quoted
// part, 2n+1 give n backslashes and a literal quote; other backslashes are
// literal; inside quotes a doubled quote is one literal quote. Every word,
// the first included, follows these rules.
std::vector<std::string> SplitCommandWords(const std::string& text);

#endif  // LAUNCHER_TEXT_COMMAND_WORDS_H_
