#ifndef LAUNCHER_BRAND_ZIP_ARCHIVE_H_
#define LAUNCHER_BRAND_ZIP_ARCHIVE_H_

// The end of a zip archive (a jar): just enough of its end record to know
// that a range of bytes ends with an archive that a reader can find from
// its end, as the Java runtime does with an executable carrying one.

#include <cstddef>
#include <string>

#include "brand/byte_io.h"

// Checks that `data[from, to)` ends with a zip end-of-central-directory
// record, its comment reaching exactly `to`, and that the central directory
// it names lies right before it within the range and starts with a central
// directory header. The record's offsets count from the archive's own first
// byte, so bytes before the archive (an executable) do not matter. Refuses
// anything else with a one-line reason, and a zip64 archive too: its
// locator counts from the file's first byte.
bool CheckZipArchive(const Bytes& data, std::size_t from, std::size_t to,
                     std::string* error);

#endif  // LAUNCHER_BRAND_ZIP_ARCHIVE_H_
