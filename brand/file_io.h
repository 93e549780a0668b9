#ifndef LAUNCHER_BRAND_FILE_IO_H_
#define LAUNCHER_BRAND_FILE_IO_H_

// Whole-file reads and all-or-nothing writes, on paths given in UTF-8.

#include <cstddef>
#include <string>

#include "brand/byte_io.h"

// Reads the regular file at `path`; refuses one larger than `maxSize`.
bool ReadWholeFile(const std::string& path, std::size_t maxSize, Bytes* data,
                   std::string* error);

// Writes `data` to a new file beside `path`, flushes and closes it, gives
// it the permission bits of the file `model` (on POSIX systems), then
// renames it over `path`. On any failure the temporary file is removed and
// `path` is left as it was.
bool ReplaceFile(const std::string& path, const Bytes& data,
                 const std::string& model, std::string* error);

// The last component of `path` ("Tool.exe" of "dir/Tool.exe").
std::string FileNameOf(const std::string& path);

#endif  // LAUNCHER_BRAND_FILE_IO_H_
