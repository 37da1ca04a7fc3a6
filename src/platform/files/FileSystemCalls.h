#pragma once

#include <cstdio>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kb::platform {

// The system calls through which the whole-file writer changes the disk.
// They go through this table so that tests can make any of them fail the
// way a full disk or a failing device does; the program never changes it.
struct FileSystemCalls {
    ssize_t (*write)(int fd, const void* bytes, size_t count) = ::write;
    int (*fsync)(int fd) = ::fsync;
    int (*ftruncate)(int fd, off_t length) = ::ftruncate;
    int (*close)(int fd) = ::close;
    int (*rename)(const char* from, const char* to) = ::rename;
    int (*linkat)(int fromDirectory, const char* from, int toDirectory, const char* to, int flags) = ::linkat;
    // Read, not written: a test changes the list between two calls.
    ssize_t (*flistxattr)(int fd, char* list, size_t size) = ::flistxattr;
};

FileSystemCalls& fileSystemCalls();

} // namespace kb::platform
