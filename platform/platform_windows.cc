#include "platform/platform_windows.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/late_bound_calls.h"
#include "resources/resource_ids.h"
#include "text/text_helpers.h"

namespace {

// Closes a directory search on every path out of FindFiles.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHolder = std::unique_ptr<std::FILE, FileCloser>;

struct LocalFreer {
  void operator()(char* text) const { LocalFree(text); }
};
using LocalText = std::unique_ptr<char, LocalFreer>;

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
HANDLE ToHandle(ProcessHandle process) {
  return reinterpret_cast<HANDLE>(process);
}

// Calls `query(capacity, buffer)`, a Win32 call that returns the length of
// its result without the NUL on success, the size it needs (with the NUL) when
// the buffer is too small and 0 on failure, until the result fits; the value
// may grow between two calls.
template <typename Query>
bool QueryGrowing(Query query, std::string* result) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD length = query(static_cast<DWORD>(buffer.size()), &buffer[0]);
    if (length == 0) return false;
    if (length < buffer.size()) {
      buffer.resize(length);
      *result = std::move(buffer);
      return true;
    }
    buffer.assign(length, '\0');
  }
}

// The application while it runs, for the console's close event. (The
// launcher has one thread; the event handler runs on a thread of its own,
// but only reads this.)
HANDLE g_application = nullptr;

// How long WaitForIdle waits for the application's end before it turns to
// WaitForInputIdle: longer than a runtime takes to fail at once, far shorter
// than the idle wait's own limit.
constexpr unsigned kEndWaitBeforeIdleMs = 500;

void WriteStream(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// What a thread that StartThread makes runs, and the event that ends the
// wait for one early.
struct ThreadWork {
  ThreadBody body;
  void* context;
};
HANDLE g_wake = nullptr;

DWORD WINAPI RunThreadWork(void* work) {
  const ThreadWork run = *static_cast<ThreadWork*>(work);
  delete static_cast<ThreadWork*>(work);
  run.body(run.context);
  return 0;
}

// The job of the children that die with the launcher, made with the first
// of them.
HANDLE g_job = nullptr;

bool SetJobLimits(DWORD limits) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION info;
  std::memset(&info, 0, sizeof(info));
  info.BasicLimitInformation.LimitFlags = limits;
  return SetInformationJobObject(g_job, JobObjectExtendedLimitInformation,
                                 &info, sizeof(info));
}

bool InTheLaunchersJob(HANDLE process) {
  if (g_job == nullptr) {
    g_job = CreateJobObjectA(nullptr, nullptr);
    if (g_job != nullptr && !SetJobLimits(JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE)) {
      CloseHandle(g_job);
      g_job = nullptr;
    }
  }
  return g_job != nullptr && AssignProcessToJobObject(g_job, process);
}

// Whether a FILE* of the VM's C library is its standard output. A VM built
// with this launcher's C library shares its streams; the others keep theirs
// in an array whose second element is standard output: the universal C
// runtime (Java 11 and later) hands out its elements one by one, the older
// Visual C++ runtimes (Java 8 to 10) the array's start, whose elements have
// the layout of this C library's FILE.
bool IsVmStandardOutput(const void* stream) {
  if (stream == stdout) return true;
  using IobElement = void*(__cdecl*)(unsigned);
  IobElement element = LookUpCall<IobElement>(
      GetModuleHandleA("ucrtbase.dll"), "__acrt_iob_func");
  if (element != nullptr && stream == element(1)) return true;
  using IobStart = char*(__cdecl*)();
  for (const char* runtime : {"msvcr120.dll", "msvcr110.dll", "msvcr100.dll"}) {
    IobStart start =
        LookUpCall<IobStart>(GetModuleHandleA(runtime), "__iob_func");
    if (start != nullptr && stream == start() + sizeof(FILE)) return true;
  }
  return false;
}

// The C runtime's splitter of the UTF-16 command line, which msvcrt.dll has
// whether or not the program began with a wide entry point. (Looked up, not
// declared: the runtime's headers declare it with a type of their own, and
// two declarations stop the link-time optimiser.)
struct WideStartupInfo {
  int newMode;
};
using WideMainArguments = int(__cdecl*)(int*, wchar_t***, wchar_t***, int,
                                        WideStartupInfo*);

}  // namespace

int WindowsPlatform::ShowMessageBox(const std::string& text,
                                    const std::string& caption,
                                    unsigned style) {
  using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  MessageBoxFunction messageBox =
      LookUpCall<MessageBoxFunction>(User32(), "MessageBoxA");
  // Without USER32 nothing can be shown; 0 is no button, so not Yes.
  if (messageBox == nullptr) return 0;
  return messageBox(nullptr, text.c_str(), caption.c_str(), style);
}

unsigned WindowsPlatform::SystemMajorVersion() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return 0;
  return info.dwMajorVersion;
}

void WindowsPlatform::ChangeDirectory(const std::string& path) {
  SetCurrentDirectoryA(path.c_str());
}

bool WindowsPlatform::CurrentDirectory(std::string* dir) {
  std::string current;
  bool ok = QueryGrowing(
      [](DWORD capacity, char* buffer) {
        return GetCurrentDirectoryA(capacity, buffer);
      },
      &current);
  // The C runtime's directory calls stop at MAX_PATH; the logic relies on the
  // same limit, so a longer directory is reported as unreadable.
  if (!ok || current.size() >= MAX_PATH) return false;
  *dir = std::move(current);
  return true;
}

std::optional<std::string> WindowsPlatform::Environment(
    const std::string& name) {
  std::string buffer(256, '\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableA(name.c_str(), &buffer[0],
                                           static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      // A variable that exists with an empty value also returns 0, but leaves
      // the error code alone.
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length, '\0');
  }
}

void WindowsPlatform::SetEnvironment(const std::string& name,
                                     const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::string WindowsPlatform::ModulePath() {
  std::string path;
  QueryGrowing(
      [](DWORD capacity, char* buffer) {
        // A cut result fills the buffer; asking again with more room says
        // so, as QueryGrowing expects.
        DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
        return length >= capacity ? capacity + MAX_PATH : length;
      },
      &path);
  return path;
}

std::vector<DirEntry> WindowsPlatform::FindFiles(const std::string& pattern) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAA data;
  FindHandle search(FindFirstFileA(pattern.c_str(), &data));
  if (!search.valid()) return entries;
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes});
  } while (FindNextFileA(search.get(), &data));
  return entries;
}

bool WindowsPlatform::ReadFile(const std::string& path, std::string* content,
                               std::string* error) {
  errno = 0;
  FileHolder file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = std::strerror(errno);
    return false;
  }
  std::string data;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
    data.append(chunk, got);
  }
  if (std::ferror(file.get())) {
    *error = std::strerror(errno != 0 ? errno : EIO);
    return false;
  }
  *content = std::move(data);
  return true;
}

bool WindowsPlatform::EmbeddedConfiguration(std::string* content) {
  // Resources of the executable itself: KERNEL32 calls, no DLL to load.
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kConfigResourceId),
                              MAKEINTRESOURCEA(kConfigResourceType));
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const char* data =
      loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return false;
  content->assign(data, SizeofResource(nullptr, found));
  return true;
}

bool WindowsPlatform::CarriesArchive() {
  return FindResourceA(nullptr, MAKEINTRESOURCEA(kArchiveResourceId),
                       MAKEINTRESOURCEA(kConfigResourceType)) != nullptr;
}

bool WindowsPlatform::ReadFileStart(const std::string& path,
                                    std::size_t maxBytes,
                                    std::string* content) {
  FileHolder file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  std::string data(maxBytes, '\0');
  data.resize(std::fread(&data[0], 1, maxBytes, file.get()));
  if (std::ferror(file.get())) return false;
  *content = std::move(data);
  return true;
}

bool WindowsPlatform::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WindowsPlatform::OpenForAppend(const std::string& path, FileHandle* file,
                                    std::uint64_t* size) {
  // Appending access makes every write land at the end, whoever else writes.
  HANDLE handle = CreateFileA(
      path.c_str(), FILE_APPEND_DATA,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER bytes;
  *size = GetFileSizeEx(handle, &bytes) ? bytes.QuadPart : 0;
  *file = reinterpret_cast<FileHandle>(handle);
  return true;
}

bool WindowsPlatform::Append(FileHandle file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(reinterpret_cast<HANDLE>(file), text.data(),
                   static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

void WindowsPlatform::CloseFile(FileHandle file) {
  CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool WindowsPlatform::RenameFile(const std::string& from,
                                 const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string WindowsPlatform::CanonicalPath(const std::string& path) {
  std::string full;
  if (!QueryGrowing(
          [&path](DWORD capacity, char* buffer) {
            return GetFullPathNameA(path.c_str(), capacity, buffer, nullptr);
          },
          &full)) {
    full = path;
  }
  // Windows file systems ignore the case of ASCII letters.
  for (char& c : full) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return full;
}

bool WindowsPlatform::Utf16LeToAnsi(const std::string& utf16le,
                                    std::string* ansi) {
  if (utf16le.size() % 2 != 0) return false;
  const int units = static_cast<int>(utf16le.size() / 2);
  // A code unit becomes at most three bytes (in a UTF-8 code page; two in
  // the double-byte ones), so one call with room for that does it.
  std::string converted(utf16le.size() / 2 * 3 + 1, '\0');
  // A system whose ANSI code page is UTF-8 has a form for every character;
  // that code page takes neither the best-fit flag nor the default-character
  // report, only the refusal of broken surrogates.
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(
      CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
      reinterpret_cast<const wchar_t*>(utf16le.data()), units, &converted[0],
      static_cast<int>(converted.size()), nullptr,
      utf8 ? nullptr : &usedDefault);
  if ((size <= 0 && units > 0) || usedDefault) return false;
  converted.resize(units > 0 ? static_cast<std::size_t>(size) : 0);
  *ansi = std::move(converted);
  return true;
}

bool WindowsPlatform::OpenRegistryKey(const std::string& path,
                                      RegistryView view, RegKey* key) {
  REGSAM access = KEY_READ;
  if (view == RegistryView::k64) access |= KEY_WOW64_64KEY;
  if (view == RegistryView::k32) access |= KEY_WOW64_32KEY;
  const RegistryCalls* registry = SystemRegistryCalls();
  HKEY opened = nullptr;
  if (registry == nullptr ||
      registry->openKey(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened) !=
          ERROR_SUCCESS) {
    return false;
  }
  *key = reinterpret_cast<RegKey>(opened);
  return true;
}

bool WindowsPlatform::QueryRegistryValue(RegKey key, const std::string& name,
                                         std::size_t maxBytes,
                                         std::string* text) {
  // One spare byte keeps the pointer valid for maxBytes 0; it is not offered
  // to the call.
  std::string buffer(maxBytes + 1, '\0');
  DWORD size = static_cast<DWORD>(maxBytes);
  // A key is open, so the calls were found.
  if (SystemRegistryCalls()->queryValue(
          ToHkey(key), name.c_str(), nullptr, nullptr,
          reinterpret_cast<BYTE*>(&buffer[0]), &size) != ERROR_SUCCESS) {
    return false;
  }
  // Windows stores a string without its NUL when it was written that way and
  // then returns it unterminated; only the size returned bounds the data.
  std::size_t length = size < maxBytes ? size : maxBytes;
  std::size_t nul = buffer.find('\0');
  if (nul < length) length = nul;
  buffer.resize(length);
  *text = std::move(buffer);
  return true;
}

bool WindowsPlatform::CountSubkeys(RegKey key, std::uint32_t* count) {
  DWORD subkeys = 0;
  if (SystemRegistryCalls()->queryInfo(
          ToHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
          nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  *count = subkeys;
  return true;
}

bool WindowsPlatform::EnumerateSubkey(RegKey key, std::uint32_t index,
                                      std::string* name) {
  // Key names have at most 255 characters; the whole buffer is offered so
  // that such a name and its NUL fit.
  char buffer[256];
  DWORD length = sizeof(buffer);
  if (SystemRegistryCalls()->enumerateKeys(ToHkey(key), index, buffer, &length,
                                           nullptr, nullptr, nullptr,
                                           nullptr) != ERROR_SUCCESS) {
    return false;
  }
  name->assign(buffer, length);
  return true;
}

void WindowsPlatform::CloseRegistryKey(RegKey key) {
  SystemRegistryCalls()->closeKey(ToHkey(key));
}

StartedProcess WindowsPlatform::StartProcess(
    const std::string& commandLine, const std::optional<std::string>& directory,
    const std::optional<std::string>& consoleTitle,
    const ChildOptions& options) {
  // CreateProcessA may write into the command line, and the title field is
  // not const either: both get writable copies (a std::string's buffer
  // always ends in a NUL).
  std::string command = commandLine;
  std::string title = consoleTitle.value_or(std::string());
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.lpTitle = consoleTitle ? &title[0] : nullptr;
  SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
  if (options.output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput =
        CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherited, OPEN_EXISTING, 0, nullptr);
    startup.hStdOutput = reinterpret_cast<HANDLE>(options.output->outWrite);
    startup.hStdError = reinterpret_cast<HANDLE>(options.output->errWrite);
  }
  PROCESS_INFORMATION info;
  std::memset(&info, 0, sizeof(info));

  StartedProcess started;
  const BOOL created = CreateProcessA(
      nullptr, &command[0], nullptr, nullptr, TRUE,
      options.dieWithLauncher ? CREATE_SUSPENDED : 0, nullptr,
      directory ? directory->c_str() : nullptr, &startup, &info);
  if (options.output) CloseHandle(startup.hStdInput);
  if (!created) {
    started.errorCode = GetLastError();
    return started;
  }
  if (options.dieWithLauncher) {
    // Only the launcher holds the job's handle: when the launcher ends in
    // any way, the system closes it and the job's processes end with it. A
    // launcher in a job of its own that allows no other (Windows 7) starts
    // the application without one.
    started.outsideJob = !InTheLaunchersJob(info.hProcess);
    ResumeThread(info.hThread);
  }
  CloseHandle(info.hThread);
  g_application = info.hProcess;
  started.ok = true;
  started.handle = reinterpret_cast<ProcessHandle>(info.hProcess);
  return started;
}

void WindowsPlatform::LetChildrenOutliveTheLauncher() {
  if (g_job != nullptr) SetJobLimits(0);
}

bool WindowsPlatform::CreateOutputPipes(OutputPipes* pipes) {
  SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
  HANDLE ends[4];
  // Room for a burst of output while the reader writes a line to the log.
  constexpr DWORD kPipeBytes = 64u << 10;
  if (!CreatePipe(&ends[0], &ends[1], &inherited, kPipeBytes)) return false;
  if (!CreatePipe(&ends[2], &ends[3], &inherited, kPipeBytes)) {
    CloseHandle(ends[0]);
    CloseHandle(ends[1]);
    return false;
  }
  // The child gets the write ends; a read end it held too would keep its
  // own pipe from ever ending.
  SetHandleInformation(ends[0], HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(ends[2], HANDLE_FLAG_INHERIT, 0);
  *pipes = {reinterpret_cast<FileHandle>(ends[0]),
            reinterpret_cast<FileHandle>(ends[1]),
            reinterpret_cast<FileHandle>(ends[2]),
            reinterpret_cast<FileHandle>(ends[3])};
  return true;
}

bool WindowsPlatform::ReadPipe(FileHandle pipe, std::string* chunk) {
  char buffer[4096];
  DWORD got = 0;
  if (!::ReadFile(reinterpret_cast<HANDLE>(pipe), buffer, sizeof(buffer), &got,
                  nullptr) ||
      got == 0) {
    return false;
  }
  chunk->assign(buffer, got);
  return true;
}

void WindowsPlatform::UseOutputPipes(const OutputPipes& pipes) {
  SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(pipes.outWrite));
  SetStdHandle(STD_ERROR_HANDLE, reinterpret_cast<HANDLE>(pipes.errWrite));
}

void WindowsPlatform::WaitForIdle(ProcessHandle process,
                                  unsigned milliseconds) {
  // An application that has ended cannot become idle: WaitForInputIdle
  // returns at once for it. So its end is waited for first, for a moment;
  // an application that is gone by then needs no USER32, whose load would
  // otherwise hold up the launcher's own end. Waiting here delays nothing,
  // since the wait for the end comes next.
  const unsigned endFirst =
      milliseconds < kEndWaitBeforeIdleMs ? milliseconds : kEndWaitBeforeIdleMs;
  if (WaitForSingleObject(ToHandle(process), endFirst) != WAIT_TIMEOUT) return;
  using WaitFunction = DWORD(WINAPI*)(HANDLE, DWORD);
  WaitFunction waitForInputIdle =
      LookUpCall<WaitFunction>(User32(), "WaitForInputIdle");
  if (waitForInputIdle != nullptr) {
    waitForInputIdle(ToHandle(process), milliseconds - endFirst);
  }
}

void WindowsPlatform::WaitForEnd(ProcessHandle process) {
  WaitForSingleObject(ToHandle(process), INFINITE);
}

std::uint32_t WindowsPlatform::ProcessExitCode(ProcessHandle process) {
  DWORD code = 0;
  // An exit code that cannot be read must not pass for a clean exit.
  if (!GetExitCodeProcess(ToHandle(process), &code)) return 0xFFFFFFFFu;
  return code;
}

void WindowsPlatform::CloseProcess(ProcessHandle process) {
  if (g_application == ToHandle(process)) g_application = nullptr;
  CloseHandle(ToHandle(process));
}

std::string WindowsPlatform::ErrorMessage(std::uint32_t errorCode) {
  char* raw = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
  LocalText holder(raw);
  if (length == 0 || raw == nullptr) return "Unknown error";
  std::string text(raw, length);
  while (!text.empty() &&
         (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

std::string WindowsPlatform::OwnCommandLine() { return GetCommandLineA(); }

std::vector<std::string> WindowsPlatform::WideArguments() {
  // The C runtime's own splitting of the UTF-16 command line, by the rules
  // that gave the 8-bit arguments.
  int count = 0;
  wchar_t** arguments = nullptr;
  wchar_t** environment = nullptr;
  WideStartupInfo startup = {0};
  WideMainArguments split = LookUpCall<WideMainArguments>(
      GetModuleHandleA("msvcrt.dll"), "__wgetmainargs");
  if (split == nullptr ||
      split(&count, &arguments, &environment, 0, &startup) < 0 ||
      arguments == nullptr) {
    return {};
  }
  std::vector<std::string> wide;
  for (int i = 0; i < count; ++i) {
    std::string argument(reinterpret_cast<const char*>(arguments[i]),
                         2 * std::wcslen(arguments[i]));
    wide.push_back(std::move(argument));
  }
  return wide;
}

std::string WindowsPlatform::AnsiToUtf16Le(const std::string& text) {
  // A byte becomes at most one UTF-16 code unit.
  std::string wide(2 * text.size() + 2, '\0');
  const int units = MultiByteToWideChar(
      CP_ACP, 0, text.data(), static_cast<int>(text.size()),
      reinterpret_cast<wchar_t*>(&wide[0]), static_cast<int>(text.size() + 1));
  wide.resize(units > 0 ? 2 * units : 0);
  return wide;
}

bool WindowsPlatform::Is64BitProcess() { return sizeof(void*) == 8; }

bool WindowsPlatform::LoadLibraryWithDependencies(
    const std::string& path, const std::string& dependencyFolder,
    LibraryHandle* library, std::uint32_t* errorCode) {
  // The library's own folder comes first for what it imports (the altered
  // search path of an absolute path), then the folder set here; neither the
  // launcher's folder nor the current directory is searched before them.
  // The folder stays set: the VM loads more of its libraries later, and
  // they need the same neighbours.
  SetDllDirectoryA(dependencyFolder.c_str());
  HMODULE loaded =
      LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (loaded == nullptr) {
    *errorCode = GetLastError();
    return false;
  }
  *library = reinterpret_cast<LibraryHandle>(loaded);
  return true;
}

void* WindowsPlatform::LibraryFunction(LibraryHandle library,
                                       const char* name) {
  return LookUpCall<void*>(reinterpret_cast<HMODULE>(library), name);
}

bool WindowsPlatform::StartThread(std::size_t stackBytes, ThreadBody body,
                                  void* context, ThreadHandle* thread) {
  // Made before any thread that could set it.
  if (g_wake == nullptr) g_wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ThreadWork* work = new ThreadWork{body, context};
  HANDLE made = g_wake ? CreateThread(nullptr, stackBytes, RunThreadWork, work,
                                      STACK_SIZE_PARAM_IS_A_RESERVATION,
                                      nullptr)
                       : nullptr;
  if (made == nullptr) {
    delete work;
    return false;
  }
  *thread = reinterpret_cast<ThreadHandle>(made);
  return true;
}

bool WindowsPlatform::WaitForThread(ThreadHandle thread,
                                    unsigned milliseconds) {
  return WaitForSingleObject(ToHandle(thread), milliseconds) == WAIT_OBJECT_0;
}

void WindowsPlatform::WaitForThreadOrWake(ThreadHandle thread) {
  HANDLE handles[] = {ToHandle(thread), g_wake};
  WaitForMultipleObjects(2, handles, FALSE, INFINITE);
}

void WindowsPlatform::WakeWaiterAndBlock() {
  SetEvent(g_wake);
  for (;;) Sleep(INFINITE);
}

void WindowsPlatform::WriteVmOutput(const void* stream,
                                    const std::string& text) {
  // The process's handles, not this C library's streams: they are the pipes
  // that UseOutputPipes set, if any, as they are the VM's.
  DWORD written = 0;
  WriteFile(GetStdHandle(IsVmStandardOutput(stream) ? STD_OUTPUT_HANDLE
                                                    : STD_ERROR_HANDLE),
            text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void WindowsPlatform::OpenConsole() {
  // The C library's streams were set up without a console; they are opened
  // on the new one. A VM library loaded later finds it by itself.
  if (!AllocConsole()) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

std::int64_t WindowsPlatform::Now() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

std::string WindowsPlatform::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return Format("%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
}

std::uint32_t WindowsPlatform::ProcessId() { return GetCurrentProcessId(); }

void WindowsPlatform::WriteOut(const std::string& text) {
  WriteStream(stdout, text);
}

void WindowsPlatform::WriteErr(const std::string& text) {
  WriteStream(stderr, text);
}

void WindowsPlatform::Note(const std::string&) {}

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (g_application == nullptr) return FALSE;
  // Closing the console, logging off and shutting down end the launcher
  // once this returns; the application got the event too, so wait for it
  // (the system allows a few seconds).
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
      event == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(g_application, INFINITE);
  }
  return TRUE;
}

}  // namespace

void ShareConsoleWithTheApplication() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
