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

#endif  // LAUNCHER_RESOURCES_RESOURCE_IDS_H_
