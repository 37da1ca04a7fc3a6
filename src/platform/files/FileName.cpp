#include "FileName.h"

#include "platform/files/DosPath.h"
#include "platform/files/FileDescriptor.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace kb::platform {
namespace {

std::string realPathOf(const std::string& path)
{
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    const std::unique_ptr<char, Free> resolved(::realpath(path.c_str(), nullptr));
    return resolved ? std::string(resolved.get()) : std::string();
}

// Whether path lies under root; rest receives the part below it, with its
// leading slash (empty for root itself).
bool relativeBelow(const std::string& path, const std::string& root, std::string& rest)
{
    if (root.empty() || path.compare(0, root.size(), root) != 0)
        return false;
    if (path.size() == root.size()) {
        rest.clear();
        return true;
    }
    if (root.back() == '/') {
        rest = path.substr(root.size() - 1);
        return true;
    }
    if (path[root.size()] != '/')
        return false;
    rest = path.substr(root.size());
    return true;
}

} // namespace

std::string FileName::nativePath() const
{
    return m_native ? m_text : resolveDosPath(m_text);
}

std::string dosFormOf(std::string_view nativePath)
{
    const std::string path(nativePath);
    // A backslash in a Linux name has no DOS spelling.
    if (path.empty() || path[0] != '/' || path.find('\\') != std::string::npos)
        return path;
    const std::string devices = dosDevicesDirectory();
    const DirectoryStream dir = openDirectory(devices);
    if (!dir)
        return path;

    // The file as the dialog named it and as it really lies, each compared
    // with the drive link and with where the link leads; the drive with the
    // deepest root wins, so "C:" beats a "Z:" that maps the whole disk.
    const auto slash = path.find_last_of('/');
    const std::string realDirectory = realPathOf(slash == 0 ? "/" : path.substr(0, slash));
    const std::string realPath =
        realDirectory.empty() ? std::string() : (realDirectory == "/" ? "" : realDirectory) + path.substr(slash);
    std::string best;
    char bestLetter = 0;
    std::size_t bestDepth = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string drive(entry->d_name);
        const char letter = static_cast<char>(drive.empty() ? 0 : drive[0] & ~0x20);
        if (drive.size() != 2 || drive[1] != ':' || letter < 'A' || letter > 'Z')
            continue;
        const std::string link = devices + "/" + drive;
        const std::string root = realPathOf(link);
        if (root.empty())
            continue;
        const bool better =
            best.empty() || root.size() > bestDepth || (root.size() == bestDepth && letter < bestLetter);
        std::string rest;
        if (!better
            || !(relativeBelow(path, link, rest) || relativeBelow(path, root, rest)
                 || relativeBelow(realPath, root, rest)))
            continue;
        best = std::string(1, letter) + ":" + (rest.empty() ? std::string("/") : rest);
        std::replace(best.begin(), best.end(), '/', '\\');
        bestLetter = letter;
        bestDepth = root.size();
    }
    return best.empty() ? path : best;
}

} // namespace kb::platform
