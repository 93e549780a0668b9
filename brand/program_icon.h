#ifndef LAUNCHER_BRAND_PROGRAM_ICON_H_
#define LAUNCHER_BRAND_PROGRAM_ICON_H_

// Replacing the program's icon: the icon group the shell shows for the
// executable and the images it lists.

#include <cstdint>
#include <string>
#include <vector>

#include "brand/icon_file.h"
#include "brand/resource_tree.h"

// The id of the icon group the launcher's resource script gives its own
// icon: the lowest group id, which is the one the shell shows.
constexpr std::uint32_t kProgramIconGroup = 101;

// The language of new icon resources when the input has none.
constexpr std::uint32_t kDefaultIconLanguage = 0x0409;

// Makes group 101 list exactly `images`. Its old images are removed unless
// another group lists them too; the new ones take the lowest RT_ICON ids
// that no remaining image has and no other group lists, so branding again
// gives the same ids. The group keeps its language (each language, when it
// has several) and the new images take the lowest of them; a new group and
// its images take the language of the first icon or group in the tree's
// order, else 0x0409. The list's own order never matters.
bool ReplaceProgramIcon(std::vector<Resource>* resources,
                        const std::vector<IconImage>& images,
                        std::string* error);

#endif  // LAUNCHER_BRAND_PROGRAM_ICON_H_
