#ifndef LAUNCHER_LAUNCHER_LAUNCHER_ARGUMENTS_H_
#define LAUNCHER_LAUNCHER_LAUNCHER_ARGUMENTS_H_

#include <string>

// The application asks to be started again by ending with this code.
inline constexpr int kRestartCode = 999;

// A launcher that runs the VM in its own process restarts the application by
// starting itself again with this variable set (to its process id): the new
// launcher runs the application once and ends with its exit code, and the
// first one starts the next. The new one removes it at once, so that the
// application and what it starts never see it.
inline constexpr char kRestartedByVariable[] = "LAUNCHER_RESTARTED_BY";

// Whether a program argument is one of the launcher's own switches rather
// than the application's: "-d", or "-c" with a configuration path. The text
// has `unit` bytes per character (1, or 2 for UTF-16 LE); the switches are
// ASCII, so both forms of one argument agree.
inline bool IsLauncherSwitch(const std::string& arg, std::size_t unit = 1) {
  auto is = [&](std::size_t i, char c) {
    return arg[i * unit] == c &&
           (unit == 1 || arg[i * unit + 1] == '\0');
  };
  if (arg.size() < 2 * unit || !is(0, '-')) return false;
  return (arg.size() == 2 * unit && is(1, 'd')) || is(1, 'c');
}

#endif  // LAUNCHER_LAUNCHER_LAUNCHER_ARGUMENTS_H_
