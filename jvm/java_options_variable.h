#ifndef LAUNCHER_JVM_JAVA_OPTIONS_VARIABLE_H_
#define LAUNCHER_JVM_JAVA_OPTIONS_VARIABLE_H_

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"

// The environment variable JDK_JAVA_OPTIONS, which the java command of
// version 9 and later reads (and a VM created through JNI does not): its
// options come before those of the command line.
struct JdkJavaOptions {
  // "NOTE: Picked up JDK_JAVA_OPTIONS: <value as set>\n", for standard
  // error, even for an empty value; empty when the variable is not set or
  // the runtime does not read it.
  std::string note;
  // Its options, @argfiles expanded; empty when `error` is not.
  std::vector<std::string> words;
  // When not empty, java's refusal of the value, ending with "\n"; the run
  // ends there, after the note.
  std::string error;
  // --disable-@files was among the options: the options that follow them
  // are not expanded either (see ExpandArgumentFiles' `expansionOff`).
  bool argumentFilesOff = false;
};

// The words of the variable's value: spaces, TABs, line breaks, vertical
// tabs and form feeds separate them; single and double quotes, anywhere in
// a word, keep everything up to the matching quote as it is (there are no
// escapes, and '#' is an ordinary character); "" is an empty word. False
// when a quote is left open: `words` then holds the words before the one
// it opens.
bool SplitJdkJavaOptions(const std::string& value,
                         std::vector<std::string>* words);

// JDK_JAVA_OPTIONS as the java command of feature version `javaVersion`
// reads it: nothing before version 9; 0, an unknown version, counts as 9 or
// later, as every current runtime is. The words are taken in order, @files
// expanded (as ExpandArgumentFiles does), and the first that java refuses
// gives `error`:
// - the main class (a word that is not an option and not the value of the
//   option before it: -cp, -classpath, --class-path, -p, --module-path,
//   --upgrade-module-path, --add-modules, --limit-modules, --add-opens,
//   --add-exports, --add-reads, --patch-module, --enable-native-access,
//   -d, --describe-module and --source take the next word as their value
//   unless it begins with '-');
// - -jar, -m, --module, --module=..., --dry-run, the version options that
//   end the run (-version, --version, -fullversion, --full-version) and the
//   help options (-?, -h, -help, --help, -X, --help-extra), named with the
//   @file that held them;
// - an argument file that cannot be read, or a quote left open.
// Options that lack their value at the end of the variable take it from
// the options that follow it.
JdkJavaOptions ReadJdkJavaOptions(System& system, Files& files,
                                  int javaVersion);

#endif  // LAUNCHER_JVM_JAVA_OPTIONS_VARIABLE_H_
