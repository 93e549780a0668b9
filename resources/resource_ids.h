#ifndef LAUNCHER_RESOURCES_RESOURCE_IDS_H_
#define LAUNCHER_RESOURCES_RESOURCE_IDS_H_

// Where an executable carries its embedded configuration: the bytes of the
// configuration file, unchanged, as resource type RT_RCDATA, id 1, language
// neutral. launcher-brand writes it; the launcher reads it. Plain constants,
// so that either side can include this without <windows.h>.

#include <cstdint>

constexpr std::uint16_t kConfigResourceType = 10;  // RT_RCDATA
constexpr std::uint16_t kConfigResourceId = 1;
constexpr std::uint16_t kConfigResourceLanguage = 0;  // LANG_NEUTRAL

// The application's archive (a zip or jar) carried after the PE image, as
// launcher-brand --jar appends it, is announced by a resource of the same
// type and language, id 2: the file offset of the archive's first byte, 8
// bytes little-endian. The launcher learns from it that it carries an
// archive (and puts itself on the class path) without reading the archive;
// the Java runtime finds the archive by its end record, which gives its
// offsets relative to itself.
constexpr std::uint16_t kArchiveResourceId = 2;

#endif  // LAUNCHER_RESOURCES_RESOURCE_IDS_H_
