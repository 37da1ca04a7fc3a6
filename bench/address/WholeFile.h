#pragma once

#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Reads a whole file with plain read() calls into a buffer of the caller's
// kind, as the yardsticks of the side-by-side comparison read it.
template <typename Buffer>
Buffer readWholeFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0)
        throw std::runtime_error(std::string("cannot open ") + path);
    Buffer bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t length = 0;
    while (length < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + length, bytes.size() - length);
        if (got <= 0)
            break;
        length += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(length);
    return bytes;
}
