#ifndef LAUNCHER_SETTINGS_FLAVOUR_H_
#define LAUNCHER_SETTINGS_FLAVOUR_H_

// What sets the two builds of the launcher apart: the GUI one that a user
// double-clicks, and the console one for command-line tools. The entry point
// of each build picks its flavour; the logic reads what a field says, never
// which flavour it is.
struct Flavour {
  const char* name;  // for the launch log
  // The application shares the launcher's console: the runtime is started
  // as java.exe, and the launcher's messages and traces go to standard
  // error, leaving standard output to the application.
  bool sharesConsole;
  // Nobody is there to answer a question: the download question is written
  // with the page's address and taken as answered No.
  bool asksQuestions;
  // The start directory and the configuration's name come from the
  // executable's real path, whatever the command line calls it (a tool
  // started by name through PATH).
  bool findsItselfByModulePath;
  // The application runs in the caller's current directory, so relative
  // file arguments mean what the caller meant; the class path is then made
  // absolute against the start directory.
  bool runsInCallerDirectory;
  // The launcher ends with the application's exit code, and with codes of
  // its own when no application ran.
  bool returnsApplicationExitCode;
  // The application has no console, so with a logFile its standard output
  // and error go into the log (a console's streams stay the console's).
  bool logsApplicationOutput;
  // A non-zero exit soon after the start is reported in an "Error" box.
  // A command-line tool's exit code is its answer (grep finds nothing:
  // 1), and what went wrong is already on the console.
  bool reportsEarlyFailure;
};

inline constexpr Flavour kGuiFlavour = {"GUI", false, true, false,
                                        false, false, true,  true};
inline constexpr Flavour kConsoleFlavour = {"console", true, false, true,
                                            true,      true, false, false};

#endif  // LAUNCHER_SETTINGS_FLAVOUR_H_
