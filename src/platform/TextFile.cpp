#include "TextFile.h"

#include "DosPath.h"
#include "FileDescriptor.h"
#include "FileErrors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kb::platform {
namespace {

constexpr char ctrlZ = 26;
constexpr std::size_t chunkSize = 1 << 16;

} // namespace

FileDescriptor openForReading(const std::string& nativePath)
{
    FileDescriptor fd(::open(nativePath.empty() ? "" : nativePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        throwFileError(errno, nativePath);
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode))
        throwFileError(EISDIR, nativePath);
    return fd;
}

namespace {

std::string readAll(int fd, const std::string& nativePath)
{
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::vector<char> chunk(chunkSize);
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throwFileError(errno, nativePath);
        }
        if (got == 0)
            break;
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return bytes;
}

void writeAll(int fd, std::string_view bytes, const std::string& nativePath)
{
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throwFileError(errno, nativePath);
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

// Read-only as the DOS product saw it: not writable by us, or writable by
// nobody at all (which also holds for root, who could write it anyway).
bool isReadOnly(const std::string& path, const struct stat& info)
{
    return (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string directoryOf(const std::string& nativePath)
{
    const auto slash = nativePath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : nativePath.substr(0, slash);
}

} // namespace

TextFileReader::TextFileReader(const FileName& name)
    : m_nativePath(name.nativePath())
{
    FileDescriptor fd = openForReading(m_nativePath);
    m_fd = fd.release();
}

TextFileReader::~TextFileReader()
{
    ::close(m_fd);
}

bool TextFileReader::fill()
{
    if (m_endOfFile)
        return false;
    if (m_pos > 0) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    const std::size_t before = m_buffer.size();
    m_buffer.resize(before + chunkSize);
    ssize_t got;
    do {
        got = ::read(m_fd, m_buffer.data() + before, chunkSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        m_buffer.resize(before);
        throwFileError(errno, m_nativePath);
    }
    m_buffer.resize(before + static_cast<std::size_t>(got));
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
        const std::size_t count = m_buffer.size() - searchFrom;
        const void* cr = std::memchr(begin, '\r', count);
        const std::size_t crAt = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - m_buffer.data()) : m_buffer.size();
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
            if (m_pos == m_buffer.size())
                fill(); // to see whether an LF follows the CR
            if (m_pos < m_buffer.size() && m_buffer[m_pos] == '\n')
                ++m_pos;
            return true;
        }
        const std::size_t scanned = m_buffer.size() - m_pos;
        if (!fill()) {
            if (m_pos >= m_buffer.size()) {
                m_endOfText = true;
                return false;
            }
            line.assign(m_buffer, m_pos, std::string::npos);
            m_pos = m_buffer.size();
            return true;
        }
        searchFrom = m_pos + scanned;
    }
}

std::string readFileBytes(const FileName& name)
{
    const std::string nativePath = name.nativePath();
    FileDescriptor fd = openForReading(nativePath);
    return readAll(fd.get(), nativePath);
}

void writeFileReplacing(const FileName& name, std::string_view bytes)
{
    const std::string nativePath = name.nativePath();
    if (nativePath.empty() || nativePath.back() == '/')
        throw EInOutError("Invalid filename");

    const std::string directory = directoryOf(nativePath);
    mode_t mode = 0666 & ~[] { const mode_t m = ::umask(0); ::umask(m); return m; }();
    struct stat existing {};
    if (::stat(nativePath.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            throwFileError(EISDIR, nativePath);
        if (isReadOnly(nativePath, existing))
            throwFileError(EACCES, nativePath);
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        throwFileError(errno, nativePath);
    }
    // The replacement is made in the directory, so it must be writable too.
    struct stat folder {};
    if (::stat(directory.c_str(), &folder) == 0 && isReadOnly(directory, folder))
        throwFileError(EACCES, nativePath);

    std::string temporary = directory + "/.kb-save-XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (!fd.valid())
        throwFileError(errno, nativePath);
    struct TemporaryRemover {
        const std::string* path;
        ~TemporaryRemover()
        {
            if (path)
                ::unlink(path->c_str());
        }
    } remover{&temporary};

    writeAll(fd.get(), bytes, nativePath);
    if (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0)
        throwFileError(errno, nativePath);
    if (::close(fd.release()) != 0)
        throwFileError(errno, nativePath);
    if (::rename(temporary.c_str(), nativePath.c_str()) != 0)
        throwFileError(errno, nativePath);
    remover.path = nullptr;
}

void writeFileReplacing(const FileName& name, const std::function<void(ByteSink&)>& produce)
{
    // Collects the pieces; the streaming replacement writes them as they come.
    struct StringSink : ByteSink {
        std::string bytes;
        void write(std::string_view piece) override { bytes.append(piece); }
    } sink;
    produce(sink);
    writeFileReplacing(name, sink.bytes);
}

} // namespace kb::platform
