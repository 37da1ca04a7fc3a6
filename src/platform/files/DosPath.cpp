#include "DosPath.h"

#include "platform/files/Environment.h"
#include "platform/files/FileDescriptor.h"
#include "platform/text/AsciiCase.h"

#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace kb::platform {
namespace {

// "~\" with no home directory at all stands for the root.
std::string homeOrRoot()
{
    const std::string home = homeDirectory();
    return home.empty() ? std::string("/") : home;
}

bool pathExists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The first entry of directory that equals name without regard to case; the
// smallest in byte order wins so that the choice does not depend on readdir.
std::string findIgnoringCase(const std::string& directory, std::string_view name)
{
    const DirectoryStream dir = openDirectory(directory.empty() ? "." : directory);
    if (!dir)
        return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate(entry->d_name);
        if (equalsIgnoringAsciiCase(candidate, name) && (best.empty() || candidate < best))
            best = std::string(candidate);
    }
    return best;
}

std::vector<std::string_view> splitComponents(std::string_view rest)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const auto end = rest.find('/', start);
        const auto piece = rest.substr(start, end == std::string_view::npos ? rest.size() - start : end - start);
        if (!piece.empty())
            parts.push_back(piece);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return parts;
}

std::string join(const std::string& base, std::string_view component)
{
    if (base.empty())
        return std::string(component);
    if (base.back() == '/')
        return base + std::string(component);
    return base + "/" + std::string(component);
}

} // namespace

std::string dosDevicesDirectory()
{
    return environmentOr("WINEPREFIX", homeOrRoot() + "/.wine") + "/dosdevices";
}

std::string resolveDosPath(std::string_view dosName)
{
    std::string name(dosName);
    std::replace(name.begin(), name.end(), '\\', '/');

    std::string base; // empty: relative to the working directory
    std::string_view rest(name);
    const bool hasDrive = rest.size() >= 2 && rest[1] == ':'
        && ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
    if (hasDrive) {
        base = dosDevicesDirectory() + "/" + std::string(1, asciiLower(rest[0])) + ":";
        rest.remove_prefix(2);
    } else if (rest.size() >= 2 && rest[0] == '~' && rest[1] == '/') {
        base = homeOrRoot();
        rest.remove_prefix(2);
    } else if (!rest.empty() && rest[0] == '/') {
        base = "/";
    }

    bool matching = true;
    for (const std::string_view component : splitComponents(rest)) {
        std::string next = join(base, component);
        if (matching && component != "." && component != ".." && !pathExists(next)) {
            const std::string found = findIgnoringCase(base, component);
            if (found.empty())
                matching = false; // nothing below a missing component can match
            else
                next = join(base, found);
        }
        base = std::move(next);
    }
    // Keep a trailing separator: "dir\" names the directory, not a file in it.
    if (!name.empty() && name.back() == '/' && !base.empty() && base.back() != '/')
        base += '/';
    return base;
}

bool dosFileExists(std::string_view dosName)
{
    const std::string path = resolveDosPath(dosName);
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace kb::platform
