#include "Environment.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::string homeDirectory()
{
    const std::string home = environmentValue("HOME");
    if (!home.empty() && home.front() == '/')
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return entry->pw_dir;
    return {};
}

std::string xdgHomeDirectory(const char* variable, const char* relativeDefault)
{
    const std::string value = environmentValue(variable);
    if (!value.empty() && value.front() == '/')
        return value;
    const std::string home = homeDirectory();
    return home.empty() ? std::string() : home + "/" + relativeDefault;
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace kb::platform
