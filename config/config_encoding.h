#ifndef LAUNCHER_CONFIG_CONFIG_ENCODING_H_
#define LAUNCHER_CONFIG_CONFIG_ENCODING_H_

#include <string>

#include "platform/platform_ops.h"

// Turns the bytes of the configuration file `path` into the ANSI text the
// reader splits into lines, as Windows editors and shells save it:
// - a UTF-8 byte-order mark at the start is dropped;
// - UTF-16 LE (it begins with FF FE) is converted to the ANSI code page by
//   the system, up to the first Ctrl-Z;
// - anything else is left exactly as it is.
// False, after an "Error" box that names the file, for text the launcher
// cannot read: UTF-16 BE or UTF-32, or a line with a character that has no
// form in the ANSI code page (nothing is ever replaced by a look-alike).
bool DecodeConfigText(const std::string& path, std::string* content,
                      PlatformOps& os);

#endif  // LAUNCHER_CONFIG_CONFIG_ENCODING_H_
