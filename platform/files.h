#ifndef LAUNCHER_PLATFORM_FILES_H_
#define LAUNCHER_PLATFORM_FILES_H_

#include <cstdint>
#include <string>
#include <vector>

// The file system, as the logic uses it: the current directory, directory
// searches, reading files, and the launch log's appends.
//
// Texts are 8-bit strings in the system's ANSI code page.

// Attribute bit of a directory entry that names a directory.
constexpr unsigned kAttributeDirectory = 0x10;

using FileHandle = std::uintptr_t;

struct DirEntry {
  std::string name;         // file name only, without the directory
  unsigned attributes = 0;  // only kAttributeDirectory is tested
  std::uint64_t size = 0;   // in bytes
  std::uint64_t modified = 0;  // the last write, in the system's ticks
};

class Files {
 public:
  // Makes `path` the process's current directory. Failure is ignored.
  virtual void ChangeDirectory(const std::string& path) = 0;
  // The current directory; false (and `dir` untouched) when it cannot be
  // read, which includes a directory of 260 characters or more.
  virtual bool CurrentDirectory(std::string* dir) = 0;
  // The entries that match a wildcard pattern such as 'dir/*.jar', in the
  // platform's order; empty when nothing matches or the search cannot start.
  virtual std::vector<DirEntry> FindFiles(const std::string& pattern) = 0;
  // The whole content of a file, byte for byte. On failure returns false and
  // sets `error` to the C library's message for the error (e.g.
  // "No such file or directory").
  virtual bool ReadFile(const std::string& path, std::string* content,
                        std::string* error) = 0;
  // The first `maxBytes` bytes of a file, or all of a shorter one; false
  // when it cannot be read.
  virtual bool ReadFileStart(const std::string& path, std::size_t maxBytes,
                             std::string* content) = 0;
  // True when `path` names an existing file that is not a directory.
  virtual bool FileExists(const std::string& path) = 0;
  // Opens `path` for appending, creating it when missing and sharing it with
  // other writers; `size` gets the bytes it already holds. False when it
  // cannot be opened.
  virtual bool OpenForAppend(const std::string& path, FileHandle* file,
                             std::uint64_t* size) = 0;
  // Appends `text` in one write, so that two writers never mix within it;
  // false when it was not written whole.
  virtual bool Append(FileHandle file, const std::string& text) = 0;
  virtual void CloseFile(FileHandle file) = 0;
  // Renames the file `from` to `to`, replacing a file `to`; false on failure.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // A spelling of `path` that is equal for two spellings of the same file
  // (absolute, case folded where the file system ignores case).
  virtual std::string CanonicalPath(const std::string& path) = 0;
  // Makes the folder `path` and the folders above it that are missing;
  // true when it exists afterwards.
  virtual bool MakeFolders(const std::string& path) = 0;
  // Removes a file, a read-only one too; false when it is still there.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Makes `path` as a lock that only this process holds: false when another
  // process holds it, or it cannot be made. A file there that nobody holds
  // is taken. The file goes when the handle is closed, or the process ends
  // in any way.
  virtual bool MakeLockFile(const std::string& path, FileHandle* lock) = 0;
  // The bytes free for this user on the volume of the folder `path`; 0
  // when that cannot be read.
  virtual std::uint64_t FreeBytes(const std::string& path) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~Files() = default;
};

#endif  // LAUNCHER_PLATFORM_FILES_H_
