#include "FreedesktopAssociations.h"

#include "launch/DesktopEntry.h"
#include "platform/files/Environment.h"
#include "platform/text/AsciiCase.h"
#include "platform/text/TextLines.h"

#include <algorithm>
#include <system_error>

using kb::platform::splitAt;

namespace kb::launch {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view shellOpenCommand[] = {"shell", "open", "command"};
constexpr std::string_view desktopSuffix = ".desktop";
// The URL scheme key of the registry, where the mail program is kept, and the
// MIME type that names the desktop's mail program.
constexpr std::string_view mailtoKey = "mailto";
constexpr const char* mailtoHandler = "x-scheme-handler/mailto";
// Deep enough for vendor subfolders, shallow enough to stop symlink loops.
constexpr int maxApplicationDepth = 8;

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool isDesktopId(std::string_view name)
{
    return name.size() > desktopSuffix.size() && endsWith(name, desktopSuffix);
}

bool isExtension(std::string_view name)
{
    return name.size() > 1 && name.front() == '.' && !isDesktopId(name);
}

bool isShellOpenCommand(const std::vector<std::string_view>& components)
{
    if (components.size() != 4)
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (kb::platform::asciiLowered(components[i + 1]) != shellOpenCommand[i])
            return false;
    }
    return true;
}

std::vector<std::string> listedIn(const DesktopFile& file, const std::string& group, const std::string& mimeType)
{
    const auto groupIt = file.find(group);
    if (groupIt == file.end())
        return {};
    const auto keyIt = groupIt->second.find(mimeType);
    return keyIt == groupIt->second.end() ? std::vector<std::string>() : splitDesktopList(keyIt->second);
}

std::optional<std::string> keyOf(const DesktopGroup& group, const std::string& key)
{
    const auto it = group.find(key);
    return it == group.end() ? std::nullopt : std::optional<std::string>(it->second);
}

// A program of an Exec or TryExec key: a path, or a name looked up on $PATH.
bool programFound(const std::string& program)
{
    if (program.empty())
        return false;
    if (program.find('/') != std::string::npos)
        return kb::platform::isExecutableFile(program);
    const std::string path = kb::platform::environmentOr("PATH", "/usr/local/bin:/usr/bin:/bin");
    for (const auto directory : splitAt(path, ':')) {
        if (!directory.empty() && kb::platform::isExecutableFile((fs::path(directory) / program).string()))
            return true;
    }
    return false;
}

// Whether the entry's program is there, as freedesktop.org's desktop-entry rules
// say: its TryExec, when given, and the program of its Exec line.
bool isInstalled(const DesktopGroup& entry, const std::string& exec)
{
    if (const auto tryExec = keyOf(entry, "TryExec"); tryExec && !programFound(*tryExec))
        return false;
    return programFound(splitFirstDesktopArgument(exec).first);
}

// The desktop files below an applications directory, sorted by their path.
std::vector<fs::path> desktopFilesBelow(const fs::path& directory)
{
    std::vector<fs::path> files;
    std::error_code error;
    fs::recursive_directory_iterator it(
        directory, fs::directory_options::follow_directory_symlink | fs::directory_options::skip_permission_denied,
        error);
    for (const fs::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
        if (it.depth() >= maxApplicationDepth)
            it.disable_recursion_pending();
        std::error_code statError;
        if (endsWith(it->path().filename().string(), desktopSuffix) && it->is_regular_file(statError))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The desktop-file ID: the path below the applications directory with each
// separator turned into a dash.
std::string desktopIdOf(const fs::path& file, const fs::path& directory)
{
    std::string id = file.lexically_relative(directory).generic_string();
    std::replace(id.begin(), id.end(), '/', '-');
    return id;
}

} // namespace

FreedesktopAssociations::FreedesktopAssociations(const kb::platform::XdgDirectories& directories)
{
    std::vector<fs::path> dataDirectories;
    if (!directories.dataHome.empty())
        dataDirectories.push_back(directories.dataHome);
    dataDirectories.insert(dataDirectories.end(), directories.dataDirs.begin(), directories.dataDirs.end());

    readGlobs(dataDirectories);

    if (!directories.configHome.empty())
        addListLocation(directories.configHome, directories.currentDesktops, std::nullopt);
    for (const auto& directory : directories.configDirs)
        addListLocation(directory, directories.currentDesktops, std::nullopt);
    for (const auto& dataDirectory : dataDirectories) {
        const std::size_t index = m_applicationDirectories.size();
        readApplications(index, dataDirectory / "applications");
        addListLocation(dataDirectory / "applications", directories.currentDesktops, index);
    }
}

void FreedesktopAssociations::readGlobs(const std::vector<fs::path>& dataDirectories)
{
    // A type marked __NOGLOBS__ in a more important directory drops the
    // globs that less important ones give it.
    std::set<std::string> withoutLowerGlobs;
    for (const auto& directory : dataDirectories) {
        const std::string text = readAssociationFile(directory / "mime" / "globs2").value_or(std::string());
        std::set<std::string> clearedHere;
        for (const std::string_view piece : splitAt(text, '\n')) {
            std::string line(piece);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line.front() == '#')
                continue;
            const auto first = line.find(':');
            const auto second = first == std::string::npos ? first : line.find(':', first + 1);
            if (second == std::string::npos)
                continue;
            const std::string mimeType = line.substr(first + 1, second - first - 1);
            const auto third = line.find(':', second + 1);
            const std::string pattern =
                line.substr(second + 1, third == std::string::npos ? third : third - second - 1);
            if (pattern == "__NOGLOBS__") {
                clearedHere.insert(mimeType);
                continue;
            }
            if (withoutLowerGlobs.count(mimeType))
                continue;
            int weight = 50;
            try {
                weight = std::stoi(line.substr(0, first));
            } catch (const std::exception&) {
                continue;
            }
            m_globs.push_back({weight, mimeType, kb::platform::asciiLowered(pattern)});
        }
        withoutLowerGlobs.insert(clearedHere.begin(), clearedHere.end());
    }
}

void FreedesktopAssociations::readApplications(std::size_t index, const fs::path& directory)
{
    m_applicationDirectories.push_back(directory);
    if (const auto cache = readDesktopFile(directory / "mimeinfo.cache"); cache && cache->count("MIME Cache"))
        m_mimeInfoCaches.push_back(cache->at("MIME Cache"));
    else
        m_mimeInfoCaches.emplace_back();

    for (const auto& file : desktopFilesBelow(directory)) {
        const std::string id = desktopIdOf(file, directory);
        if (m_applications.count(id))
            continue; // shadowed by a more important directory
        const auto content = readDesktopFile(file);
        if (!content)
            continue;
        const auto groupIt = content->find("Desktop Entry");
        if (groupIt == content->end())
            continue;
        const DesktopGroup& entry = groupIt->second;
        Application application{index, false, keyOf(entry, "Exec").value_or(std::string()), {}};
        application.launchable = keyOf(entry, "Type") == std::optional<std::string>("Application")
            && keyOf(entry, "Hidden") != std::optional<std::string>("true") && !application.exec.empty()
            && isInstalled(entry, application.exec);
        for (auto& mimeType : splitDesktopList(keyOf(entry, "MimeType").value_or(std::string())))
            application.mimeTypes.insert(std::move(mimeType));
        m_applications.emplace(id, std::move(application));
    }
}

void FreedesktopAssociations::addListLocation(const fs::path& directory, const std::vector<std::string>& desktops,
                                              std::optional<std::size_t> applicationDirectory)
{
    ListLocation location{{}, applicationDirectory};
    for (const auto& desktop : desktops) {
        if (auto content = readDesktopFile(directory / (desktop + "-mimeapps.list")))
            location.lists.push_back({true, std::move(*content)});
    }
    if (auto content = readDesktopFile(directory / "mimeapps.list"))
        location.lists.push_back({false, std::move(*content)});
    m_locations.push_back(std::move(location));
}

const FreedesktopAssociations::Application* FreedesktopAssociations::launchable(const std::string& desktopId) const
{
    const auto it = m_applications.find(desktopId);
    return it != m_applications.end() && it->second.launchable ? &it->second : nullptr;
}

std::optional<std::string> FreedesktopAssociations::execOf(const std::string& desktopId) const
{
    const Application* application = launchable(desktopId);
    return application ? std::optional<std::string>(application->exec) : std::nullopt;
}

std::optional<std::string> FreedesktopAssociations::mimeTypeOfExtension(std::string_view extension) const
{
    const std::string pattern = "*" + kb::platform::asciiLowered(extension);
    const Glob* best = nullptr;
    for (const auto& glob : m_globs) {
        if (glob.pattern == pattern && (!best || glob.weight > best->weight))
            best = &glob;
    }
    if (best)
        return best->mimeType;
    // Server-parsed HTML has no glob of its own on current systems.
    if (pattern == "*.shtml" || pattern == "*.shtm")
        return std::string("text/html");
    return std::nullopt;
}

std::vector<std::string> FreedesktopAssociations::associatedApplications(const std::string& mimeType) const
{
    std::vector<std::string> result;
    std::set<std::string> removed;
    const auto add = [&](const std::string& id) {
        if (!removed.count(id) && launchable(id) && std::find(result.begin(), result.end(), id) == result.end())
            result.push_back(id);
    };

    for (const auto& location : m_locations) {
        for (const auto& list : location.lists) {
            if (list.desktopSpecific)
                continue; // those only name default applications
            for (const auto& id : listedIn(list.content, "Added Associations", mimeType))
                add(id);
            for (auto& id : listedIn(list.content, "Removed Associations", mimeType))
                removed.insert(std::move(id));
        }
        if (!location.applicationDirectory)
            continue;
        const std::size_t directory = *location.applicationDirectory;
        const auto belongsHere = [&](const std::string& id) {
            const auto it = m_applications.find(id);
            return it != m_applications.end() && it->second.dataDirectory == directory;
        };
        if (const auto cached = keyOf(m_mimeInfoCaches[directory], mimeType)) {
            for (const auto& id : splitDesktopList(*cached)) {
                if (belongsHere(id))
                    add(id);
            }
        }
        for (const auto& [id, application] : m_applications) {
            if (application.dataDirectory == directory && application.mimeTypes.count(mimeType))
                add(id);
        }
    }
    return result;
}

std::optional<std::string> FreedesktopAssociations::defaultApplication(const std::string& mimeType) const
{
    const std::vector<std::string> associated = associatedApplications(mimeType);
    for (const auto& location : m_locations) {
        for (const auto& list : location.lists) {
            for (const auto& id : listedIn(list.content, "Default Applications", mimeType)) {
                if (launchable(id) && std::find(associated.begin(), associated.end(), id) != associated.end())
                    return id;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> FreedesktopAssociations::defaultValue(const std::string& keyPath) const
{
    const auto components = splitAt(keyPath, '\\');
    if (components.size() == 1 && isExtension(components.front())) {
        const auto mimeType = mimeTypeOfExtension(components.front());
        if (!mimeType)
            return std::nullopt;
        return defaultApplication(*mimeType).value_or(std::string());
    }
    if (!isShellOpenCommand(components))
        return std::nullopt;

    const std::string owner(components.front());
    if (kb::platform::asciiLowered(owner) == mailtoKey) {
        const auto mailProgram = defaultApplication(mailtoHandler);
        return mailProgram ? execOf(*mailProgram) : std::nullopt;
    }
    if (isDesktopId(owner))
        return execOf(owner);
    if (isExtension(owner)) {
        const auto mimeType = mimeTypeOfExtension(owner);
        if (!mimeType)
            return std::nullopt;
        const auto associated = associatedApplications(*mimeType);
        return associated.empty() ? std::nullopt : execOf(associated.front());
    }
    return std::nullopt;
}

} // namespace kb::launch
