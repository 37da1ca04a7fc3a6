#include "DirectoryFiles.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileWriting.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::platform {

namespace {

constexpr std::string_view stagedPrefix = ".kb-new-";

std::string stagedName(const std::string& name)
{
    return std::string(stagedPrefix) + name;
}

} // namespace

DirectoryFiles::DirectoryFiles(std::string directory)
    : m_directory(std::move(directory))
{
    if (::mkdir(m_directory.c_str(), 0700) != 0 && errno != EEXIST)
        throwFileError(errno, m_directory);
    m_fd = FileDescriptor(::open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_fd.valid())
        throwFileError(errno, m_directory);
    if (lockExclusively(m_fd.get()) != 0)
        throwFileError(errno, m_directory);
}

std::vector<std::string> DirectoryFiles::names() const
{
    // A listing of its own: the stream must not move the lock's descriptor.
    const int listed = ::openat(m_fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DirectoryStream dir(listed >= 0 ? ::fdopendir(listed) : nullptr);
    if (!dir) {
        const int error = errno;
        if (listed >= 0)
            ::close(listed);
        throwFileError(error, m_directory);
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN)
            names.emplace_back(entry->d_name);
    }
    if (errno != 0)
        throwFileError(errno, m_directory);
    return names;
}

std::optional<std::string> DirectoryFiles::read(const std::string& name, std::size_t maxBytes) const
{
    const FileDescriptor fd(
        ::openat(m_fd.get(), name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
    if (!fd.valid()) {
        if (errno == ENOENT)
            return std::nullopt;
        throwFileError(errno == ELOOP || errno == ENXIO ? EACCES : errno, pathOf(name));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throwFileError(errno, pathOf(name));
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) > maxBytes)
        throwFileError(EACCES, pathOf(name));
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t part = readSome(fd.get(), bytes.data() + got, bytes.size() - got);
        if (part < 0)
            throwFileError(errno, pathOf(name));
        if (part == 0)
            break; // shrunk meanwhile
        got += static_cast<std::size_t>(part);
    }
    bytes.resize(got);
    return bytes;
}

void DirectoryFiles::stage(const std::string& name, std::string_view bytes)
{
    const std::string staged = stagedName(name);
    // A leftover of a killed run, or a link someone put there, goes first:
    // O_EXCL then refuses anything that appears meanwhile.
    if (::unlinkat(m_fd.get(), staged.c_str(), 0) != 0 && errno != ENOENT)
        throwFileError(errno, pathOf(staged));
    FileDescriptor fd(::openat(m_fd.get(), staged.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid())
        throwFileError(errno, pathOf(staged));
    m_staged.push_back(name);
    writeAll(fd.get(), bytes, pathOf(name));
    closeOrThrow(fd, pathOf(name));
}

void DirectoryFiles::commit()
{
    // One sync for the whole batch: a sync per file would make a first
    // export of many cards take minutes on a real disk.
    if (!m_staged.empty() && ::syncfs(m_fd.get()) != 0)
        throwFileError(errno, m_directory);
    for (const std::string& name : m_staged) {
        if (::renameat(m_fd.get(), stagedName(name).c_str(), m_fd.get(), name.c_str()) != 0)
            throwFileError(errno, pathOf(name));
    }
    m_staged.clear();
    syncOrThrow(m_fd.get(), m_directory);
}

void DirectoryFiles::replace(const std::string& name, std::string_view bytes)
{
    stage(name, bytes);
    commit();
}

void DirectoryFiles::remove(const std::string& name)
{
    if (::unlinkat(m_fd.get(), name.c_str(), 0) != 0 && errno != ENOENT)
        throwFileError(errno, pathOf(name));
}

bool DirectoryFiles::isStagedName(std::string_view name)
{
    return name.substr(0, stagedPrefix.size()) == stagedPrefix;
}

} // namespace kb::platform
