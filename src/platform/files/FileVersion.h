#pragma once

#include "platform/files/FileName.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct XXH3_state_s; // xxHash's running state

namespace kb::platform {

// Which file a name led to, and how it stood: the same identity, size and
// modification time mean nobody wrote it, unless within the clock's grain.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The identity of an open file; all zero when it cannot be had.
FileIdentity identityOf(int fd);

// A fast hash of bytes as they are read, piece by piece (XXH3).
class ContentHash {
public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash&) = delete;
    ContentHash& operator=(const ContentHash&) = delete;

    void add(const char* bytes, std::size_t count);
    std::uint64_t value() const;

private:
    struct FreeState {
        void operator()(XXH3_state_s* state) const noexcept;
    };
    std::unique_ptr<XXH3_state_s, FreeState> m_state;
};

// A file as a program read it: enough to tell later whether anything else
// has written it since.
struct FileVersion {
    FileIdentity identity;
    std::uint64_t bytesRead = 0; // the reader may stop before the end
    std::uint64_t hash = 0;      // of those bytes
};

enum class FileChange {
    None,     // the same file with the same bytes
    Changed,  // written since
    Replaced, // another file now under the name: a link planted, a new file
    Gone,     // nothing under the name any more: deleted or renamed
};

// How the file now under name differs from version. Identity, size and
// time decide at once; when they agree, the bytes read are hashed again,
// so that a change within the same clock tick is seen too.
FileChange changeSince(const FileName& name, const FileVersion& version);

// The file that name leads to now, its links followed: what a save would
// write. The name itself where it cannot be followed.
std::string fileNameLeadsTo(const FileName& name);

} // namespace kb::platform
