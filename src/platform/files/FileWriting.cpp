#include "FileWriting.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileSystemCalls.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::platform {

namespace {
constexpr std::size_t copyBufferSize = std::size_t{256} * 1024;
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 8; ++i)
        suffix += letters[generator() % (sizeof letters - 1)];
    return suffix;
}

void writeAll(int fd, std::string_view bytes, const std::string& errorPath)
{
    while (!bytes.empty()) {
        const ssize_t put = writeSome(fd, bytes.data(), bytes.size());
        if (put < 0)
            throwFileError(errno, errorPath);
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

std::size_t copyAll(int from, int to, const std::string& errorPath)
{
    std::string chunk(copyBufferSize, '\0');
    std::size_t copied = 0;
    for (;;) {
        const ssize_t got = readSome(from, chunk.data(), chunk.size());
        if (got < 0)
            throwFileError(errno, errorPath);
        if (got == 0)
            return copied;
        writeAll(to, std::string_view(chunk.data(), static_cast<std::size_t>(got)), errorPath);
        copied += static_cast<std::size_t>(got);
    }
}

void syncOrThrow(int fd, const std::string& errorPath)
{
    if (fileSystemCalls().fsync(fd) != 0)
        throwFileError(errno, errorPath);
}

void closeOrThrow(FileDescriptor& fd, const std::string& errorPath)
{
    if (fileSystemCalls().close(fd.release()) != 0 && errno != EINTR)
        throwFileError(errno, errorPath);
}

void syncDirectory(const std::string& directory, const std::string& errorPath)
{
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        throwFileError(errno, errorPath);
    syncOrThrow(fd.get(), errorPath);
}

void makeDirectories(const std::string& path, const std::string& errorPath)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            throwFileError(errno, errorPath);
        if (slash == std::string::npos)
            return;
    }
}

} // namespace kb::platform
