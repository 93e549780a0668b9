#ifndef LAUNCHER_LAUNCHER_IN_PROCESS_LAUNCH_H_
#define LAUNCHER_LAUNCHER_IN_PROCESS_LAUNCH_H_

#include "jvm/java_main.h"
#include "launcher/launch_mode.h"
#include "launcher/startup_cache.h"

// The application run by a Java VM inside the launcher's own process
// (javaInProcess), so that the process the system shows, pins, asks the
// firewall about and applies settings to is the launcher, not the runtime's
// executable.
//
// The runtime is chosen as for a child runtime; its VM library must be of the
// launcher's architecture. The application's current directory, class path
// and arguments are those a child runtime would get. A VM can be created only
// once in a process, so a restart (exit code 999) runs the launcher again as
// a new process with the same command line, told that it is a restarted copy
// (kRestartedByVariable): it runs the application once and hands its exit
// code back to this launcher, which owns the restart loop. So however many
// restarts there are, at most two launchers run at once.
class InProcessLaunch : public LaunchMode {
 public:
  LaunchResult Run(LaunchSettings& settings, PlatformOps& os) override;
  LaunchResult RunAgain(LaunchSettings& settings, PlatformOps& os) override;
};

// What the java command of the runtime at `home` would make of the
// application: the VM's own forms of the configuration's `vmparam` lines,
// and the java command's options among them taken as it takes them; the
// class path as a child runtime lists it ("-Djava.class.path=", unquoted,
// before the other options, as java puts it), "-Dsun.java.command=" with the
// main class and its arguments and "-Dsun.java.launcher=" as java gives
// them (the VM keeps all three out of the application's input arguments),
// the arguments in UTF-16 (those of the command line in the form the system
// gave them), the main thread's stack, and the runtime's version (its
// release file) for the forms of main.
JavaLaunch PrepareJavaLaunch(const LaunchSettings& settings,
                             const std::string& home, PlatformOps& os);

// The startup cache of this run (startupCache), planned for the runtime and
// the class path the VM gets, its options put among the VM's; to be
// finished (FinishStartupCache) when the run has ended.
StartupCache AddStartupCache(const LaunchSettings& settings,
                             const CacheRuntime& runtime, JavaLaunch& launch,
                             PlatformOps& os);

#endif  // LAUNCHER_LAUNCHER_IN_PROCESS_LAUNCH_H_
