#include "Environment.h"

#include <cstdlib>

namespace kb::platform {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string environmentOr(const char* name, const std::string& fallback)
{
    std::string value = environmentValue(name);
    return value.empty() ? fallback : value;
}

} // namespace kb::platform
