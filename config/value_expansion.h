#ifndef LAUNCHER_CONFIG_VALUE_EXPANSION_H_
#define LAUNCHER_CONFIG_VALUE_EXPANSION_H_

#include <optional>
#include <string>

#include "settings/launch_settings.h"
#include "platform/platform_ops.h"

// Expands the first '$NAME' reference of a configuration value from the
// environment, quoting the result (or its part after an '=') when the
// variable's value holds a space and `quote` is set (an '=' before the '$'
// sets it), and turning every backslash of an expanded value into a forward
// slash. A value without a reference, or whose variable does not exist, comes
// back unchanged; none and the empty value give the empty text.
std::string ExpandValue(const std::optional<std::string>& value, bool quote,
                        const LaunchSettings& settings, PlatformOps& os);

// Replaces every backslash of `text` with a forward slash, in place.
void ToForwardSlashes(std::string& text);

#endif  // LAUNCHER_CONFIG_VALUE_EXPANSION_H_
