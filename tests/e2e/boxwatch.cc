// Box watcher for the end-to-end tests: runs the launcher under Wine,
// answers its message boxes and reports what happened.
//
// Usage: boxwatch.exe REQUEST_FILE
//
// The request file holds one directive per line, fields separated by tabs;
// in every field "%XX" (two hex digits) stands for that byte, so a field can
// carry tabs, line ends and percent signs.
//   cmdline  TEXT           launcher command line, passed to CreateProcessA
//                           exactly as written (no line: only registry work)
//   app      PATH           application name for CreateProcessA (optional)
//   cwd      DIR            current directory for the launcher, also the
//                           one its relative program path is found from
//   stdout   PATH           file that receives the launcher's standard output
//   stderr   PATH           file that receives the launcher's standard error
//   log      PATH           result log (JSON, one object per line)
//   answer   y|n|ok|cancel  answer for the next box, in order
//   timeout  MS             kill the launcher after this long (default 60000)
//   kill     MS             end the launcher alone (TerminateProcess) after
//                           this long, then report its children still alive
//                           a second later
//   env      NAME VALUE     set a variable in the launcher's environment
//   unsetenv NAME           remove a variable from it
//   regset   KEY NAME TYPE VALUE   write a registry value before the run;
//                           KEY starts with HKLM\ or HKCU\, an empty NAME is
//                           the default value, TYPE is sz, sz_nonul (stored
//                           without its terminating NUL), expand_sz or dword
//   regdelvalue KEY NAME    delete a value (missing is fine)
//   regdelkey   KEY         delete a key and everything below it
//
// Events written to the log:
//   {"event":"reg", "op":..., "key":..., "status":N}   failed registry work
//   {"event":"started", "pid":N}
//   {"event":"start_failed", "error":N}
//   {"event":"box", "caption":..., "text":..., "buttons":[...],
//    "icon":"icon"|"none", "scripted":..., "answer":..., "ms":N}
//   {"event":"timeout", "ms":N}
//   {"event":"killed", "children":N, "alive":N}
//   {"event":"exit", "code":N}      full 32-bit exit code, unsigned
//   {"event":"done"}
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>

#include <set>
#include <string>
#include <vector>

#include "json_text.h"
#include "whole_file.h"

namespace {

std::string g_log;

// Appends one line to the log at once, so that a killed watcher still
// leaves everything seen so far.
void LogEvent(const std::string& json) {
  if (g_log.empty()) return;
  HANDLE h = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string line = json + "\n";
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
  CloseHandle(h);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '%' && i + 2 < field.size() &&
        HexValue(field[i + 1]) >= 0 && HexValue(field[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(field[i + 1]) * 16 +
                               HexValue(field[i + 2]));
      i += 2;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.push_back(Unescape(line.substr(
        start, tab == std::string::npos ? std::string::npos : tab - start)));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

// --- Registry work -------------------------------------------------------

bool SplitKey(const std::string& full, HKEY* root, std::string* sub) {
  size_t slash = full.find('\\');
  std::string head = full.substr(0, slash);
  *sub = slash == std::string::npos ? std::string() : full.substr(slash + 1);
  if (head == "HKLM" || head == "HKEY_LOCAL_MACHINE") {
    *root = HKEY_LOCAL_MACHINE;
  } else if (head == "HKCU" || head == "HKEY_CURRENT_USER") {
    *root = HKEY_CURRENT_USER;
  } else {
    return false;
  }
  return true;
}

void LogRegFailure(const char* op, const std::string& key, long status) {
  LogEvent("{\"event\":\"reg\", \"op\":" + JsonString(op) +
           ", \"key\":" + JsonString(key) +
           ", \"status\":" + std::to_string(status) + "}");
}

LONG DeleteTree(HKEY parent, const std::string& sub) {
  HKEY key;
  LONG status = RegOpenKeyExA(parent, sub.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (status != ERROR_SUCCESS) return status;
  while (true) {
    char name[512];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      break;
    }
    if (DeleteTree(key, name) != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, sub.c_str());
}

void RegistryDirective(const std::vector<std::string>& f) {
  HKEY root;
  std::string sub;
  if (f.size() < 2 || !SplitKey(f[1], &root, &sub)) {
    LogRegFailure(f[0].c_str(), f.size() > 1 ? f[1] : "", -1);
    return;
  }
  if (f[0] == "regdelkey") {
    LONG status = DeleteTree(root, sub);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
      LogRegFailure("regdelkey", f[1], status);
    }
    return;
  }
  HKEY key;
  LONG status = RegCreateKeyExA(root, sub.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    LogRegFailure(f[0].c_str(), f[1], status);
    return;
  }
  std::string name = f.size() > 2 ? f[2] : "";
  const char* value_name = name.empty() ? nullptr : name.c_str();
  if (f[0] == "regdelvalue") {
    status = RegDeleteValueA(key, value_name);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  } else if (f[0] == "regset" && f.size() >= 5) {
    const std::string& type = f[3];
    std::string data = f[4];
    if (type == "dword") {
      DWORD number = static_cast<DWORD>(strtoul(data.c_str(), nullptr, 0));
      status = RegSetValueExA(key, value_name, 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&number),
                              sizeof number);
    } else if (type == "sz" || type == "expand_sz") {
      status = RegSetValueExA(
          key, value_name, 0, type == "sz" ? REG_SZ : REG_EXPAND_SZ,
          reinterpret_cast<const BYTE*>(data.c_str()),
          static_cast<DWORD>(data.size() + 1));
    } else if (type == "sz_nonul") {
      // A non-zero byte after the data keeps the system from counting a
      // terminating NUL that merely happens to follow it in memory.
      std::string padded = data + "X";
      status = RegSetValueExA(key, value_name, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(padded.data()),
                              static_cast<DWORD>(data.size()));
    } else {
      status = -1;
    }
  } else {
    status = -1;
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) LogRegFailure(f[0].c_str(), f[1], status);
}

// --- Boxes -----------------------------------------------------------------

struct FindContext {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM param) {
  FindContext* ctx = reinterpret_cast<FindContext*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != ctx->pid || !IsWindowVisible(hwnd)) return TRUE;
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") == 0) ctx->found.push_back(hwnd);
  return TRUE;
}

std::string WindowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                           2000, &length)) {
    length = GetWindowTextLengthA(hwnd);
  }
  std::vector<char> buf(length + 2, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buf.size(),
                           reinterpret_cast<LPARAM>(buf.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    copied = GetWindowTextA(hwnd, buf.data(), static_cast<int>(buf.size()));
  }
  return std::string(buf.data(), copied);
}

struct Button {
  int id;
  const char* name;
};
const Button kButtons[] = {{IDOK, "ok"},         {IDCANCEL, "cancel"},
                           {IDABORT, "abort"},   {IDRETRY, "retry"},
                           {IDIGNORE, "ignore"}, {IDYES, "y"},
                           {IDNO, "n"}};

// Whether the box shows an icon. Which icon it is cannot be told from
// another process (icon handles are per process), so only presence counts.
std::string IconKind(HWND dialog) {
  HWND icon = GetDlgItem(dialog, 0x0440);
  if (icon == nullptr || !IsWindowVisible(icon)) return "none";
  DWORD_PTR shown = 0;
  SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &shown);
  return shown == 0 ? "none" : "icon";
}

void HandleBox(HWND dialog, std::vector<std::string>* answers, DWORD start) {
  std::string caption = WindowText(dialog);
  HWND text_control = GetDlgItem(dialog, 0xFFFF);
  std::string text = text_control ? WindowText(text_control) : std::string();

  std::string buttons = "[";
  std::set<std::string> present;
  for (const Button& b : kButtons) {
    if (GetDlgItem(dialog, b.id) != nullptr) {
      if (!present.empty()) buttons += ", ";
      buttons += JsonString(b.name);
      present.insert(b.name);
    }
  }
  buttons += "]";

  std::string answer;
  if (!answers->empty()) {
    answer = answers->front();
    answers->erase(answers->begin());
  }
  std::string pressed = answer;
  if (pressed.empty() || present.count(pressed) == 0) {
    // Unscripted, or the scripted button is missing: never press Yes.
    pressed = present.count("ok")       ? "ok"
              : present.count("n")      ? "n"
              : present.count("cancel") ? "cancel"
              : present.empty()         ? ""
                                        : *present.begin();
  }

  LogEvent("{\"event\":\"box\", \"caption\":" + JsonString(caption) +
           ", \"text\":" + JsonString(text) + ", \"buttons\":" + buttons +
           ", \"icon\":" + JsonString(IconKind(dialog)) +
           ", \"scripted\":" + JsonString(answer) +
           ", \"answer\":" + JsonString(pressed) +
           ", \"ms\":" + std::to_string(GetTickCount() - start) + "}");

  for (const Button& b : kButtons) {
    if (pressed == b.name) {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(b.id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, b.id)));
      return;
    }
  }
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// The processes that `pid` started.
std::vector<DWORD> ChildrenOf(DWORD pid) {
  std::vector<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32First(snapshot, &entry); ok;
       ok = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID == pid && entry.th32ProcessID != pid) {
      children.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return children;
}

// Ends the launcher as Task Manager would, and counts which of its
// children outlive it by a second.
void KillAlone(HANDLE launcher, DWORD pid) {
  std::vector<HANDLE> children;
  for (DWORD child : ChildrenOf(pid)) {
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                           child);
    if (h != nullptr) children.push_back(h);
  }
  TerminateProcess(launcher, 0xDEAD);
  WaitForSingleObject(launcher, 5000);
  Sleep(1000);
  int alive = 0;
  for (HANDLE h : children) {
    alive += WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
  }
  LogEvent("{\"event\":\"killed\", \"children\":" +
           std::to_string(children.size()) + ", \"alive\":" +
           std::to_string(alive) + "}");
}

// Kills the process and everything it started, children first.
void KillTree(DWORD pid) {
  for (DWORD child : ChildrenOf(pid)) KillTree(child);
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  if (process != nullptr) {
    TerminateProcess(process, 0xDEAD);
    CloseHandle(process);
  }
}

HANDLE OpenForChild(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                     write ? CREATE_ALWAYS : OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: boxwatch REQUEST_FILE\n");
    return 64;
  }
  std::string request = ReadWholeFile(argv[1]);
  bool have_cmdline = false;
  std::string cmdline, app, cwd, out_path, err_path;
  std::vector<std::string> answers;
  DWORD timeout_ms = 60000;
  DWORD kill_ms = 0;
  std::vector<std::vector<std::string>> registry_work;

  size_t pos = 0;
  while (pos < request.size()) {
    size_t end = request.find('\n', pos);
    std::string line = request.substr(
        pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? request.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> f = SplitFields(line);
    const std::string& what = f[0];
    std::string arg = f.size() > 1 ? f[1] : "";
    if (what == "cmdline") {
      cmdline = arg;
      have_cmdline = true;
    } else if (what == "app") {
      app = arg;
    } else if (what == "cwd") {
      cwd = arg;
    } else if (what == "stdout") {
      out_path = arg;
    } else if (what == "stderr") {
      err_path = arg;
    } else if (what == "log") {
      g_log = arg;
    } else if (what == "answer") {
      answers.push_back(arg);
    } else if (what == "timeout") {
      timeout_ms = strtoul(arg.c_str(), nullptr, 10);
    } else if (what == "kill") {
      kill_ms = strtoul(arg.c_str(), nullptr, 10);
    } else if (what == "env") {
      SetEnvironmentVariableA(arg.c_str(),
                              f.size() > 2 ? f[2].c_str() : "");
    } else if (what == "unsetenv") {
      SetEnvironmentVariableA(arg.c_str(), nullptr);
    } else if (what.compare(0, 3, "reg") == 0) {
      registry_work.push_back(f);
    } else {
      fprintf(stderr, "boxwatch: unknown directive %s\n", what.c_str());
      return 64;
    }
  }

  for (const auto& f : registry_work) RegistryDirective(f);
  if (!have_cmdline) {
    LogEvent("{\"event\":\"done\"}");
    return 0;
  }

  STARTUPINFOA si;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = OpenForChild("NUL", false);
  si.hStdOutput = OpenForChild(out_path.empty() ? "NUL" : out_path, true);
  si.hStdError = OpenForChild(err_path.empty() ? "NUL" : err_path, true);

  // Like a shell started in that directory: a relative program path in the
  // command line is found from there too.
  if (!cwd.empty()) SetCurrentDirectoryA(cwd.c_str());

  // CreateProcessA may write into the command line; give it a copy.
  std::vector<char> command(cmdline.begin(), cmdline.end());
  command.push_back('\0');
  PROCESS_INFORMATION pi;
  ZeroMemory(&pi, sizeof pi);
  DWORD start = GetTickCount();
  // Wine 8 now and then fails to start a 64-bit program with an internal
  // error (1359) when the machine is busy; a moment later it starts. That
  // is Wine's, not the launcher's, so the start is tried again.
  BOOL created = FALSE;
  for (int attempt = 0; attempt < 3 && !created; ++attempt) {
    if (attempt > 0) Sleep(500);
    created = CreateProcessA(app.empty() ? nullptr : app.c_str(),
                             command.data(), nullptr, nullptr, TRUE, 0,
                             nullptr, cwd.empty() ? nullptr : cwd.c_str(), &si,
                             &pi);
    if (!created && GetLastError() != ERROR_INTERNAL_ERROR) break;
  }
  CloseHandle(si.hStdInput);
  CloseHandle(si.hStdOutput);
  CloseHandle(si.hStdError);
  if (!created) {
    LogEvent("{\"event\":\"start_failed\", \"error\":" +
             std::to_string(GetLastError()) + "}");
    LogEvent("{\"event\":\"done\"}");
    return 0;
  }
  LogEvent("{\"event\":\"started\", \"pid\":" +
           std::to_string(pi.dwProcessId) + "}");

  std::set<HWND> handled;
  while (true) {
    FindContext ctx{pi.dwProcessId, {}};
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&ctx));
    for (HWND dialog : ctx.found) {
      if (handled.insert(dialog).second) HandleBox(dialog, &answers, start);
    }
    // Forget closed boxes so that a reused handle counts as a new box.
    for (auto it = handled.begin(); it != handled.end();) {
      it = IsWindow(*it) ? std::next(it) : handled.erase(it);
    }
    if (WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0) break;
    if (kill_ms != 0 && GetTickCount() - start > kill_ms) {
      KillAlone(pi.hProcess, pi.dwProcessId);
      break;
    }
    if (GetTickCount() - start > timeout_ms) {
      KillTree(pi.dwProcessId);
      WaitForSingleObject(pi.hProcess, 5000);
      LogEvent("{\"event\":\"timeout\", \"ms\":" +
               std::to_string(GetTickCount() - start) + "}");
      break;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  LogEvent("{\"event\":\"exit\", \"code\":" + std::to_string(code) + "}");
  LogEvent("{\"event\":\"done\"}");
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return 0;
}
