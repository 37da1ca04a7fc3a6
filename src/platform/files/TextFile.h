#pragma once

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileName.h"
#include "platform/files/FileVersion.h"

#include <cstddef>
#include <cstdint>
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

// Reads a file from its start to its end. It is opened without ever waiting:
// a directory, FIFO, device or socket is refused at once (openForReading).
class FileByteSource final : public ByteSource {
public:
    // Raises EInOutError with the DOS text when the file cannot be opened.
    explicit FileByteSource(const FileName& name);

    // The size of a regular file, else 0: how much room its content needs.
    std::size_t sizeHint() const;
    // Which file was opened, as it stood when asked.
    FileIdentity identity() const;
    std::size_t read(char* buffer, std::size_t capacity) override;

private:
    std::string m_nativePath;
    FileDescriptor m_fd;
};

// A text read line by line, the way the DOS product's text files read: a CR
// ends a line (an LF directly after it belongs to the line end), a lone LF is
// an ordinary character, and a Ctrl-Z (26) ends the text. The bytes are read
// in chunks, so reading only the first line of a huge file costs little.
class TextFileReader {
public:
    // Opens the file; raises EInOutError when it cannot. No more than
    // maxBytes of it are ever read: the text ends there, whatever follows.
    explicit TextFileReader(const FileName& name, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
    explicit TextFileReader(std::unique_ptr<ByteSource> source,
                            std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
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
    std::size_t m_unread; // how much more may be read
    bool m_endOfFile = false;
    bool m_endOfText = false; // a Ctrl-Z was met
};

// The one loop that reads a file's bytes: reads source in pieces of at most
// pieceSize, each where roomFor(count) says (it may lower count, not to 0),
// and hands each to onPiece, which returns false to stop there. No more than limit bytes are read. Returns how
// many were; raises EInOutError.
using PieceRoom = std::function<char*(std::size_t& count)>;
using PieceTaker = std::function<bool(const char* piece, std::size_t count)>;
std::uint64_t readPieces(ByteSource& source, std::uint64_t limit, std::size_t pieceSize, const PieceRoom& roomFor,
                         const PieceTaker& onPiece);
// The same, each piece read into one buffer of its own, for callers that
// only look at the bytes.
std::uint64_t readPieces(ByteSource& source, std::uint64_t limit, std::size_t pieceSize, const PieceTaker& onPiece);

// Reads a whole file as bytes; raises EInOutError, also for a file of more
// than maxBytes.
std::string readFileBytes(const FileName& name, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

} // namespace kb::platform
