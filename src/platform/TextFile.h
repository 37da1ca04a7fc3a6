#pragma once

#include "FileName.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace kb::platform {

// Where a text reader's bytes come from: a file, or memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to capacity bytes into buffer; 0 at the end. Raises EInOutError.
    virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
};

// Hands out bytes held in memory, at most pieceSize at a time, so that a
// reader sees the same chunk boundaries a file could give it.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes, std::size_t pieceSize = std::numeric_limits<std::size_t>::max())
        : m_bytes(bytes)
        , m_pieceSize(pieceSize == 0 ? 1 : pieceSize)
    {
    }
    std::size_t read(char* buffer, std::size_t capacity) override;

private:
    std::string_view m_bytes;
    std::size_t m_pieceSize;
};

// A text read line by line, the way the DOS product's text files read: a CR
// ends a line (an LF directly after it belongs to the line end), a lone LF is
// an ordinary character, and a Ctrl-Z (26) ends the text. The bytes are read
// in chunks, so reading only the first line of a huge file costs little.
class TextFileReader {
public:
    // Opens the file; raises EInOutError when it cannot.
    explicit TextFileReader(const FileName& name);
    explicit TextFileReader(std::unique_ptr<ByteSource> source);
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;
    ~TextFileReader();

    // Reads the next line into line, without its line end. At the end of the
    // text it gives an empty line and returns false. Raises EInOutError when
    // reading fails.
    bool readLine(std::string& line);

private:
    bool fill(); // appends a chunk; false at the end of the bytes

    std::unique_ptr<ByteSource> m_source;
    std::string m_buffer; // bytes read are [m_pos, m_end)
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_endOfFile = false;
    bool m_endOfText = false; // a Ctrl-Z was met
};

// Reads a whole file as bytes; raises EInOutError, also for a file of more
// than maxBytes.
std::string readFileBytes(const FileName& name, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

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
//   give the new file, a directory we may not write), the file is rewritten
//   in place, and only while a synced copy of the old content exists in the
//   user's state directory (see inPlaceBackupDirectory()); the copy is
//   removed once the new content is synced, or used to put the old content
//   back when the save fails.
// A file or directory without any write bit is read-only for everybody, as
// it was for the DOS product, and is refused with "File access denied"; so
// are directories, devices, FIFOs and sockets in the file's place. Raises
// EInOutError with the DOS text; the old content is then still there.
// produce runs once, or a second time when the file turns out to be a mount
// point of its own (a file bind-mounted into a container), which only an
// in-place rewrite can change.
void writeFileReplacing(const FileName& name, const std::function<void(ByteSink&)>& produce);
void writeFileReplacing(const FileName& name, std::string_view bytes);

// Where in-place saves keep their copy of the old content:
// $XDG_STATE_HOME/kestrelbook98 (by default ~/.local/state/kestrelbook98).
std::string inPlaceBackupDirectory();

} // namespace kb::platform
