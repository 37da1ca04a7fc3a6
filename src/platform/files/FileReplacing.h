#pragma once

#include "platform/files/FileName.h"
#include "platform/files/TextFile.h"

#include <functional>
#include <string>
#include <string_view>

namespace kb::platform {

// Receives a file's new content piece by piece.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

// Replaces the file's content with what produce writes into the sink, as it
// is written, so that a large file is never held whole in memory. The file
// keeps its identity: a symbolic link stays a link and its target receives
// the content (a dangling link gets its target created), and owner, group,
// mode and hard links stay as they are. A save leaves under the name either
// the whole old or the whole new content, whenever it is interrupted:
// - normally the content goes into an unnamed file in the file's directory,
//   which is named and renamed over the file only once it is complete and
//   synced;
// - where that would change the file (other hard links, an owner we cannot
//   give the new file, extended attributes, ACLs or inode flags it cannot be
//   given, a directory we may not write), the file is rewritten
//   in place, and only while a rollback journal of the old content exists in
//   the user's private state directory (SaveJournal.h); the journal is
//   removed once the new content is synced, used to put the old content back
//   when the save fails, and rolled back at the next start after a kill.
//   Without such a directory the in-place route fails and changes nothing.
// A second save of the same file waits for the first (an advisory lock).
// A file or directory without any write bit is read-only for everybody, as
// it was for the DOS product, and is refused with "File access denied"; so
// are directories, devices, FIFOs and sockets in the file's place. Raises
// EInOutError with the DOS text; the old content is then still there.
// produce runs once, or a second time when the file turns out to be a mount
// point of its own (a file bind-mounted into a container), which only an
// in-place rewrite can change.
void writeFileReplacing(const FileName& name, const std::function<void(ByteSink&)>& produce);
void writeFileReplacing(const FileName& name, std::string_view bytes);

// A save killed between naming its finished copy and renaming it over the
// file leaves that copy beside it. These remove such copies of this user's
// own whose process is gone: in a directory, or beside a file that is about
// to be read. A save does it too, before it writes.
void removeLeftoversOfEndedSaves(const std::string& directory) noexcept;
void removeLeftoversBeside(const FileName& file) noexcept;

// Opens a file the program saves (the address file, an editor's file) for
// reading, once a save of it that a kill interrupted is put back and what a
// killed save left beside it is removed: another copy of the program may
// have been killed saving it. Raises EInOutError as FileByteSource does.
FileByteSource openSavedFile(const FileName& file);

} // namespace kb::platform
