#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/platform_windows.h"
#include "platform/windows_helpers.h"

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

}  // namespace

void WindowsFiles::ChangeDirectory(const std::string& path) {
  SetCurrentDirectoryA(path.c_str());
}

bool WindowsFiles::CurrentDirectory(std::string* dir) {
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

std::vector<DirEntry> WindowsFiles::FindFiles(const std::string& pattern) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAA data;
  FindHandle search(FindFirstFileA(pattern.c_str(), &data));
  if (!search.valid()) return entries;
  do {
    entries.push_back(
        {data.cFileName, data.dwFileAttributes,
         (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
         (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
             data.ftLastWriteTime.dwLowDateTime});
  } while (FindNextFileA(search.get(), &data));
  return entries;
}

bool WindowsFiles::ReadFile(const std::string& path, std::string* content,
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

bool WindowsFiles::ReadFileStart(const std::string& path,
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

bool WindowsFiles::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WindowsFiles::OpenForAppend(const std::string& path, FileHandle* file,
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

bool WindowsFiles::Append(FileHandle file, const std::string& text) {
  DWORD written = 0;
  return WriteFile(reinterpret_cast<HANDLE>(file), text.data(),
                   static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

void WindowsFiles::CloseFile(FileHandle file) {
  CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool WindowsFiles::RenameFile(const std::string& from,
                                 const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string WindowsFiles::CanonicalPath(const std::string& path) {
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

bool WindowsFiles::MakeFolders(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  const std::size_t slash = path.find_last_of("\\/");
  // The drive or the share at the top is there, or nothing can be made.
  if (slash != std::string::npos && slash > 2 &&
      !MakeFolders(path.substr(0, slash))) {
    return false;
  }
  return CreateDirectoryA(path.c_str(), nullptr) ||
         GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WindowsFiles::RemoveFile(const std::string& path) {
  // A Java VM writes its archives read-only, which DeleteFile refuses.
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path.c_str()) ||
         GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool WindowsFiles::MakeLockFile(const std::string& path, FileHandle* lock) {
  // Shared with nobody: another process that holds the file keeps it from
  // being opened. A file that nobody holds, left by a machine that went down
  // while it was held, is taken over rather than keeping the lock forever.
  HANDLE made = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            OPEN_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                            nullptr);
  if (made == INVALID_HANDLE_VALUE) return false;
  *lock = reinterpret_cast<FileHandle>(made);
  return true;
}

std::uint64_t WindowsFiles::FreeBytes(const std::string& path) {
  ULARGE_INTEGER free;
  if (!GetDiskFreeSpaceExA(path.c_str(), &free, nullptr, nullptr)) return 0;
  return free.QuadPart;
}
