#pragma once

#include <optional>
#include <string>

namespace kb::launch {

// The desktop's file-type associations, seen the way the registry's
// HKEY_CLASSES_ROOT tree shows them: keys named by a backslash-separated path
// (".HTM", "htmlfile\shell\open\command"), each with a default value.
class AssociationSource {
public:
    virtual ~AssociationSource() = default;

    // The default value of the key at keyPath. Empty when the key can be
    // opened but holds no value text; nothing when the key does not open or
    // its value cannot be read.
    virtual std::optional<std::string> defaultValue(const std::string& keyPath) const = 0;
};

} // namespace kb::launch
