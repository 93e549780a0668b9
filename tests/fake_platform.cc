#include "tests/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <chrono>
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
  auto open = openFiles_.find(file);
  if (open == openFiles_.end()) return;
  locks.erase(open->second);  // a lock file goes with its handle
  openFiles_.erase(open);
  --openAppends;
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
                    options.output != nullptr, options.dieWithLauncher,
                    options.program});
  StartedProcess started;
  if (run.startFails) {
    started.errorCode = run.errorCode;
    return started;
  }
  if (options.output) {
    // The child writes all it has at once, and its write ends close with it.
    std::lock_guard<std::mutex> lock(mutex_);
    pipes_[options.output->outRead].data += run.out;
    pipes_[options.output->errRead].data += run.err;
  }
  started.outsideJob = options.dieWithLauncher && inJobWithoutNesting;
  started.ok = true;
  started.handle = nextProcess_++;
  processes_[started.handle] = run;
  return started;
}

void FakePlatform::LetChildrenOutliveTheLauncher() { childrenReleased = true; }

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

void FakePlatform::OpenConsole() { consoleOpened = true; }

bool FakePlatform::ShowSplash(const std::string& imagePath) {
  splashes.push_back(imagePath);
  return !splashFails;
}

std::int64_t FakePlatform::Now() { return now; }

std::string FakePlatform::LocalTime() { return localTime; }

std::uint32_t FakePlatform::ProcessId() { return processId; }


void FakePlatform::RemoveEnvironment(const std::string& name) {
  environment.erase(name);
}

bool FakePlatform::CreateOutputPipes(OutputPipes* pipes) {
  std::lock_guard<std::mutex> lock(mutex_);
  *pipes = {nextFile_, nextFile_ + 1, nextFile_ + 2, nextFile_ + 3};
  nextFile_ += 4;
  pipes_[pipes->outRead];
  pipes_[pipes->errRead];
  writeEnds_[pipes->outWrite] = pipes->outRead;
  writeEnds_[pipes->errWrite] = pipes->errRead;
  return true;
}

bool FakePlatform::ReadPipe(FileHandle pipe, std::string* chunk) {
  std::unique_lock<std::mutex> lock(mutex_);
  Pipe& read = pipes_[pipe];
  changed_.wait(lock, [&] {
    return !read.data.empty() || read.writers == 0 || ending_;
  });
  if (read.data.empty()) return false;
  *chunk = read.data.substr(0, pipeReadBytes);
  read.data.erase(0, chunk->size());
  return true;
}

void FakePlatform::ClosePipe(FileHandle end) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto write = writeEnds_.find(end);
  if (write != writeEnds_.end()) {
    --pipes_[write->second].writers;
    writeEnds_.erase(write);
    changed_.notify_all();
  }
}

void FakePlatform::UseOutputPipes(const OutputPipes& pipes) {
  std::lock_guard<std::mutex> lock(mutex_);
  ownOutput = pipes;
}

void FakePlatform::RestoreOutput() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ownOutput) outputRestored = true;
  ownOutput.reset();
}

void* FakePlatform::RunThread(void* context) {
  Thread& thread = *static_cast<Thread*>(context);
  thread.body(thread.context);
  FakePlatform& fake = *thread.fake;
  std::lock_guard<std::mutex> lock(fake.mutex_);
  thread.done = true;
  fake.changed_.notify_all();
  return nullptr;
}

bool FakePlatform::StartThread(std::size_t stackBytes, ThreadBody body,
                               void* context, ThreadHandle* handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (threadStartFails) return false;
  threadStacks.push_back(stackBytes);
  Thread* thread = new Thread{body, context, this};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  if (stackBytes != 0) pthread_attr_setstacksize(&attributes, stackBytes);
  const bool made =
      pthread_create(&thread->id, &attributes, RunThread, thread) == 0;
  pthread_attr_destroy(&attributes);
  if (!made) {
    delete thread;
    return false;
  }
  threads_.push_back(thread);
  *handle = threads_.size();
  return true;
}

bool FakePlatform::WaitForThread(ThreadHandle handle, unsigned milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  Thread* thread = threads_.at(handle - 1);
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [&] { return thread->done; });
}

void FakePlatform::CloseThread(ThreadHandle) {}

void FakePlatform::WaitForThreadOrWake(ThreadHandle handle) {
  std::unique_lock<std::mutex> lock(mutex_);
  Thread* thread = threads_.at(handle - 1);
  changed_.wait(lock, [&] { return thread->done || woken_; });
}

void FakePlatform::WakeWaiterAndBlock() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wakes;
    woken_ = true;
    for (Thread* thread : threads_) {
      if (pthread_equal(thread->id, pthread_self())) thread->blocked = true;
    }
    changed_.notify_all();
  }
  // For good, on a lock of its own that outlives the fake.
  static std::mutex* const forever = new std::mutex;
  static std::condition_variable* const never = new std::condition_variable;
  std::unique_lock<std::mutex> lock(*forever);
  for (;;) never->wait(lock);
}

FakePlatform::~FakePlatform() {
  std::vector<Thread*> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
    changed_.notify_all();
    threads.swap(threads_);
  }
  for (Thread* thread : threads) {
    bool blocked;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      blocked = thread->blocked;
    }
    if (blocked) {
      pthread_detach(thread->id);
      continue;  // its record goes with the process
    }
    pthread_join(thread->id, nullptr);
    delete thread;
  }
}

// The host's VMs print with this C library, whose rules vsnprintf follows.
std::string FakePlatform::FormatVmText(const void*, const char* format,
                                       va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  va_list again;
  va_copy(again, args);
  std::vsnprintf(&text[0], text.size(), format, again);
  va_end(again);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

VmStream FakePlatform::StreamOf(const void* vmFile) {
  if (vmFile == static_cast<const void*>(stdout)) return VmStream::kOutput;
  if (vmFile == static_cast<const void*>(stderr)) return VmStream::kError;
  return VmStream::kFile;
}

int FakePlatform::PrintToVmFile(const void* vmFile, const char* format,
                                va_list args) {
  return std::vfprintf(static_cast<FILE*>(const_cast<void*>(vmFile)), format,
                       args);
}

void FakePlatform::WriteVmOutput(VmStream stream, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ownOutput) {
    pipes_[stream == VmStream::kOutput ? ownOutput->outRead
                                       : ownOutput->errRead]
        .data += text;
    changed_.notify_all();
    return;
  }
  (stream == VmStream::kOutput ? out : err) += text;
}

void FakePlatform::WriteOut(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  out += text;
}

void FakePlatform::WriteErr(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  err += text;
}

void FakePlatform::Note(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  notes.push_back(line);
}

bool FakePlatform::MakeFolders(const std::string& path) {
  return unwritable.count(path) == 0;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  files.erase(path);
  return true;
}

bool FakePlatform::MakeLockFile(const std::string& path, FileHandle* lock) {
  const std::string folder = path.substr(0, path.rfind('\\'));
  if (unwritable.count(folder) || !locks.insert(path).second) return false;
  *lock = nextFile_++;
  openFiles_[*lock] = path;
  ++openAppends;
  return true;
}

std::uint64_t FakePlatform::FreeBytes(const std::string&) {
  return std::uint64_t{1} << 40;
}
