#pragma once

#include "platform/files/FileDescriptor.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kb::platform {

// A directory of many small files that the program writes itself, such as
// one card per file. Every name is taken relative to the directory as it was
// opened, so a link put in its place meanwhile leads nowhere else; the
// directory is locked (flock) for as long as this lives, so two writers
// never interleave. Raises EInOutError with the DOS text.
class DirectoryFiles {
public:
    // Opens directory, creating it private to the user when it is missing
    // (its parent must exist).
    explicit DirectoryFiles(std::string directory);

    // The names of the regular files in it (and of whatever the file system
    // does not type).
    std::vector<std::string> names() const;

    // A regular file's bytes; nothing when no file has the name. A FIFO,
    // device or link in its place, or more than maxBytes, is refused.
    std::optional<std::string> read(const std::string& name, std::size_t maxBytes) const;

    // Writes the file's new content under a hidden name; it takes the name
    // only at commit, so that a kill never leaves half a file under it.
    void stage(const std::string& name, std::string_view bytes);
    // Syncs the staged files, renames them to their names and syncs the
    // directory.
    void commit();

    // Replaces one file at once: staged, synced and renamed.
    void replace(const std::string& name, std::string_view bytes);
    // Removes a file, if there; the directory is synced at the next commit.
    void remove(const std::string& name);

    // Whether name is one of the hidden names stage uses, left by a kill.
    static bool isStagedName(std::string_view name);

private:
    std::string pathOf(const std::string& name) const { return m_directory + "/" + name; }

    std::string m_directory;
    FileDescriptor m_fd;
    std::vector<std::string> m_staged;
};

} // namespace kb::platform
