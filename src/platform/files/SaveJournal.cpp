#include "SaveJournal.h"

#include "platform/files/Environment.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileSystemCalls.h"
#include "platform/files/FileWriting.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::platform {

namespace {

// The journal's layout: magic, state, device, inode, size of the old
// content, length of the path; then the path and the old content.
constexpr std::array<char, 8> magic{'K', 'B', '9', '8', 'J', 'R', 'N', '1'};
constexpr off_t stateOffset = 8;
constexpr std::size_t headerSize = 48;
constexpr char copying = 'W';  // the file is not touched yet
constexpr char complete = 'C'; // the file may be half rewritten
constexpr char finished = 'D'; // the new content is synced
constexpr std::string_view journalSuffix = ".journal";
constexpr std::string_view partialSuffix = ".partial"; // a journal still being copied

struct Header {
    char state = copying;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::string path;
};

std::string encode(const Header& header)
{
    std::string bytes(headerSize, '\0');
    std::memcpy(bytes.data(), magic.data(), magic.size());
    bytes[stateOffset] = header.state;
    const std::uint64_t numbers[] = {header.device, header.inode, header.size, header.path.size()};
    std::memcpy(bytes.data() + 16, numbers, sizeof numbers);
    return bytes + header.path;
}

bool readExactly(int fd, char* into, std::size_t count, off_t at)
{
    while (count > 0) {
        const ssize_t got = readSome(fd, into, count, at);
        if (got <= 0)
            return false;
        into += got;
        at += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

// The header of a journal of ours; false for anything else.
bool decode(int fd, Header& header)
{
    char bytes[headerSize];
    if (!readExactly(fd, bytes, headerSize, 0) || std::memcmp(bytes, magic.data(), magic.size()) != 0)
        return false;
    header.state = bytes[stateOffset];
    std::uint64_t numbers[4];
    std::memcpy(numbers, bytes + 16, sizeof numbers);
    header.device = numbers[0];
    header.inode = numbers[1];
    header.size = numbers[2];
    if (numbers[3] == 0 || numbers[3] > PATH_MAX)
        return false;
    header.path.resize(numbers[3]);
    return readExactly(fd, header.path.data(), header.path.size(), headerSize);
}

bool setState(int fd, char state)
{
    return ::pwrite(fd, &state, 1, stateOffset) == 1 && fileSystemCalls().fsync(fd) == 0;
}

std::string stateDirectoryPath()
{
    const std::string state = xdgHomeDirectory("XDG_STATE_HOME", ".local/state");
    return state.empty() ? std::string() : state + "/kestrelbook98";
}

// Opened without following a link, owned by this user, and closed to
// everybody else. A directory of our own that is wider is narrowed, and
// narrowed says so for the rest of the process: whatever others could put
// into it meanwhile is not ours.
FileDescriptor openPrivateDirectory(const std::string& path, bool* narrowed = nullptr)
{
    static bool wasNarrowed = false;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || info.st_uid != ::geteuid())
        return FileDescriptor();
    if ((info.st_mode & 077) != 0) {
        if (::fchmod(fd.get(), 0700) != 0)
            return FileDescriptor();
        wasNarrowed = true;
    }
    if (narrowed)
        *narrowed = wasNarrowed;
    return fd;
}

// Said once per name and process, so that a start and the saves after it do
// not repeat it.
void reportLeftAlone(const std::string& path, const char* why)
{
    static std::set<std::string> reported;
    if (reported.insert(path).second)
        std::fprintf(stderr, "kestrelbook: %s left alone: %s\n", path.c_str(), why);
}

// Only a journal this user made can say which file to overwrite: one another
// user planted would write into our files.
bool isOwnJournal(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0600 && info.st_nlink == 1;
}

// Writes the old content of the journal of path, size bytes, over fd and
// syncs it.
bool putBack(int journal, const std::string& path, std::uint64_t size, int fd) noexcept
{
    try {
        if (::lseek(journal, static_cast<off_t>(headerSize + path.size()), SEEK_SET) < 0
            || ::lseek(fd, 0, SEEK_SET) != 0)
            return false;
        if (copyAll(journal, fd, path) != size)
            return false;
        return fileSystemCalls().ftruncate(fd, static_cast<off_t>(size)) == 0 && fileSystemCalls().fsync(fd) == 0;
    } catch (...) {
        return false;
    }
}

// Opens a file of the state directory that should be this user's own; an
// invalid descriptor for anything else. A save that runs holds a lock on its
// file, so a lock we get means the save that made it is over.
FileDescriptor openOwnUnlocked(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0)
        return FileDescriptor();
    if (!isOwnJournal(info)) {
        reportLeftAlone(path, "not a journal of this user's own (owner, mode or links)");
        return FileDescriptor();
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return FileDescriptor(); // its save is still running
    return fd;
}

void rollBack(const std::string& journalPath)
{
    const FileDescriptor journal = openOwnUnlocked(journalPath);
    if (!journal.valid())
        return;
    Header header;
    // Ours, and its save is over, yet it says nothing: a kill while an
    // earlier version wrote it. It protects nothing.
    if (!decode(journal.get(), header)) {
        ::unlink(journalPath.c_str());
        return;
    }
    if (header.state == complete) {
        const FileDescriptor file(::open(header.path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        struct stat now {};
        const bool sameFile = file.valid() && ::fstat(file.get(), &now) == 0 && S_ISREG(now.st_mode)
            && static_cast<std::uint64_t>(now.st_dev) == header.device
            && static_cast<std::uint64_t>(now.st_ino) == header.inode;
        if (sameFile) {
            lockExclusively(file.get());
            if (!putBack(journal.get(), header.path, header.size, file.get()))
                return; // kept, to try again at the next start
        }
    }
    ::unlink(journalPath.c_str());
}

bool endsWith(std::string_view name, std::string_view suffix)
{
    return name.size() > suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
}

// The program's private state directory: $XDG_STATE_HOME/kestrelbook98, by
// default ~/.local/state/kestrelbook98. Made when missing, and used only while
// it is a real directory of this user that nobody else may enter; raises
// EInOutError "File access denied" for errorPath when no such directory can
// be had.
std::string privateStateDirectory(const std::string& errorPath)
{
    const std::string path = stateDirectoryPath();
    if (path.empty())
        throwFileError(EACCES, errorPath);
    makeDirectories(path, errorPath);
    if (!openPrivateDirectory(path).valid())
        throwFileError(EACCES, errorPath);
    return path;
}

} // namespace

SaveJournal::SaveJournal(const std::string& target, const std::string& errorPath)
    : m_directory(privateStateDirectory(errorPath))
{
    // The copy is made under a name no start rolls back, and takes the
    // journal's name only once it is whole and synced: a kill leaves either
    // no journal or a complete one. Named after the file, so that a user who
    // finds one knows what it is; shortened to stay within the file system's
    // limit.
    const std::string stem = m_directory + "/" + baseNameOf(target).substr(0, 200) + "." + randomSuffix();
    const std::string partial = stem + std::string(partialSuffix);
    m_fd = FileDescriptor(::open(partial.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!m_fd.valid())
        throwFileError(errno, errorPath);
    try {
        lockExclusively(m_fd.get());
        const FileDescriptor source = openForReading(target);
        struct stat info {};
        if (::fstat(source.get(), &info) != 0)
            throwFileError(errno, errorPath);
        Header header{copying, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), 0,
                      target};
        writeAll(m_fd.get(), encode(header), errorPath);
        header.size = copyAll(source.get(), m_fd.get(), errorPath);
        // The size is known only now; the state says the copy is whole.
        header.state = complete;
        const std::string finalHeader = encode(header);
        if (::pwrite(m_fd.get(), finalHeader.data(), headerSize, 0) != static_cast<ssize_t>(headerSize))
            throwFileError(errno, errorPath);
        syncOrThrow(m_fd.get(), errorPath);
        std::string name = stem + std::string(journalSuffix);
        if (fileSystemCalls().rename(partial.c_str(), name.c_str()) != 0)
            throwFileError(errno, errorPath);
        m_path = std::move(name);
        m_target = target;
        m_oldSize = header.size;
        syncDirectory(m_directory, errorPath);
    } catch (...) {
        ::unlink(m_path.empty() ? partial.c_str() : m_path.c_str());
        throw;
    }
}

bool SaveJournal::restoreInto(int fd) noexcept
{
    if (!putBack(m_fd.get(), m_target, m_oldSize, fd))
        return false;
    finish();
    return true;
}

void SaveJournal::finish() noexcept
{
    setState(m_fd.get(), finished);
    ::unlink(m_path.c_str());
    try {
        syncDirectory(m_directory, m_path);
    } catch (...) {
        // Lost only with the power: the next start then finds the journal finished and only removes it.
    }
}

void rollBackInterruptedSaves() noexcept
{
    try {
        const std::string path = stateDirectoryPath();
        if (path.empty())
            return;
        // The very directory whose owner and mode were checked is read.
        bool narrowed = false;
        FileDescriptor checked = openPrivateDirectory(path, &narrowed);
        if (narrowed) {
            reportLeftAlone(path, "others could write into it; nothing in it is rolled back this time");
            return;
        }
        const DirectoryStream dir(checked.valid() ? ::fdopendir(checked.get()) : nullptr);
        if (!dir)
            return;
        checked.release();
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string_view name = entry->d_name;
            const std::string entryPath = path + "/" + std::string(name);
            if (endsWith(name, journalSuffix)) {
                rollBack(entryPath);
            } else if (endsWith(name, partialSuffix)) {
                // A copy whose save was killed before the file was touched.
                if (openOwnUnlocked(entryPath).valid())
                    ::unlink(entryPath.c_str());
            }
        }
    } catch (...) {
        // Nothing to roll back that could be read.
    }
}

} // namespace kb::platform
