#pragma once

#include <cstddef>
#include <dirent.h>
#include <memory>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace kb::platform {

// Owns a POSIX file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(other.release())
    {
    }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = other.release();
        }
        return *this;
    }
    ~FileDescriptor() { reset(); }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// An open directory listing, closed when dropped.
struct DirectoryCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirectoryStream = std::unique_ptr<DIR, DirectoryCloser>;

// Null when the directory cannot be read.
inline DirectoryStream openDirectory(const std::string& path)
{
    return DirectoryStream(::opendir(path.c_str()));
}

// Opens an existing file of nativePath for reading, without ever waiting;
// raises EInOutError with the DOS text when it cannot. A directory, FIFO,
// device or socket is no file that can be read whole: it is refused at once
// with "File access denied", as the DOS product refused a directory.
FileDescriptor openForReading(const std::string& nativePath);

// read(2) and write(2), tried again when a signal interrupts them, so that
// no caller mistakes an interruption for an error. readSome reads at the
// offset "at" when one is given (pread), else where the file stands; the
// write goes through fileSystemCalls(), where tests make the disk fail.
ssize_t readSome(int fd, char* into, std::size_t count, off_t at = -1);
ssize_t writeSome(int fd, const char* bytes, std::size_t count);
// flock(2) LOCK_EX, waiting for the lock however often a signal interrupts
// the wait: 0, or -1 with errno set.
int lockExclusively(int fd);

} // namespace kb::platform
