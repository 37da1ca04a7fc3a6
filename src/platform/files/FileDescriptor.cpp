#include "FileDescriptor.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileSystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace kb::platform {
namespace {

// Only regular files can be read whole: a FIFO would wait for a writer and a
// device may never end. They are refused like a directory, as a file the
// user may not open.
void refuseUnlessRegular(const struct stat& info, const std::string& nativePath)
{
    if (S_ISDIR(info.st_mode))
        throwFileError(EISDIR, nativePath);
    if (!S_ISREG(info.st_mode))
        throwFileError(EACCES, nativePath);
}

} // namespace

FileDescriptor openForReading(const std::string& nativePath)
{
    // Looking first means a FIFO or device is never opened at all; the check
    // after opening covers a file swapped in between, and O_NONBLOCK keeps
    // even that open from waiting.
    struct stat info {};
    if (::stat(nativePath.c_str(), &info) != 0)
        throwFileError(errno, nativePath);
    refuseUnlessRegular(info, nativePath);
    FileDescriptor fd(::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid())
        throwFileError(errno == ENXIO ? EACCES : errno, nativePath);
    if (::fstat(fd.get(), &info) != 0)
        throwFileError(errno, nativePath);
    refuseUnlessRegular(info, nativePath);
    return fd;
}

ssize_t readSome(int fd, char* into, std::size_t count, off_t at)
{
    for (;;) {
        const ssize_t got = at < 0 ? ::read(fd, into, count) : ::pread(fd, into, count, at);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

ssize_t writeSome(int fd, const char* bytes, std::size_t count)
{
    for (;;) {
        const ssize_t put = fileSystemCalls().write(fd, bytes, count);
        if (put >= 0 || errno != EINTR)
            return put;
    }
}

int lockExclusively(int fd)
{
    for (;;) {
        const int locked = ::flock(fd, LOCK_EX);
        if (locked == 0 || errno != EINTR)
            return locked;
    }
}

} // namespace kb::platform
