#pragma once

#include "launch/AssociationSource.h"
#include "launch/DesktopEntry.h"
#include "platform/files/XdgDirectories.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kb::launch {

// The file-type associations of a freedesktop desktop, read once when the
// object is made, in the registry's shape:
// - an extension key (".HTM") holds the desktop-file ID of the default
//   application of the extension's MIME type, or empty text when the type
//   has none; it does not open when no MIME glob knows the extension;
// - "<desktop-file ID>\shell\open\command" holds that desktop file's Exec line;
// - "<extension>\shell\open\command" holds the Exec line of the most
//   preferred application associated with the extension's MIME type;
// - "mailto\shell\open\command" holds the Exec line of the default
//   application for x-scheme-handler/mailto, the desktop's mail program.
// An application whose program is not installed (TryExec or the Exec line's
// program missing) is passed over as if its desktop file were not there.
class FreedesktopAssociations final : public AssociationSource {
public:
    explicit FreedesktopAssociations(
        const kb::platform::XdgDirectories& directories = kb::platform::XdgDirectories::fromEnvironment());

    std::optional<std::string> defaultValue(const std::string& keyPath) const override;

    // The MIME type of a file extension such as ".HTM", matched without
    // regard to case.
    std::optional<std::string> mimeTypeOfExtension(std::string_view extension) const;
    // The desktop-file ID of the type's default application, if any.
    std::optional<std::string> defaultApplication(const std::string& mimeType) const;
    // The desktop-file IDs associated with the type, most preferred first.
    std::vector<std::string> associatedApplications(const std::string& mimeType) const;

private:
    struct Glob {
        int weight;
        std::string mimeType;
        std::string pattern; // lower case
    };
    struct Application {
        std::size_t dataDirectory; // index into m_applicationDirectories
        bool launchable;           // an installed application, not hidden, with an Exec line
        std::string exec;
        std::set<std::string> mimeTypes;
    };
    struct MimeAppsList {
        bool desktopSpecific;
        DesktopFile content;
    };
    // A directory that may hold mimeapps.list files, and the desktop files
    // of its own when it is an applications directory.
    struct ListLocation {
        std::vector<MimeAppsList> lists;
        std::optional<std::size_t> applicationDirectory;
    };

    void readGlobs(const std::vector<std::filesystem::path>& dataDirectories);
    void readApplications(std::size_t index, const std::filesystem::path& directory);
    void addListLocation(const std::filesystem::path& directory, const std::vector<std::string>& desktops,
                         std::optional<std::size_t> applicationDirectory);
    const Application* launchable(const std::string& desktopId) const;
    std::optional<std::string> execOf(const std::string& desktopId) const;

    std::vector<Glob> m_globs; // most important first
    std::vector<std::filesystem::path> m_applicationDirectories;
    std::map<std::string, Application> m_applications; // by desktop-file ID
    std::vector<DesktopGroup> m_mimeInfoCaches;        // per applications directory
    std::vector<ListLocation> m_locations;             // in the order of precedence
};

} // namespace kb::launch
