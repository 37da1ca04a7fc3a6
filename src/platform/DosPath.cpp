#include "DosPath.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace kb::platform {
namespace {

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::string environmentOr(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string homeDirectory()
{
    return environmentOr("HOME", "/");
}

bool pathExists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The first entry of directory that equals name without regard to case; the
// smallest in byte order wins so that the choice does not depend on readdir.
std::string findIgnoringCase(const std::string& directory, std::string_view name)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.empty() ? "." : directory.c_str()));
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

std::string resolveDosPath(std::string_view dosName)
{
    std::string name(dosName);
    std::replace(name.begin(), name.end(), '\\', '/');

    std::string base; // empty: relative to the working directory
    std::string_view rest(name);
    const bool hasDrive = rest.size() >= 2 && rest[1] == ':'
        && ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
    if (hasDrive) {
        const std::string prefix = environmentOr("WINEPREFIX", homeDirectory() + "/.wine");
        base = prefix + "/dosdevices/" + std::string(1, asciiLower(rest[0])) + ":";
        rest.remove_prefix(2);
    } else if (rest.size() >= 2 && rest[0] == '~' && rest[1] == '/') {
        base = homeDirectory();
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
