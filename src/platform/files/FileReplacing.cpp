// Whole-file replacement that keeps the file's identity and never leaves it
// half-written (see FileReplacing.h).
#include "FileReplacing.h"

#include "platform/files/FileAttributes.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileSystemCalls.h"
#include "platform/files/FileWriting.h"
#include "platform/files/SaveJournal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::platform {

FileSystemCalls& fileSystemCalls()
{
    static FileSystemCalls calls;
    return calls;
}

namespace {

constexpr std::size_t bufferSize = std::size_t{256} * 1024;
constexpr int maxLinkDepth = 40; // the kernel's own limit for a path
// Names of the writer's own files: ".kb-save-<pid>-<random>".
constexpr std::string_view temporaryPrefix = ".kb-save-";

FileSystemCalls& calls()
{
    return fileSystemCalls();
}

// Read-only as the DOS product saw it: not writable by us, or writable by
// nobody at all (which also holds for root, who could write it anyway).
bool isReadOnly(const std::string& path, const struct stat& info)
{
    return (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool isReadOnlyDirectory(const std::string& directory)
{
    struct stat info {};
    return ::stat(directory.c_str(), &info) != 0 || isReadOnly(directory, info);
}

// The file a save must change: a symbolic link is followed to its target,
// also when that does not exist yet.
std::string followLinks(std::string path)
{
    for (int depth = 0; depth < maxLinkDepth; ++depth) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT)
                return path;
            throwFileError(errno, path);
        }
        if (!S_ISLNK(info.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            throwFileError(errno, path);
        target.resize(static_cast<std::size_t>(length));
        path = target.empty() || target[0] == '/' ? target : directoryOf(path) + "/" + target;
    }
    throwFileError(ELOOP, path);
}

// Collects the producer's pieces and writes them in large blocks. Every few
// megabytes it asks the kernel to start writing them out, so that the disk
// works while the rest is produced and the final sync has little left to do.
class BufferedFileSink final : public ByteSink {
public:
    BufferedFileSink(int fd, std::string errorPath)
        : m_fd(fd)
        , m_errorPath(std::move(errorPath))
    {
        m_buffer.reserve(bufferSize);
    }

    void write(std::string_view bytes) override
    {
        if (bytes.size() >= bufferSize / 2) {
            // Large pieces go straight to the file: copying them first would gain nothing.
            flush();
            writeAll(m_fd, bytes, m_errorPath);
            wrote(bytes.size());
            return;
        }
        if (m_buffer.size() + bytes.size() > bufferSize)
            flush();
        m_buffer.append(bytes);
    }

    void flush()
    {
        writeAll(m_fd, m_buffer, m_errorPath);
        wrote(m_buffer.size());
        m_buffer.clear();
    }

    std::size_t written() const { return m_written; }

private:
    static constexpr std::size_t writebackStep = std::size_t{4} << 20;

    void wrote(std::size_t count)
    {
        m_written += count;
        if (m_written - m_writebackFrom < writebackStep)
            return;
        // Only advice: a failure to write shows in the final sync.
        ::sync_file_range(m_fd, static_cast<off_t>(m_writebackFrom), static_cast<off_t>(m_written - m_writebackFrom),
                          SYNC_FILE_RANGE_WRITE);
        m_writebackFrom = m_written;
    }

    int m_fd;
    std::string m_errorPath;
    std::string m_buffer;
    std::size_t m_written = 0;
    std::size_t m_writebackFrom = 0;
};

// The new content while it is written: an unnamed file in the target's
// directory where the file system offers them, otherwise a hidden named one.
// Until it is renamed over the target, dropping it removes every trace.
class ReplacementFile {
public:
    // mode: what the new file is created with, before the umask or the
    // directory's default ACL applies.
    ReplacementFile(const std::string& directory, mode_t mode, const std::string& errorPath)
        : m_directory(directory)
    {
        m_fd = FileDescriptor(::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        if (m_fd.valid())
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            throwFileError(errno, errorPath);
        m_name = uniqueName();
        m_fd = FileDescriptor(::open(m_name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
        if (!m_fd.valid()) {
            m_name.clear();
            throwFileError(errno, errorPath);
        }
    }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile()
    {
        if (!m_name.empty())
            ::unlink(m_name.c_str());
    }

    int fd() const { return m_fd.get(); }
    FileDescriptor& descriptor() { return m_fd; }

    // Gives the finished, synced content a name, so that it can be renamed.
    void name(const std::string& errorPath)
    {
        if (!m_name.empty())
            return;
        const std::string procPath = "/proc/self/fd/" + std::to_string(m_fd.get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = uniqueName();
            int result = calls().linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW);
            if (result != 0 && errno == ENOENT) // no /proc: needs the right to link by descriptor
                result = calls().linkat(m_fd.get(), "", AT_FDCWD, candidate.c_str(), AT_EMPTY_PATH);
            if (result == 0) {
                m_name = std::move(candidate);
                return;
            }
            if (errno != EEXIST)
                throwFileError(errno, errorPath);
        }
        throwFileError(EEXIST, errorPath);
    }

    // False when the target is a mount point of its own, which only an
    // in-place rewrite can change.
    bool renameOver(const std::string& target, const std::string& errorPath)
    {
        if (calls().rename(m_name.c_str(), target.c_str()) != 0) {
            if (errno == EBUSY)
                return false;
            throwFileError(errno, errorPath);
        }
        m_name.clear();
        return true;
    }

private:
    std::string uniqueName() const
    {
        return m_directory + "/" + std::string(temporaryPrefix) + std::to_string(::getpid()) + "-" + randomSuffix();
    }

    std::string m_directory;
    std::string m_name;
    FileDescriptor m_fd;
};

// Replaces target through a new file renamed over it. Returns false, having
// changed nothing, when the new file cannot take the old one's place: its
// owner cannot be given to it, or the old one is mounted where it stands.
bool replaceAtomically(const std::string& target, const struct stat* existing,
                       const std::function<void(ByteSink&)>& produce)
{
    const std::string directory = directoryOf(target);
    // A new file gets what any program's new file gets there: 0666 under the
    // umask, or the directory's default ACL. A replacement starts closed to
    // all and is then given the old file's owner, mode and attributes.
    ReplacementFile file(directory, existing ? 0600 : 0666, target);
    if (existing) {
        struct stat created {};
        if (::fstat(file.fd(), &created) != 0)
            throwFileError(errno, target);
        if ((created.st_uid != existing->st_uid || created.st_gid != existing->st_gid)
            && ::fchown(file.fd(), existing->st_uid, existing->st_gid) != 0) {
            if (errno == EPERM)
                return false;
            throwFileError(errno, target);
        }
        if (::fchmod(file.fd(), existing->st_mode & 07777) != 0)
            throwFileError(errno, target);
    }
    if (existing) {
        const FileDescriptor old(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
        if (!old.valid() || !copyFileAttributes(old.get(), file.fd()))
            return false;
    }

    BufferedFileSink sink(file.fd(), target);
    produce(sink);
    sink.flush();
    syncOrThrow(file.fd(), target);
    file.name(target);
    closeOrThrow(file.descriptor(), target);
    if (!file.renameOver(target, target))
        return false;
    syncDirectory(directory, target);
    return true;
}

// An advisory lock on a file for as long as it is saved, so that two copies
// of the program saving the same file never interleave: the second waits,
// and then finds the file changed. Where the file cannot be opened there is
// nothing to lock, and the save goes on as before.
class SaveLock {
public:
    explicit SaveLock(const std::string& target)
        : m_fd(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW))
    {
        if (m_fd.valid())
            lockExclusively(m_fd.get());
    }

private:
    FileDescriptor m_fd; // closing it releases the lock
};

// Rewrites target where it stands, so that it stays the same file.
void rewriteInPlace(const std::string& target, const std::function<void(ByteSink&)>& produce)
{
    SaveJournal journal(target, target);
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid())
        throwFileError(errno, target);
    try {
        BufferedFileSink sink(fd.get(), target);
        produce(sink);
        sink.flush();
        if (calls().ftruncate(fd.get(), static_cast<off_t>(sink.written())) != 0)
            throwFileError(errno, target);
        syncOrThrow(fd.get(), target);
        closeOrThrow(fd, target);
    } catch (...) {
        if (!fd.valid())
            fd = FileDescriptor(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (fd.valid())
            journal.restoreInto(fd.get()); // else the next start rolls it back
        throw;
    }
    journal.finish();
}

} // namespace

void removeLeftoversOfEndedSaves(const std::string& directory) noexcept
{
    const DirectoryStream dir = openDirectory(directory);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name.substr(0, temporaryPrefix.size()) != temporaryPrefix)
            continue;
        // Only our own, and only once the process that wrote it is gone: a
        // running save renames it over its file in a moment.
        struct stat info {};
        const long pid = std::strtol(entry->d_name + temporaryPrefix.size(), nullptr, 10);
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && info.st_uid == ::geteuid() && pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0
            && errno == ESRCH)
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

void removeLeftoversBeside(const FileName& file) noexcept
{
    try {
        removeLeftoversOfEndedSaves(directoryOf(followLinks(file.nativePath())));
    } catch (...) {
        // A name that cannot be followed has no directory to tidy.
    }
}

FileByteSource openSavedFile(const FileName& file)
{
    rollBackInterruptedSaves();
    removeLeftoversBeside(file);
    return FileByteSource(file);
}

void writeFileReplacing(const FileName& name, const std::function<void(ByteSink&)>& produce)
{
    const std::string requested = name.nativePath();
    if (requested.empty() || requested.back() == '/')
        throw EInOutError("Invalid filename");
    const std::string target = followLinks(requested);
    // A save over a file that a killed save left half rewritten would make
    // the damage permanent.
    rollBackInterruptedSaves();
    removeLeftoversOfEndedSaves(directoryOf(target));

    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            throwFileError(errno, target);
        const std::string directory = directoryOf(target);
        struct stat folder {};
        if (::stat(directory.c_str(), &folder) != 0)
            throwFileError(errno, target);
        if (isReadOnly(directory, folder))
            throwFileError(EACCES, target);
        if (!replaceAtomically(target, nullptr, produce))
            throwFileError(EBUSY, target); // something was mounted there meanwhile
        return;
    }
    if (S_ISDIR(existing.st_mode))
        throwFileError(EISDIR, target);
    if (!S_ISREG(existing.st_mode) || isReadOnly(target, existing))
        throwFileError(EACCES, target);
    const SaveLock lock(target);
    // Another save may have ended while this one waited for the lock.
    if (::stat(target.c_str(), &existing) != 0)
        throwFileError(errno, target);
    if (!S_ISREG(existing.st_mode))
        throwFileError(EACCES, target);
    // Renaming a new file over the old one would split its hard links.
    if (existing.st_nlink == 1 && !isReadOnlyDirectory(directoryOf(target))
        && replaceAtomically(target, &existing, produce))
        return;
    rewriteInPlace(target, produce);
}

void writeFileReplacing(const FileName& name, std::string_view bytes)
{
    writeFileReplacing(name, [bytes](ByteSink& sink) { sink.write(bytes); });
}

} // namespace kb::platform
