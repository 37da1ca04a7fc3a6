#pragma once

#include <string>
#include <unistd.h>

namespace kb::platform {

// Owns a POSIX file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
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

// Opens an existing file of nativePath for reading; raises EInOutError with
// the DOS text when it cannot, or when it is no file that can be read whole.
FileDescriptor openForReading(const std::string& nativePath);

} // namespace kb::platform
