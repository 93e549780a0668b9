#ifndef LAUNCHER_LAUNCHER_STARTUP_CACHE_H_
#define LAUNCHER_LAUNCHER_STARTUP_CACHE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ops.h"
#include "runtime/java_version.h"
#include "settings/launch_settings.h"

// The startup cache (startupCache yes): what a Java VM learns while it
// loads and links the application's classes, kept in a file per user and
// per application, so that later starts skip that work. Current runtimes
// make such a file themselves when told to; the launcher chooses the form
// the runtime's version has, names the file, makes sure that no damaged or
// half-written file ever reaches the VM, keeps two starts from writing one
// file at once, and keeps the VM's words about it out of the application's
// output.
//
// The files live in %LOCALAPPDATA%\<executable's name>\StartupCache (never
// beside the executable, which may be read-only), named after the runtime's
// version and a hash of its home and its class path (the jars' sizes and
// times too), with their size:
// "17.0.9-1a2b3c4d-3260416.jsa". A file whose size is not the one its name
// says was cut short (a start killed while it was written), one whose first
// bytes are not those of the runtime's own archives is foreign or garbage:
// either is removed and made anew. The newest two are kept.

// How a runtime keeps the cache.
enum class CacheForm {
  kNone,
  kArchiveAtExit,  // 13 to 18: -XX:ArchiveClassesAtExit, then SharedArchiveFile
  kAutoArchive,    // 19 and later: -XX:+AutoCreateSharedArchive
  kAotCache,       // 25 and later: recorded, assembled, then -XX:AOTCache
};

// The runtime as the cache sees it.
struct CacheRuntime {
  std::string home;
  std::optional<JavaVersion> version;
  std::string jvmLibrary;  // its jvm.dll, beside which the base archive is
  // The runtime's java command, which assembles a Java 25 cache (run
  // without a window or output).
  std::string javaCommand;
};

// The runtime at `home`, whose VM library is `jvmLibrary`, as the cache
// sees it: its version from its release file, else the one the search knew
// (`settings.runtimeVersion`).
CacheRuntime CacheRuntimeOf(const LaunchSettings& settings,
                            const std::string& home,
                            const std::string& jvmLibrary, PlatformOps& os);

// What this start does about the cache.
struct StartupCache {
  CacheForm form = CacheForm::kNone;
  bool making = false;  // this start makes it (or may update it)
  std::string folder;
  std::string base;     // the file's name without its size
  std::string file;     // the file the VM gets, when there is one
  std::string work;     // what the VM writes this start: the archive made
                        // at exit, or Java 25's recorded configuration
  std::vector<std::string> options;  // for the VM, before the application
  // The application's class path and VM options, which assembling a Java
  // 25 cache needs again.
  std::string classPath;
  std::vector<std::string> vmOptions;
  // Where the application ran, and so where a relative class path meant
  // its files; the assembling run starts there too. None: the launcher's
  // own folder (a VM in process ran there).
  std::optional<std::string> directory;
  // The line the VM prints when it has recorded Java 25's configuration,
  // to be kept from the application's output; empty when none.
  std::string quietLine;
  FileHandle lock = 0;  // held while this start makes the file
};

// Decides what this start does, notes it in the launch log ("startup cache:
// ...") and takes the lock when it makes the file. `classPath` is the class
// path as the VM gets it, `vmOptions` the VM's options of the configuration
// (an archive or cache option of its own wins: nothing is added).
// `quietOutput`: a line the VM prints can be kept from the application's
// output (in process, or into the launch log); else a form that prints none
// is taken.
StartupCache PlanStartupCache(const LaunchSettings& settings,
                              const CacheRuntime& runtime,
                              const std::string& classPath,
                              const std::vector<std::string>& vmOptions,
                              bool quietOutput, PlatformOps& os);

// After the application has ended (not killed): the file made this start is
// kept under its name (a Java 25 cache assembled first from what the run
// recorded, by the runtime's java command), old files are pruned and the
// lock let go; the log says how it went.
void FinishStartupCache(StartupCache& cache, const CacheRuntime& runtime,
                        PlatformOps& os);

#endif  // LAUNCHER_LAUNCHER_STARTUP_CACHE_H_
