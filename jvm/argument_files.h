#ifndef LAUNCHER_JVM_ARGUMENT_FILES_H_
#define LAUNCHER_JVM_ARGUMENT_FILES_H_

#include <string>
#include <vector>

#include "platform/files.h"

// The java command's @argfiles: an option word "@path" stands for the words
// of the file `path`. A VM created through JNI knows nothing of them, so the
// launcher reads them itself, as java would, before it hands the options on.
//
// A file's bytes are taken as they are, in whatever code page they were
// written: no byte order mark is removed and nothing is decoded, so the VM
// reads the words in the system's ANSI code page, as it reads every option.

// The words of an argument file's text, by java's rules:
// - space, TAB, CR, LF and FF separate words (a vertical tab does not);
// - '#' where a word would begin comments out the rest of the line; an
//   unquoted '#' inside a word drops the unquoted stretch it ends and the
//   rest of the line, so that a word without quotes disappears whole, while
//   what quotes gave before it carries on into the next word of a later
//   line (and is lost when none follows);
// - single and double quotes, anywhere in a word, keep whitespace and '#';
//   inside them \t \n \r \f stand for TAB, LF, CR and FF, and a backslash
//   before any other character stands for that character; a backslash
//   before a line break continues the quoted text after the leading
//   whitespace of the next line; outside quotes a backslash is literal;
//   a line break inside quotes ends the word, and so does the end of the
//   text (an unterminated quote is no error); a word ended by the end of
//   the text in the middle of a backslash sequence is lost;
// - "" and '' give empty words, but at the very end of the text a word of
//   nothing but empty quotes is lost;
// - a NUL byte ends the stretch of text it is in, between quotes, escapes
//   and word ends: the rest of that stretch is not part of the word (java
//   keeps its words as C strings), and an escaped NUL stands for nothing.
std::vector<std::string> SplitArgumentFile(const std::string& content);

// Whether `word` is the option that switches @argfiles off for the words
// after it. True for "--disable-@files"; `keep` then says whether it stays
// an option for the VM: java consumes it from feature version 25 on (0,
// unknown, counts as a current runtime), while older ones pass it on and
// their VM refuses it.
bool SwitchesArgumentFilesOff(const std::string& word, int javaVersion,
                              bool* keep);

// The words of the argument file `path`, read as written (a relative path
// from the current directory). On failure returns false and sets `error` to
// java's message, ending with "\n": "Error: could not open `path'", or for
// a directory "Error: Failed to read path" (before feature version 25,
// "Error: loading: path").
bool ReadArgumentFile(const std::string& path, int javaVersion, Files& files,
                      std::vector<std::string>* words, std::string* error);

// `words`, all of which come before the main class, with java's @argfile
// expansion: "@path" is replaced by the words of that file (the words of a
// file are never expanded in turn), "@@text" becomes "@text", a lone "@"
// stays. --disable-@files, in `words` or in a file, switches the expansion
// off for the words after it (then "@@text" stays too); see
// SwitchesArgumentFilesOff for whether it stays a word. `expansionOff`
// starts with the expansion off, as when JDK_JAVA_OPTIONS switched it off.
// On failure returns false, sets `error` as ReadArgumentFile does and
// leaves `expanded` untouched.
bool ExpandArgumentFiles(const std::vector<std::string>& words,
                         int javaVersion, Files& files,
                         std::vector<std::string>* expanded,
                         std::string* error, bool expansionOff = false);

#endif  // LAUNCHER_JVM_ARGUMENT_FILES_H_
