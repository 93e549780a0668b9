// Checks of the Win32 platform operations and of the C runtime the launcher
// is linked with, run under Windows or Wine (ctest in the Windows build runs
// it through the cross-compiling emulator). Every check works in a fresh
// scratch directory and a scratch registry key, both removed at the end.
//
// A console program with its own tiny harness: GoogleTest is not part of the
// cross toolchain.

#include "platform/platform_windows.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "platform/late_bound_calls.h"
#include "text/text_helpers.h"

namespace {

int failures = 0;
int checks = 0;

void Check(bool ok, const char* what, int line) {
  ++checks;
  if (!ok) {
    ++failures;
    std::printf("FAILED line %d: %s\n", line, what);
  }
}
#define CHECK(cond) Check((cond), #cond, __LINE__)
#define CHECK_EQ(a, b) Check((a) == (b), #a " == " #b, __LINE__)

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// The formatter measures with vsnprintf(nullptr, 0, ...): the old msvcrt
// returns -1 there, which would make every formatted text empty.
void TestFormatUnderThisRuntime() {
  CHECK_EQ(Format("Error=%d", INT_MIN), "Error=-2147483648");
  CHECK_EQ(Format("%u|%lu", 4294967295u, 4294967295ul),
           "4294967295|4294967295");
  std::string longText(5000, 'x');
  std::string formatted = Format("[%s]", longText.c_str());
  CHECK_EQ(formatted.size(), 5002u);
  CHECK_EQ(formatted, "[" + longText + "]");
  CHECK_EQ(Format("%s", ""), "");
  CHECK_EQ(Format("vmparam %d=%s\n", 3, "-Xmx1g"), "vmparam 3=-Xmx1g\n");
}

void TestDirectories(PlatformOps& os, const std::string& scratch) {
  std::string original;
  CHECK(os.files.CurrentDirectory(&original));
  os.files.ChangeDirectory(scratch);
  std::string now;
  CHECK(os.files.CurrentDirectory(&now));
  CHECK_EQ(os.files.CanonicalPath(now), os.files.CanonicalPath(scratch));

  // A directory of 260 characters or more cannot be reported; the output
  // must stay as it was. Windows itself may refuse to enter such a
  // directory, in which case there is nothing to check.
  std::string deep = scratch;
  while (deep.size() < 300) {
    deep += "\\" + std::string(60, 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
  }
  if (SetCurrentDirectoryA(deep.c_str())) {
    std::string untouched = "unchanged";
    CHECK(!os.files.CurrentDirectory(&untouched));
    CHECK_EQ(untouched, "unchanged");
  } else {
    std::printf("note: cannot enter a %u-character directory here\n",
                static_cast<unsigned>(deep.size()));
  }
  os.files.ChangeDirectory(original);
  CHECK(os.files.CurrentDirectory(&now));
  CHECK_EQ(now, original);
}

void TestEnvironment(PlatformOps& os) {
  std::string big(3000, 'v');
  big += "end";
  SetEnvironmentVariableA("LAUNCHER_PLATFORM_TEST", big.c_str());
  auto value = os.system.Environment("LAUNCHER_PLATFORM_TEST");
  CHECK(value.has_value());
  CHECK_EQ(value.value_or(""), big);
  CHECK_EQ(os.system.Environment("launcher_platform_test").value_or(""), big);
  SetEnvironmentVariableA("LAUNCHER_PLATFORM_TEST", "short");
  CHECK_EQ(os.system.Environment("LAUNCHER_PLATFORM_TEST").value_or(""), "short");
  SetEnvironmentVariableA("LAUNCHER_PLATFORM_TEST", nullptr);
  CHECK(!os.system.Environment("LAUNCHER_PLATFORM_TEST").has_value());
}

void TestFiles(PlatformOps& os, const std::string& scratch) {
  std::string dir = scratch + "\\lib";
  CreateDirectoryA(dir.c_str(), nullptr);
  WriteBytes(dir + "\\b.jar", "b");
  WriteBytes(dir + "\\a.jar", "a");
  WriteBytes(dir + "\\notes.txt", "n");
  CreateDirectoryA((dir + "\\folder.jar").c_str(), nullptr);

  std::vector<DirEntry> found = os.files.FindFiles(dir + "/*.jar");
  std::set<std::string> names;
  for (const DirEntry& entry : found) {
    names.insert(entry.name);
    bool isDir = (entry.attributes & kAttributeDirectory) != 0;
    CHECK_EQ(isDir, entry.name == "folder.jar");
  }
  CHECK_EQ(found.size(), 3u);
  CHECK((names == std::set<std::string>{"a.jar", "b.jar", "folder.jar"}));
  CHECK(os.files.FindFiles(dir + "/*.none").empty());
  CHECK(os.files.FindFiles(scratch + "\\missing\\*.jar").empty());

  // Byte for byte: CR/LF pairs, a lone CR, Ctrl-Z and NUL all come back.
  std::string bytes = std::string("key value\r\nnext\rline\x1a", 21) +
                      std::string("\0tail", 5) + std::string(10000, 'z');
  std::string file = scratch + "\\app.config";
  WriteBytes(file, bytes);
  std::string content, error;
  CHECK(os.files.ReadFile(file, &content, &error));
  CHECK_EQ(content, bytes);

  content = "kept";
  CHECK(!os.files.ReadFile(scratch + "\\missing.config", &content, &error));
  CHECK_EQ(error, "No such file or directory");
  CHECK_EQ(content, "kept");
  error.clear();
  CHECK(!os.files.ReadFile(dir, &content, &error));
  CHECK(!error.empty());
  std::printf("note: reading a directory fails with \"%s\"\n", error.c_str());

  CHECK(os.files.FileExists(file));
  CHECK(!os.files.FileExists(dir));
  CHECK(!os.files.FileExists(scratch + "\\missing.config"));

  std::string canonical = os.files.CanonicalPath(dir + "\\A.JAR");
  CHECK_EQ(canonical, os.files.CanonicalPath(scratch + "/LIB/./x/../a.jar"));
  CHECK(canonical.size() > 2 && canonical[1] == ':');
  CHECK_EQ(canonical.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
           std::string::npos);
  CHECK(os.files.CanonicalPath(dir + "\\a.jar") != os.files.CanonicalPath(dir + "\\b.jar"));
}

const char kTestKey[] = "SOFTWARE\\LauncherPlatformTest";

void SetRaw(HKEY key, const char* name, DWORD type, const std::string& data) {
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
}

// Reads the scratch key's "Version" through `calls`.
std::string VersionThrough(const RegistryCalls& calls) {
  HKEY key = nullptr;
  if (calls.openKey(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return "(cannot open)";
  }
  char data[16] = {};
  DWORD size = sizeof(data) - 1;
  DWORD subkeys = 0;
  std::string result = "(cannot read)";
  if (calls.queryValue(key, "Version", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS &&
      calls.queryInfo(key, nullptr, nullptr, nullptr, &subkeys, nullptr,
                      nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS) {
    result = std::string(data) + " with " + std::to_string(subkeys);
  }
  calls.closeKey(key);
  return result;
}

// The registry calls come from KERNEL32 where it has them, so that the
// launcher need not load ADVAPI32; ADVAPI32, where older systems keep them,
// must serve as well.
void TestRegistryCallSources() {
  const RegistryCalls* system = SystemRegistryCalls();
  CHECK(system != nullptr);
  RegistryCalls fromKernel32 = {};
  if (RegistryCallsFrom(GetModuleHandleA("kernel32.dll"), &fromKernel32)) {
    CHECK(system != nullptr && system->openKey == fromKernel32.openKey);
    CHECK_EQ(VersionThrough(fromKernel32), "1.6 with 3");
  }
  RegistryCalls fromAdvapi32 = {};
  CHECK(RegistryCallsFrom(LoadLibraryA("advapi32.dll"), &fromAdvapi32));
  CHECK_EQ(VersionThrough(fromAdvapi32), "1.6 with 3");
  RegistryCalls none = {};
  CHECK(!RegistryCallsFrom(GetModuleHandleA("msvcrt.dll"), &none));
  CHECK(!RegistryCallsFrom(nullptr, &none));
}

void TestRegistry(PlatformOps& os) {
  HKEY root = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &root,
                      nullptr) != ERROR_SUCCESS) {
    CHECK(!"cannot create the scratch registry key");
    return;
  }
  // "Version" is stored with its NUL, the way programs write strings.
  SetRaw(root, "Version", REG_SZ, std::string("1.6\0", 4));
  // "Home" is stored without one. A non-zero byte follows the data in memory
  // so that the registry cannot count a NUL that happens to be there.
  std::string home = "C:\\Java\\jre6X";
  RegSetValueExA(root, "Home", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(home.data()),
                 static_cast<DWORD>(home.size() - 1));
  SetRaw(root, "Embedded", REG_BINARY, std::string("ab\0cd", 5));
  std::string longName(255, 'k');
  for (const std::string& sub :
       {std::string("1.5.0_06"), std::string("1.6.0_20"), longName}) {
    HKEY child = nullptr;
    RegCreateKeyExA(root, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &child, nullptr);
    if (child != nullptr) RegCloseKey(child);
  }
  RegCloseKey(root);

  for (RegistryView view :
       {RegistryView::kDefault, RegistryView::k32, RegistryView::k64}) {
    RegKey key = 0;
    bool opened = os.registry.OpenRegistryKey(kTestKey, view, &key);
    // A 32-bit program on 64-bit Windows writes to the 32-bit view, so the
    // 64-bit view does not have the key there; a 64-bit program writes to
    // the 64-bit view, and the 32-bit view lacks it.
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const bool native64 = sizeof(void*) == 8;
    if ((view == RegistryView::k64 && wow64) ||
        (view == RegistryView::k32 && native64)) {
      CHECK(!opened);
      if (opened) os.registry.CloseRegistryKey(key);
      continue;
    }
    CHECK(opened);
    if (!opened) continue;

    std::string text = "old";
    CHECK(os.registry.QueryRegistryValue(key, "Version", 255, &text));
    CHECK_EQ(text, "1.6");
    CHECK(os.registry.QueryRegistryValue(key, "Home", 2048, &text));
    CHECK_EQ(text, "C:\\Java\\jre6");
    // Exactly the stored size fits; one byte less does not.
    CHECK(os.registry.QueryRegistryValue(key, "Home", 12, &text));
    CHECK_EQ(text, "C:\\Java\\jre6");
    text = "old";
    CHECK(!os.registry.QueryRegistryValue(key, "Home", 11, &text));
    CHECK_EQ(text, "old");
    CHECK(os.registry.QueryRegistryValue(key, "Embedded", 255, &text));
    CHECK_EQ(text, "ab");
    CHECK(!os.registry.QueryRegistryValue(key, "Missing", 255, &text));

    std::uint32_t count = 0;
    CHECK(os.registry.CountSubkeys(key, &count));
    CHECK_EQ(count, 3u);
    std::set<std::string> subkeys;
    std::string name;
    for (std::uint32_t i = 0; i < count; ++i) {
      name.clear();
      CHECK(os.registry.EnumerateSubkey(key, i, &name));
      subkeys.insert(name);
    }
    CHECK((subkeys == std::set<std::string>{"1.5.0_06", "1.6.0_20", longName}));
    CHECK(!os.registry.EnumerateSubkey(key, count, &name));
    os.registry.CloseRegistryKey(key);
  }
  RegKey missing = 0;
  CHECK(!os.registry.OpenRegistryKey("SOFTWARE\\LauncherPlatformTest\\nothing",
                            RegistryView::kDefault, &missing));
  TestRegistryCallSources();
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
}

std::uint32_t RunToEnd(PlatformOps& os, const std::string& commandLine,
                       const std::optional<std::string>& directory) {
  StartedProcess child = os.processes.StartProcess(commandLine, directory, std::nullopt);
  CHECK(child.ok);
  if (!child.ok) return 0xDEADBEEF;
  os.processes.WaitForIdle(child.handle, 5000);
  os.processes.WaitForEnd(child.handle);
  std::uint32_t code = os.processes.ProcessExitCode(child.handle);
  os.processes.CloseProcess(child.handle);
  return code;
}

// The idle wait needs USER32 only for an application that is still running,
// and it ends at its time limit even when the application goes on.
void TestIdleWait(PlatformOps& os) {
  StartedProcess quick =
      os.processes.StartProcess("cmd.exe /c exit 5", std::nullopt, std::nullopt);
  CHECK(quick.ok);
  if (quick.ok) {
    os.processes.WaitForEnd(quick.handle);
    CHECK(GetModuleHandleA("user32.dll") == nullptr);
    os.processes.WaitForIdle(quick.handle, 5000);
    CHECK(GetModuleHandleA("user32.dll") == nullptr);
    os.processes.CloseProcess(quick.handle);
  }

  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, sizeof(self));
  std::string command = "\"" + std::string(self, length) + "\" --sleep 30000";
  StartedProcess slow = os.processes.StartProcess(command, std::nullopt, std::nullopt);
  CHECK(slow.ok);
  if (!slow.ok) return;
  HANDLE handle = reinterpret_cast<HANDLE>(slow.handle);
  os.processes.WaitForIdle(slow.handle, 1000);
  CHECK_EQ(WaitForSingleObject(handle, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(handle, 0);
  os.processes.WaitForEnd(slow.handle);
  os.processes.CloseProcess(slow.handle);
}

void TestProcesses(PlatformOps& os, const std::string& scratch) {
  CHECK_EQ(RunToEnd(os, "cmd.exe /c exit 7", std::nullopt), 7u);
  CHECK_EQ(RunToEnd(os, "cmd.exe /c exit -1", std::nullopt), 0xFFFFFFFFu);
  // The child starts in the directory given, else in the launcher's.
  WriteBytes(scratch + "\\marker.txt", "m");
  const std::string probe =
      "cmd.exe /c if exist marker.txt (exit 3) else (exit 4)";
  CHECK_EQ(RunToEnd(os, probe, scratch), 3u);
  CHECK_EQ(RunToEnd(os, probe, std::string("C:\\")), 4u);

  StartedProcess missing =
      os.processes.StartProcess("no_such_program_here.exe -x", std::nullopt, "Title");
  CHECK(!missing.ok);
  CHECK_EQ(missing.errorCode, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  std::string message = os.system.ErrorMessage(missing.errorCode);
  std::printf("note: error 2 reads \"%s\"\n", message.c_str());
  CHECK(!message.empty());
  CHECK(message.find_last_of("\r\n ") != message.size() - 1);
}

void TestClockAndVersion(PlatformOps& os) {
  // Compare with the system clock converted from 1601 to 1970 by hand.
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER ticks;
  ticks.LowPart = ft.dwLowDateTime;
  ticks.HighPart = ft.dwHighDateTime;
  long long system =
      static_cast<long long>(ticks.QuadPart / 10000000ULL) - 11644473600LL;
  long long now = os.system.Now();
  CHECK(now - system <= 2 && system - now <= 2);
  unsigned major = os.system.SystemMajorVersion();
  std::printf("note: system major version %u\n", major);
  CHECK(major >= 5);
}


// USER32 by name: the idle wait's check needs it unloaded until then.
#define USER32(name) LookUpCall<decltype(&::name)>(User32(), #name)

// The splash loads COM only when asked; shows a layered window of its class,
// of the image's size, while no other window of the process shows, and
// closes once one does; an image it cannot read or decode shows nothing.
// (The end-to-end tests show a PNG with transparency.)
void TestSplash(PlatformOps& os, const std::string& scratch) {
  CHECK(GetModuleHandleA("ole32.dll") == nullptr);
  CHECK(!os.ui.ShowSplash(scratch + "\\missing.png"));
  WriteBytes(scratch + "\\garbage.png", "\x89PNG\r\n\x1a\n not an image");
  CHECK(!os.ui.ShowSplash(scratch + "\\garbage.png"));
  CHECK(USER32(FindWindowA)(kSplashWindowClass, nullptr) == nullptr);
  // A grey BMP of 2x2 pixels (24 bits).
  WriteBytes(scratch + "\\splash.bmp",
             std::string("\x42\x4d\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00"
                         "\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00"
                         "\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00"
                         "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                         "\x00\x00\x00\x00\x00\x00\x60\x60\x60\x60\x60\x60"
                         "\x00\x00\x60\x60\x60\x60\x60\x60\x00\x00",
                         70));
  CHECK(os.ui.ShowSplash(scratch + "\\splash.bmp"));
  HWND splash = USER32(FindWindowA)(kSplashWindowClass, nullptr);
  DWORD process = 0;
  USER32(GetWindowThreadProcessId)(splash, &process);
  CHECK(splash != nullptr && USER32(IsWindowVisible)(splash));
  CHECK_EQ(process, GetCurrentProcessId());
  CHECK(USER32(GetWindowLongA)(splash, GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT box = {};
  USER32(GetWindowRect)(splash, &box);
  CHECK(box.right - box.left == 2 && box.bottom - box.top == 2);
  Sleep(300);
  CHECK(USER32(IsWindow)(splash));
  HWND other =
      USER32(CreateWindowExA)(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0,
                              20, 20, nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < 40 && USER32(IsWindow)(splash); ++i) Sleep(50);
  CHECK(!USER32(IsWindow)(splash));
  USER32(DestroyWindow)(other);
}

}  // namespace

int main(int argc, char** argv) {
  // The idle wait's check starts this program as a child that just waits.
  if (argc == 3 && std::strcmp(argv[1], "--sleep") == 0) {
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    return 0;
  }
  WindowsPlatform platform;
  PlatformOps& os = platform.ops();
  char temp[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof(temp), temp);
  std::string scratch = std::string(temp, length) + "launcher_platform_" +
                        std::to_string(GetCurrentProcessId());
  CreateDirectoryA(scratch.c_str(), nullptr);

  TestFormatUnderThisRuntime();
  TestDirectories(os, scratch);
  TestEnvironment(os);
  TestFiles(os, scratch);
  TestRegistry(os);
  TestIdleWait(os);
  TestProcesses(os, scratch);
  TestClockAndVersion(os);
  TestSplash(os, scratch);

  std::string command = "cmd.exe /c rd /s /q \"" + scratch + "\"";
  RunToEnd(os, command, std::nullopt);
  std::printf("%d checks, %d failed\n", checks, failures);
  return failures == 0 ? 0 : 1;
}
