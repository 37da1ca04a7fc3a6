#include "XdgDirectories.h"

#include "platform/files/Environment.h"
#include "platform/text/AsciiCase.h"
#include "platform/text/TextLines.h"

#include <string_view>

namespace kb::platform {
namespace {

std::vector<std::filesystem::path> directoryList(const char* variable, std::string_view fallback)
{
    std::vector<std::filesystem::path> directories;
    const std::string value = environmentValue(variable);
    for (const auto entry : splitAt(value, ':')) {
        const std::filesystem::path directory = entry;
        if (directory.is_absolute())
            directories.push_back(directory);
    }
    if (directories.empty()) {
        for (const auto entry : splitAt(fallback, ':'))
            directories.emplace_back(entry);
    }
    return directories;
}

std::vector<std::string> desktopNames()
{
    std::vector<std::string> names;
    const std::string desktops = environmentValue("XDG_CURRENT_DESKTOP");
    for (const auto name : splitAt(desktops, ':')) {
        if (!name.empty())
            names.push_back(asciiLowered(name));
    }
    return names;
}

} // namespace

XdgDirectories XdgDirectories::fromEnvironment()
{
    XdgDirectories directories;
    directories.dataHome = xdgHomeDirectory("XDG_DATA_HOME", ".local/share");
    directories.configHome = xdgHomeDirectory("XDG_CONFIG_HOME", ".config");
    directories.dataDirs = directoryList("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/");
    directories.configDirs = directoryList("XDG_CONFIG_DIRS", "/etc/xdg");
    directories.currentDesktops = desktopNames();
    return directories;
}

} // namespace kb::platform
