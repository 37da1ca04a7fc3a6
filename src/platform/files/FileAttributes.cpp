#include "FileAttributes.h"

#include "platform/files/FileSystemCalls.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>

namespace kb::platform {

namespace {

// Reads what get gives, which another process may change meanwhile: asks its
// size, reads into that much room, and asks again when it grew in between.
// What was read is never taken for longer than the room it was read into.
bool readSizedAndRetry(const std::function<ssize_t(char*, std::size_t)>& get, std::vector<char>& bytes)
{
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        bytes.assign(static_cast<std::size_t>(size), '\0');
        if (bytes.empty())
            return true; // a second call with no room would only ask the size again
        const ssize_t got = get(bytes.data(), bytes.size());
        if (got >= 0 && static_cast<std::size_t>(got) <= bytes.size()) {
            bytes.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (got < 0 && errno != ERANGE)
            return false;
    }
}

// The names of fd's extended attributes; false when they cannot be listed
// (a file system without them has none).
bool attributeNames(int fd, std::set<std::string>& names)
{
    std::vector<char> list;
    if (!readSizedAndRetry([fd](char* into, std::size_t size) { return fileSystemCalls().flistxattr(fd, into, size); },
                           list))
        return errno == ENOTSUP;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t length = ::strnlen(list.data() + at, list.size() - at);
        if (length > 0)
            names.emplace(list.data() + at, length);
        at += length + 1;
    }
    return true;
}

bool copyAttribute(int from, int to, const std::string& name)
{
    std::vector<char> value;
    return readSizedAndRetry(
               [from, &name](char* into, std::size_t size) { return ::fgetxattr(from, name.c_str(), into, size); },
               value)
        && ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0;
}

bool copyFlags(int from, int to)
{
    int flags = 0;
    if (::ioctl(from, FS_IOC_GETFLAGS, &flags) != 0)
        return errno == ENOTTY || errno == ENOTSUP || errno == EINVAL; // no flags here
    if (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL))
        return false;
    int current = 0;
    if (::ioctl(to, FS_IOC_GETFLAGS, &current) == 0 && current == flags)
        return true;
    return ::ioctl(to, FS_IOC_SETFLAGS, &flags) == 0;
}

} // namespace

bool copyFileAttributes(int from, int to)
{
    std::set<std::string> wanted;
    std::set<std::string> present;
    if (!attributeNames(from, wanted) || !attributeNames(to, present))
        return false;
    for (const std::string& name : wanted) {
        if (!copyAttribute(from, to, name))
            return false;
    }
    // What the new file inherited (a default ACL of the directory) but the
    // old one did not have would change access.
    for (const std::string& name : present) {
        if (!wanted.count(name) && ::fremovexattr(to, name.c_str()) != 0)
            return false;
    }
    return copyFlags(from, to);
}

} // namespace kb::platform
