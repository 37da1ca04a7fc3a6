#pragma once

#include <string>

namespace kb::platform {

// The value of an environment variable; empty when it is not set.
std::string environmentValue(const char* name);

// The value of an environment variable, or fallback when it is not set or
// empty.
std::string environmentOr(const char* name, const std::string& fallback);

} // namespace kb::platform
