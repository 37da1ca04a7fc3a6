#pragma once

#include <dirent.h>
#include <memory>
#include <string>
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

} // namespace kb::platform
