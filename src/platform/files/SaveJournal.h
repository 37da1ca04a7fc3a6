#pragma once

#include "platform/files/FileDescriptor.h"

#include <cstdint>
#include <string>

namespace kb::platform {

// The rollback journal of a file rewritten in place: a synced copy of its old
// content in the private state directory that names the file it protects
// (path, device, inode). It takes its name only once it is complete, and
// only then may the file be changed; until finish(), a journal left behind by a kill is rolled back
// by rollBackInterruptedSaves(). A running save holds a lock on its journal,
// so that another copy of the program leaves it alone.
class SaveJournal {
public:
    // Copies target's content; raises EInOutError for errorPath, and then
    // leaves nothing behind.
    SaveJournal(const std::string& target, const std::string& errorPath);
    SaveJournal(const SaveJournal&) = delete;
    SaveJournal& operator=(const SaveJournal&) = delete;
    // Without finish(), the journal stays for the next start to roll back.
    ~SaveJournal() = default;

    // Writes the old content back over fd; true on success, after which the
    // journal is removed.
    bool restoreInto(int fd) noexcept;
    // The new content is synced: the journal is no longer needed.
    void finish() noexcept;

private:
    std::string m_path;
    std::string m_directory;
    std::string m_target;
    std::uint64_t m_oldSize = 0;
    FileDescriptor m_fd;
};

// Puts back the old content of every file whose in-place save was killed
// before it ended, and removes journals that are finished, empty or
// unreadable, or whose file is no longer the one they protect. Only journals
// of this user's own (a regular file, one link, mode 0600) are touched, and
// none in a process that found the directory open to others; what is left
// alone is said once on standard error. Run at start and before a file is
// opened or saved; a journal of a save still running (it holds the
// journal's lock) is left alone. Never raises.
void rollBackInterruptedSaves() noexcept;

} // namespace kb::platform
