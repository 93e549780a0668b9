#include "launcher/startup_cache.h"

#include <utility>

#include "launcher/command_line.h"
#include "platform/scoped_process.h"
#include "runtime/jvm_library.h"
#include "runtime/release_file.h"
#include "text/text_helpers.h"

namespace {

// Making a cache writes as much as the VM holds of the application's
// classes, tens of megabytes for a large one; below this much free space
// the write could fail, and the VM then ends the application with an error
// of its own, so no cache is made.
constexpr std::uint64_t kFreeBytesNeeded = 256u << 20;

// The options by which a configuration keeps a cache of its own, or none.
bool NamesItsOwnCache(const std::string& option) {
  static const char* const kOptions[] = {
      "-XX:SharedArchiveFile", "-XX:ArchiveClassesAtExit",
      "-XX:+AutoCreateSharedArchive", "-XX:AOTCache", "-XX:AOTMode",
      "-XX:AOTConfiguration", "-XX:SharedClassListFile", "-Xshare:"};
  for (const char* name : kOptions) {
    if (StartsWith(option, name)) return true;
  }
  return false;
}

// FNV-1a: a short name for the runtime and the class path the file serves.
std::string Hash(const std::string& text) {
  std::uint32_t hash = 2166136261u;
  for (char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return Format("%08x", static_cast<unsigned>(hash));
}

const char* Extension(CacheForm form) {
  return form == CacheForm::kAotCache ? ".aot" : ".jsa";
}

// `name` in `folder`, joined by the separator the folder is spelled with.
std::string InFolder(const std::string& folder, const std::string& name) {
  const std::size_t last = folder.find_last_of("\\/");
  const char separator = last == std::string::npos ? '\\' : folder[last];
  return folder + separator + name;
}

// The executable's name without its extension: the application's.
std::string ApplicationName(const std::string& modulePath) {
  std::string name = modulePath.substr(modulePath.find_last_of("\\/") + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// What an archive of the class path depends on: each jar's name, size and
// last write. The VM refuses an archive whose jars changed, silently, so an
// updated application gets a new file instead. `folder` gets the first
// folder on it, which an archive cannot take (the VM refuses to make one,
// and ends the application with an error). A wildcard names jars.
std::string ClassPathStamp(const std::string& classPath, char separator,
                           Files& files, std::string* folder) {
  std::string stamp;
  std::size_t start = 0;
  while (start <= classPath.size()) {
    std::size_t end = classPath.find(separator, start);
    if (end == std::string::npos) end = classPath.size();
    const std::string entry = classPath.substr(start, end - start);
    for (const DirEntry& found : files.FindFiles(entry)) {
      if ((found.attributes & kAttributeDirectory) != 0) {
        if (entry.back() != '*' && folder->empty()) *folder = entry;
        continue;
      }
      stamp += Format("\n%s %llu %llu", found.name.c_str(),
                      static_cast<unsigned long long>(found.size),
                      static_cast<unsigned long long>(found.modified));
    }
    start = end + 1;
  }
  return stamp;
}

CacheForm FormFor(long feature, bool quietOutput) {
  if (feature >= 25 && quietOutput) return CacheForm::kAotCache;
  if (feature >= 19) return CacheForm::kAutoArchive;
  if (feature >= 13) return CacheForm::kArchiveAtExit;
  return CacheForm::kNone;
}

const char* Describe(CacheForm form) {
  switch (form) {
    case CacheForm::kAotCache:
      return "Java 25's AOT cache: recorded now, assembled at the end";
    case CacheForm::kAutoArchive:
      return "the automatic shared archive";
    case CacheForm::kArchiveAtExit:
      return "the archive made at exit";
    case CacheForm::kNone:
      break;
  }
  return "none";
}

// An archive's first bytes: the mark of its kind, a checksum, and the
// number of the format, which the runtime's base archive and every archive
// its VM makes share.
constexpr std::size_t kHeaderBytes = 12;
std::string FormatOf(const std::string& header) {
  return header.size() < kHeaderBytes ? std::string() : header.substr(8, 4);
}

// Why no cache is made or used this start, or empty when one can be;
// `format` gets the format of the runtime's archives.
std::string Obstacle(const CacheRuntime& runtime,
                     const std::vector<std::string>& vmOptions,
                     const std::string& folderOnClassPath, PlatformOps& os,
                     std::string* format) {
  for (const std::string& option : vmOptions) {
    if (NamesItsOwnCache(option)) {
      return "the configuration names its own (" + option + ")";
    }
  }
  if (!runtime.version) return "the runtime's version is unknown";
  const long feature = runtime.version->parts[0];
  if (feature < 13) {
    return Format("Java %ld keeps no cache the launcher can make (13 and "
                  "later do)",
                  feature);
  }
  const std::string base = InFolder(FolderOf(runtime.jvmLibrary), "classes.jsa");
  std::string header;
  if (runtime.jvmLibrary.empty() ||
      !os.files.ReadFileStart(base, kHeaderBytes, &header) ||
      (*format = FormatOf(header)).empty()) {
    return "the runtime has no base archive (" + base +
           "), as a runtime made by jlink without one";
  }
  if (!folderOnClassPath.empty()) {
    return "the class path holds the folder " + folderOnClassPath +
           ", which an archive cannot take";
  }
  return std::string();
}

// The files of this application's cache folder that have a name of the
// form base-size.ext, newest first.
std::vector<DirEntry> CacheFiles(const std::string& folder, Files& files) {
  std::vector<DirEntry> found;
  for (const char* pattern : {"*.jsa", "*.aot"}) {
    for (const DirEntry& entry : files.FindFiles(InFolder(folder, pattern))) {
      if ((entry.attributes & kAttributeDirectory) != 0) continue;
      // A handful of files: put in place as they come.
      found.push_back(entry);
      for (std::size_t i = found.size() - 1;
           i > 0 && found[i - 1].modified < found[i].modified; --i) {
        std::swap(found[i - 1], found[i]);
      }
    }
  }
  return found;
}

// The size a file's name says it has: "...-3260416.jsa"; 0 for another name.
std::uint64_t SizeInName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  const std::size_t dash = name.rfind('-', dot);
  if (dot == std::string::npos || dash == std::string::npos) return 0;
  std::uint64_t size = 0;
  for (std::size_t i = dash + 1; i < dot; ++i) {
    if (!IsDigit(name[i])) return 0;
    size = size * 10 + static_cast<std::uint64_t>(name[i] - '0');
  }
  return size;
}

// Whether a cache file is whole: the size its name says, made by this
// runtime's VM (its mark, and the format of the runtime's archives), and
// readable. A file cut short, or with a header of garbage, is one some
// runtimes crash on or warn about rather than refuse silently.
bool IsWhole(const std::string& path, const DirEntry& entry, CacheForm form,
             const std::string& format, Files& files) {
  // 0xf00baba2 for the VM's static archives, Java 25's cache among them;
  // 0xf00baba8 for the dynamic ones, little-endian.
  const char* mark =
      form == CacheForm::kAotCache ? "\xa2\xab\x0b\xf0" : "\xa8\xab\x0b\xf0";
  std::string header;
  return entry.size > 0 && SizeInName(entry.name) == entry.size &&
         files.ReadFileStart(path, kHeaderBytes, &header) &&
         header.compare(0, 4, mark) == 0 && FormatOf(header) == format;
}

void AddOption(StartupCache& cache, const char* name,
               const std::string& value = std::string()) {
  cache.options.push_back(name + value);
}

// The options that keep the VM's words about the cache to itself, after
// the cache's own (Java 17 would print "[warning][cds] Skipping ..." on
// standard output while it dumps). Java 25's own tag is one that older
// runtimes refuse as unknown.
void Silence(StartupCache& cache) {
  if (cache.form == CacheForm::kAotCache) AddOption(cache, "-Xlog:aot*=off");
  AddOption(cache, "-Xlog:cds*=off");
}

void Note(const std::string& text, PlatformOps& os) {
  os.log.Note("startup cache: " + text);
}

// Keeps the newest two files of the folder.
void Prune(const std::string& folder, PlatformOps& os) {
  const std::vector<DirEntry> found = CacheFiles(folder, os.files);
  for (std::size_t i = 2; i < found.size(); ++i) {
    os.files.RemoveFile(InFolder(folder, found[i].name));
  }
}

// The file the VM wrote, kept under its name with its size (a file the VM
// brought up to date in place is renamed when its size changed); false
// when it wrote none.
bool Keep(const std::string& written, StartupCache& cache, PlatformOps& os) {
  std::vector<DirEntry> entry = os.files.FindFiles(written);
  if (entry.empty() || entry[0].size == 0) return false;
  const std::string file = InFolder(
      cache.folder, cache.base +
                        Format("-%llu", static_cast<unsigned long long>(
                                            entry[0].size)) +
                        Extension(cache.form));
  if (file == written) return true;
  if (!os.files.RenameFile(written, file)) return false;
  Note(Format("made %s (%llu bytes)", file.c_str(),
              static_cast<unsigned long long>(entry[0].size)),
       os);
  return true;
}

// Java 25's cache, assembled by the runtime's own java command from the
// configuration the run recorded, quietly, while the launcher waits.
bool Assemble(StartupCache& cache, const CacheRuntime& runtime,
              PlatformOps& os) {
  const std::string made = InFolder(cache.folder, cache.base + ".making");
  cache.options.clear();
  AddOption(cache, "-XX:AOTMode=create");
  AddOption(cache, "-XX:AOTConfiguration=", cache.work);
  AddOption(cache, "-XX:AOTCache=", made);
  Silence(cache);
  AddOption(cache, "-cp");
  AddOption(cache, "", cache.classPath);
  std::string command = QuoteArgument(runtime.javaCommand, false);
  for (const auto* options : {&cache.vmOptions, &cache.options}) {
    for (const std::string& option : *options) {
      command += ' ' + QuoteArgument(option, false);
    }
  }
  ChildOptions options;
  options.quiet = true;
  options.dieWithLauncher = true;
  const StartedProcess started = os.processes.StartProcess(
      command, cache.directory, std::nullopt, options);
  os.log.ProcessStarted(command, started.ok);
  if (!started.ok) return false;
  ScopedProcess process(os.processes, started);
  os.processes.WaitForEnd(process.get());
  os.files.RemoveFile(cache.work);
  return os.processes.ProcessExitCode(process.get()) == 0 &&
         Keep(made, cache, os);
}

}  // namespace

CacheRuntime CacheRuntimeOf(const LaunchSettings& settings,
                            const std::string& home,
                            const std::string& jvmLibrary, PlatformOps& os) {
  std::optional<JavaVersion> version = ReleaseFileVersion(home, os.files);
  if (!version && settings.runtimeVersion) {
    version = ParseJavaVersion(*settings.runtimeVersion);
  }
  return {home, version, jvmLibrary, home + "\\bin\\java.exe"};
}

StartupCache PlanStartupCache(const LaunchSettings& settings,
                              const CacheRuntime& runtime,
                              const std::string& classPath,
                              const std::vector<std::string>& vmOptions,
                              bool quietOutput, PlatformOps& os) {
  StartupCache cache;
  if (!settings.startupCache) return cache;
  std::string folderOnClassPath;
  const std::string stamp = ClassPathStamp(
      classPath, os.vm.ClassPathSeparator(), os.files, &folderOnClassPath);
  std::string format;
  std::string why =
      Obstacle(runtime, vmOptions, folderOnClassPath, os, &format);
  const std::optional<std::string> local =
      os.system.Environment("LOCALAPPDATA");
  if (why.empty() && (!local || local->empty())) {
    why = "LOCALAPPDATA is not set";
  }
  if (why.empty()) {
    cache.folder = InFolder(
        InFolder(*local, ApplicationName(os.program.ModulePath())),
        "StartupCache");
    if (!os.files.MakeFolders(cache.folder)) {
      why = "the folder " + cache.folder + " cannot be made";
    }
  }
  if (!why.empty()) {
    Note("left out: " + why, os);
    return cache;
  }
  cache.form = FormFor(runtime.version->parts[0], quietOutput);
  cache.classPath = classPath;
  cache.vmOptions = vmOptions;
  cache.base = JavaVersionText(*runtime.version) + "-" +
               Hash(runtime.home + "\n" + classPath + stamp);
  const char* extension = Extension(cache.form);
  // The lock first: a file another start is writing is not judged.
  const bool locked = os.files.MakeLockFile(
      InFolder(cache.folder, cache.base + ".lock"), &cache.lock);
  // The newest whole file of this runtime and class path is used; the
  // others go, damaged or older, unless another start holds the lock.
  for (const DirEntry& entry : CacheFiles(cache.folder, os.files)) {
    if (entry.name.rfind(cache.base + "-", 0) != 0 ||
        entry.name.size() < 4 ||
        entry.name.compare(entry.name.size() - 4, 4, extension) != 0) {
      continue;
    }
    const std::string path = InFolder(cache.folder, entry.name);
    const bool whole = IsWhole(path, entry, cache.form, format, os.files);
    if (whole && cache.file.empty()) {
      cache.file = path;
    } else if (locked) {
      Note((whole ? "removed the older " : "removed the damaged ") + path, os);
      os.files.RemoveFile(path);
    }
  }
  if (!cache.file.empty()) {
    if (cache.form == CacheForm::kAotCache) {
      AddOption(cache, "-XX:AOTCache=", cache.file);
    } else {
      if (cache.form == CacheForm::kAutoArchive && locked) {
        // The VM brings the archive up to date itself when it needs to.
        cache.making = true;
        cache.work = cache.file;
        AddOption(cache, "-XX:+AutoCreateSharedArchive");
      }
      AddOption(cache, "-XX:SharedArchiveFile=", cache.file);
    }
    Silence(cache);
    if (!cache.making && locked) os.files.CloseFile(cache.lock);
    Note(cache.file + " used", os);
    return cache;
  }
  if (!locked) {
    Note("left out: another start is making " + cache.base, os);
    return cache;
  }
  if (os.files.FreeBytes(cache.folder) < kFreeBytesNeeded) {
    os.files.CloseFile(cache.lock);
    Note("left out: less than 256 MB free in " + cache.folder, os);
    return cache;
  }
  cache.making = true;
  const std::string making = InFolder(cache.folder, cache.base + ".making");
  os.files.RemoveFile(making);
  cache.work = making;
  switch (cache.form) {
    case CacheForm::kAotCache:
      cache.work = InFolder(cache.folder, cache.base + ".aotconf");
      AddOption(cache, "-XX:AOTMode=record");
      AddOption(cache, "-XX:AOTConfiguration=", cache.work);
      cache.quietLine = " AOTConfiguration recorded: " + cache.work;
      break;
    case CacheForm::kAutoArchive:
      AddOption(cache, "-XX:+AutoCreateSharedArchive");
      AddOption(cache, "-XX:SharedArchiveFile=", making);
      break;
    default:
      AddOption(cache, "-XX:ArchiveClassesAtExit=", making);
      break;
  }
  Silence(cache);
  Note(Format("%s%s being made in %s (%s)", cache.base.c_str(), extension,
              cache.folder.c_str(), Describe(cache.form)),
       os);
  return cache;
}

void FinishStartupCache(StartupCache& cache, const CacheRuntime& runtime,
                        PlatformOps& os) {
  if (!cache.making) return;
  const bool kept = cache.form == CacheForm::kAotCache
                        ? Assemble(cache, runtime, os)
                        : Keep(cache.work, cache, os);
  if (!kept && cache.file.empty()) {
    Note("not made: the runtime wrote no " +
             std::string(cache.form == CacheForm::kAotCache ? "cache"
                                                            : "archive"),
         os);
  }
  os.files.CloseFile(cache.lock);
  cache.making = false;
  Prune(cache.folder, os);
}
