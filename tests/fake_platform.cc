#include "tests/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

bool CaseInsensitiveLess::operator()(const std::string& a,
                                     const std::string& b) const {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
      });
}

namespace {

std::string ParentOf(const std::string& path) {
  std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void FakePlatform::AddKey(const std::string& path, RegistryView view) {
  auto& tree = registry[view];
  if (tree.count(path)) return;
  tree[path];
  std::string parent = ParentOf(path);
  if (parent.empty()) return;
  AddKey(parent, view);
  tree[parent].subkeys.push_back(LeafOf(path));
}

void FakePlatform::SetValue(const std::string& path, const std::string& name,
                            const std::string& data, RegistryView view) {
  AddKey(path, view);
  registry[view][path].values[name].data = data;
}

std::vector<std::string> FakePlatform::Captions() const {
  std::vector<std::string> captions;
  for (const Box& box : boxes) captions.push_back(box.caption);
  return captions;
}

int FakePlatform::ShowMessageBox(const std::string& text,
                                 const std::string& caption, unsigned style) {
  boxes.push_back({text, caption, style});
  if (answers.empty()) return defaultAnswer;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

unsigned FakePlatform::SystemMajorVersion() { return majorVersion; }

void FakePlatform::ChangeDirectory(const std::string& path) {
  directoryChanges.push_back(path);
  currentDirectory = path;
}

bool FakePlatform::CurrentDirectory(std::string* dir) {
  if (currentDirectoryUnreadable || currentDirectory.size() >= 260) {
    return false;
  }
  *dir = currentDirectory;
  return true;
}

std::optional<std::string> FakePlatform::Environment(const std::string& name) {
  auto it = environment.find(name);
  if (it == environment.end()) return std::nullopt;
  return it->second;
}

void FakePlatform::SetEnvironment(const std::string& name,
                                  const std::string& value) {
  environment[name] = value;
}

std::string FakePlatform::ModulePath() { return modulePath; }

std::vector<DirEntry> FakePlatform::FindFiles(const std::string& pattern) {
  searches.push_back(pattern);
  auto it = listings.find(pattern);
  if (it == listings.end()) return {};
  return it->second;
}

bool FakePlatform::ReadFile(const std::string& path, std::string* content,
                            std::string* error) {
  filesRead.push_back(path);
  auto it = files.find(path);
  if (it == files.end()) {
    *error = "No such file or directory";
    return false;
  }
  if (!it->second.error.empty()) {
    *error = it->second.error;
    return false;
  }
  *content = it->second.content;
  return true;
}

bool FakePlatform::CarriesArchive() { return carriesArchive; }

bool FakePlatform::ReadFileStart(const std::string& path, std::size_t maxBytes,
                                 std::string* content) {
  std::string error;
  if (!ReadFile(path, content, &error)) return false;
  if (content->size() > maxBytes) content->resize(maxBytes);
  return true;
}

bool FakePlatform::EmbeddedConfiguration(std::string* content) {
  if (!embeddedConfiguration) return false;
  *content = *embeddedConfiguration;
  return true;
}

bool FakePlatform::FileExists(const std::string& path) {
  auto it = files.find(path);
  return it != files.end() && it->second.error.empty();
}

bool FakePlatform::OpenForAppend(const std::string& path, FileHandle* file,
                                 std::uint64_t* size) {
  File& existing = files[path];
  if (!existing.error.empty()) return false;
  *size = existing.content.size();
  *file = nextFile_++;
  openFiles_[*file] = path;
  ++openAppends;
  return true;
}

bool FakePlatform::Append(FileHandle file, const std::string& text) {
  auto open = openFiles_.find(file);
  if (open == openFiles_.end() || unwritable.count(open->second)) return false;
  files[open->second].content += text;
  appends.push_back(text);
  return true;
}

void FakePlatform::CloseFile(FileHandle file) {
  if (openFiles_.erase(file)) --openAppends;
}

bool FakePlatform::RenameFile(const std::string& from, const std::string& to) {
  auto it = files.find(from);
  if (it == files.end()) return false;
  files[to] = it->second;
  files.erase(from);
  return true;
}

std::string FakePlatform::CanonicalPath(const std::string& path) {
  std::string canonical = path;
  for (char& c : canonical) {
    if (c == '/') c = '\\';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  bool absolute = canonical.size() >= 2 && canonical[1] == ':';
  if (!absolute) {
    std::string base = currentDirectory;
    for (char& c : base) {
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    canonical = base + "\\" + canonical;
  }
  // Resolve "." and ".." as Windows does: "." names the folder itself, ".."
  // its parent, and nothing goes above the drive (c:\.. is c:).
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= canonical.size()) {
    std::size_t end = canonical.find('\\', start);
    if (end == std::string::npos) end = canonical.size();
    std::string part = canonical.substr(start, end - start);
    start = end + 1;
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (part != "." && !(part.empty() && !parts.empty())) {
      parts.push_back(part);
    }
  }
  std::string result;
  for (const std::string& part : parts) {
    if (!result.empty()) result += '\\';
    result += part;
  }
  return result;
}

bool FakePlatform::Utf16LeToAnsi(const std::string& utf16le,
                                 std::string* ansi) {
  // The fake's code page is Latin-1: every character up to U+00FF is one
  // byte of the same value, and nothing above has a form.
  if (utf16le.size() % 2 != 0) return false;
  std::string text;
  for (std::size_t i = 0; i < utf16le.size(); i += 2) {
    if (utf16le[i + 1] != '\0') return false;
    text += utf16le[i];
  }
  *ansi = std::move(text);
  return true;
}

RegistryView FakePlatform::Resolve(RegistryView view) const {
  if (view != RegistryView::kDefault) return view;
  return is64BitProcess ? RegistryView::k64 : RegistryView::k32;
}

bool FakePlatform::OpenRegistryKey(const std::string& path, RegistryView view,
                                   RegKey* key) {
  RegistryView resolved = Resolve(view);
  auto& tree = registry[resolved];
  if (!tree.count(path)) return false;
  RegKey handle = nextKey_++;
  openKeyTable_[handle] = {resolved, path};
  keysOpened.push_back(path);
  ++openKeys;
  *key = handle;
  return true;
}

bool FakePlatform::QueryRegistryValue(RegKey key, const std::string& name,
                                      std::size_t maxBytes, std::string* text) {
  auto open = openKeyTable_.find(key);
  if (open == openKeyTable_.end()) return false;
  const RegKeyData& data = registry[open->second.view][open->second.path];
  auto value = data.values.find(name);
  if (value == data.values.end()) return false;
  const std::string& stored = value->second.data;
  if (stored.size() > maxBytes) return false;
  *text = stored.substr(0, stored.find('\0'));
  return true;
}

bool FakePlatform::CountSubkeys(RegKey key, std::uint32_t* count) {
  auto open = openKeyTable_.find(key);
  if (open == openKeyTable_.end() || subkeyCountFails) return false;
  *count = static_cast<std::uint32_t>(
      registry[open->second.view][open->second.path].subkeys.size());
  return true;
}

bool FakePlatform::EnumerateSubkey(RegKey key, std::uint32_t index,
                                   std::string* name) {
  auto open = openKeyTable_.find(key);
  if (open == openKeyTable_.end()) return false;
  const auto& subkeys = registry[open->second.view][open->second.path].subkeys;
  if (index >= subkeys.size() || subkeys[index].size() > 255) return false;
  *name = subkeys[index];
  return true;
}

void FakePlatform::CloseRegistryKey(RegKey key) {
  if (openKeyTable_.erase(key)) --openKeys;
}

StartedProcess FakePlatform::StartProcess(
    const std::string& commandLine, const std::optional<std::string>& directory,
    const std::optional<std::string>& consoleTitle,
    const ChildOptions& options) {
  Run run = defaultRun;
  if (!runs.empty()) {
    run = runs.front();
    runs.pop_front();
  }
  starts.push_back({commandLine, directory, consoleTitle, !run.startFails,
                    options.output != nullptr, options.dieWithLauncher});
  StartedProcess started;
  if (run.startFails) {
    started.errorCode = run.errorCode;
    return started;
  }
  if (options.output) {
    pipes_[options.output->outRead] = run.out;
    pipes_[options.output->errRead] = run.err;
  }
  started.outsideJob = options.dieWithLauncher && inJobWithoutNesting;
  started.ok = true;
  started.handle = nextProcess_++;
  processes_[started.handle] = run;
  return started;
}

void FakePlatform::LetChildrenOutliveTheLauncher() { childrenReleased = true; }

bool FakePlatform::CreateOutputPipes(OutputPipes* pipes) {
  *pipes = {nextFile_, nextFile_ + 1, nextFile_ + 2, nextFile_ + 3};
  nextFile_ += 4;
  return true;
}

bool FakePlatform::ReadPipe(FileHandle pipe, std::string* chunk) {
  std::string& data = pipes_[pipe];
  if (data.empty()) return false;
  *chunk = data.substr(0, pipeReadBytes);
  data.erase(0, chunk->size());
  return true;
}

void FakePlatform::UseOutputPipes(const OutputPipes& pipes) {
  ownOutput = pipes;
}

void FakePlatform::WaitForIdle(ProcessHandle, unsigned milliseconds) {
  waits.push_back("idle " + std::to_string(milliseconds));
}

void FakePlatform::WaitForEnd(ProcessHandle process) {
  waits.push_back("end");
  now += processes_[process].seconds;
}

std::uint32_t FakePlatform::ProcessExitCode(ProcessHandle process) {
  return processes_[process].exitCode;
}

void FakePlatform::CloseProcess(ProcessHandle process) {
  waits.push_back("close");
  processes_.erase(process);
}

std::string FakePlatform::ErrorMessage(std::uint32_t errorCode) {
  if (errorCode == 2) return "The system cannot find the file specified.";
  return "Error " + std::to_string(errorCode) + ".";
}

std::string FakePlatform::OwnCommandLine() { return ownCommandLine; }

std::vector<std::string> FakePlatform::WideArguments() {
  return wideArguments;
}

// Latin-1, which is the ANSI code page's first 256 characters closely
// enough for tests.
std::string FakePlatform::AnsiToUtf16Le(const std::string& text) {
  std::string wide;
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

bool FakePlatform::Is64BitProcess() { return is64BitProcess; }

bool FakePlatform::LoadLibraryWithDependencies(
    const std::string& path, const std::string& dependencyFolder,
    LibraryHandle* library, std::uint32_t* errorCode) {
  libraryLoads.push_back({path, dependencyFolder});
  auto error = libraryLoadErrors.find(path);
  if (error != libraryLoadErrors.end()) {
    *errorCode = error->second;
    return false;
  }
  *library = 0x400 + libraryLoads.size();
  return true;
}

void* FakePlatform::LibraryFunction(LibraryHandle, const char* name) {
  auto it = libraryFunctions.find(name);
  return it == libraryFunctions.end() ? nullptr : it->second;
}

bool FakePlatform::StartThread(std::size_t stackBytes, ThreadBody body,
                               void* context, ThreadHandle* thread) {
  if (threadStartFails) return false;
  threadStacks.push_back(stackBytes);
  body(context);
  *thread = 0x500 + threadStacks.size();
  return true;
}

bool FakePlatform::WaitForThread(ThreadHandle, unsigned) { return true; }

void FakePlatform::WaitForThreadOrWake(ThreadHandle) {}

void FakePlatform::WakeWaiterAndBlock() { ++wakes; }

void FakePlatform::WriteVmOutput(const void* stream, const std::string& text) {
  (stream == static_cast<const void*>(stdout) ? out : err) += text;
}

void FakePlatform::OpenConsole() { consoleOpened = true; }

std::int64_t FakePlatform::Now() { return now; }

std::string FakePlatform::LocalTime() { return localTime; }

std::uint32_t FakePlatform::ProcessId() { return processId; }

void FakePlatform::WriteOut(const std::string& text) { out += text; }

void FakePlatform::WriteErr(const std::string& text) { err += text; }

void FakePlatform::Note(const std::string& line) { notes.push_back(line); }
