#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kb::platform {

// The freedesktop base directories and the names of the current desktop.
struct XdgDirectories {
    std::filesystem::path dataHome;
    std::filesystem::path configHome;
    std::vector<std::filesystem::path> dataDirs;
    std::vector<std::filesystem::path> configDirs;
    // The components of XDG_CURRENT_DESKTOP in ASCII lower case.
    std::vector<std::string> currentDesktops;

    // Reads the XDG variables. A variable that is unset or empty, or holds
    // only relative paths, takes its default; relative entries of a list are
    // ignored. The home-based defaults are left empty when no absolute home
    // directory is known.
    static XdgDirectories fromEnvironment();
};

} // namespace kb::platform
