#include "FileAttributes.h"

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>

namespace kb::platform {

namespace {

// The names of fd's extended attributes; false when they cannot be listed
// (a file system without them has none).
bool attributeNames(int fd, std::set<std::string>& names)
{
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        std::vector<char> list(static_cast<std::size_t>(size));
        const ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE)
            continue; // grew meanwhile
        if (got < 0)
            return false;
        for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
            const std::string name(list.data() + at);
            names.insert(name);
            at += name.size() + 1;
        }
        return true;
    }
}

bool copyAttribute(int from, int to, const std::string& name)
{
    for (;;) {
        const ssize_t size = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        std::vector<char> value(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE)
            continue;
        return got >= 0 && ::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) == 0;
    }
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
