#include "TextFile.h"

#include "platform/files/FileErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kb::platform {
namespace {

constexpr char ctrlZ = 26;
constexpr std::size_t firstChunkSize = 1 << 12;
constexpr std::size_t chunkSize = 1 << 16;

} // namespace

FileByteSource::FileByteSource(const FileName& name)
    : m_nativePath(name.nativePath())
    , m_fd(openForReading(m_nativePath))
{
}

std::size_t FileByteSource::sizeHint() const
{
    struct stat info {};
    return ::fstat(m_fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
        ? static_cast<std::size_t>(info.st_size)
        : 0;
}

FileIdentity FileByteSource::identity() const
{
    return identityOf(m_fd.get());
}

std::size_t FileByteSource::read(char* buffer, std::size_t capacity)
{
    const ssize_t got = readSome(m_fd.get(), buffer, capacity);
    if (got < 0)
        throwFileError(errno, m_nativePath);
    return static_cast<std::size_t>(got);
}

std::size_t MemoryByteSource::read(char* buffer, std::size_t capacity)
{
    const std::size_t count = std::min({capacity, m_pieceSize, m_bytes.size()});
    std::memcpy(buffer, m_bytes.data(), count);
    m_bytes.remove_prefix(count);
    return count;
}

TextFileReader::TextFileReader(const FileName& name, std::size_t maxBytes)
    : m_source(std::make_unique<FileByteSource>(name))
    , m_unread(maxBytes)
{
}

TextFileReader::TextFileReader(std::unique_ptr<ByteSource> source, std::size_t maxBytes)
    : m_source(std::move(source))
    , m_unread(maxBytes)
{
}

TextFileReader::~TextFileReader() = default;

bool TextFileReader::fill()
{
    if (m_endOfFile)
        return false;
    // Room for a chunk after the bytes not yet consumed: the consumed ones
    // are dropped first, and the buffer grows only for a longer line. Chunks
    // start small, so a short file or a first line costs little.
    const std::size_t room = std::min({chunkSize, std::max(firstChunkSize, m_buffer.size()), m_unread});
    if (room == 0) {
        m_endOfFile = true;
        return false;
    }
    if (m_buffer.size() - m_end < room) {
        if (m_pos > 0) {
            m_buffer.erase(0, m_pos);
            m_end -= m_pos;
            m_pos = 0;
        }
        if (m_buffer.size() - m_end < room)
            m_buffer.resize(m_end + room);
    }
    const std::size_t got = m_source->read(m_buffer.data() + m_end, std::min(m_buffer.size() - m_end, m_unread));
    m_end += got;
    m_unread -= got;
    m_endOfFile = got == 0;
    return got > 0;
}

bool TextFileReader::readLine(std::string& line)
{
    line.clear();
    if (m_endOfText)
        return false;
    std::size_t searchFrom = m_pos;
    for (;;) {
        const char* begin = m_buffer.data() + searchFrom;
        const void* cr = std::memchr(begin, '\r', m_end - searchFrom);
        const std::size_t crAt = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - m_buffer.data()) : m_end;
        const void* z = std::memchr(begin, ctrlZ, crAt - searchFrom);
        if (z) {
            const auto zAt = static_cast<std::size_t>(static_cast<const char*>(z) - m_buffer.data());
            const bool any = zAt > m_pos;
            line.assign(m_buffer, m_pos, zAt - m_pos);
            m_endOfText = true;
            return any;
        }
        if (cr) {
            line.assign(m_buffer, m_pos, crAt - m_pos);
            m_pos = crAt + 1;
            if (m_pos == m_end)
                fill(); // to see whether an LF follows the CR
            if (m_pos < m_end && m_buffer[m_pos] == '\n')
                ++m_pos;
            return true;
        }
        const std::size_t scanned = m_end - m_pos;
        if (!fill()) {
            if (m_pos >= m_end) {
                m_endOfText = true;
                return false;
            }
            line.assign(m_buffer, m_pos, m_end - m_pos);
            m_pos = m_end;
            return true;
        }
        searchFrom = m_pos + scanned;
    }
}

std::uint64_t readPieces(ByteSource& source, std::uint64_t limit, std::size_t pieceSize, const PieceRoom& roomFor,
                         const PieceTaker& onPiece)
{
    std::uint64_t total = 0;
    while (total < limit) {
        auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(limit - total, pieceSize));
        char* const piece = roomFor(wanted);
        const std::size_t got = source.read(piece, wanted);
        if (got == 0)
            break;
        total += got;
        if (!onPiece(piece, got))
            break;
    }
    return total;
}

std::uint64_t readPieces(ByteSource& source, std::uint64_t limit, std::size_t pieceSize, const PieceTaker& onPiece)
{
    std::vector<char> piece(static_cast<std::size_t>(std::min<std::uint64_t>(limit, pieceSize)));
    return readPieces(
        source, limit, piece.size(), [&piece](std::size_t&) { return piece.data(); }, onPiece);
}

std::string readFileBytes(const FileName& name, std::size_t maxBytes)
{
    FileByteSource source(name);
    std::string bytes;
    if (const std::size_t size = source.sizeHint()) {
        if (size > maxBytes)
            throwFileError(EFBIG, name.nativePath());
        bytes.reserve(size);
    }
    // One byte past the bound tells a file that grew while being read.
    const std::uint64_t limit = std::uint64_t{maxBytes} + (maxBytes < std::numeric_limits<std::uint64_t>::max());
    readPieces(source, limit, chunkSize, [&bytes](const char* piece, std::size_t count) {
        bytes.append(piece, count);
        return true;
    });
    if (bytes.size() > maxBytes)
        throwFileError(EFBIG, name.nativePath());
    return bytes;
}

} // namespace kb::platform
