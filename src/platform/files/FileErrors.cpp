#include "FileErrors.h"

#include <cerrno>
#include <sys/stat.h>

namespace kb::platform {
namespace {

bool parentDirectoryExists(const std::string& nativePath)
{
    const auto slash = nativePath.find_last_of('/');
    if (slash == std::string::npos)
        return true; // relative to the working directory, which exists
    const std::string parent = slash == 0 ? std::string("/") : nativePath.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string fileErrorText(int errorNumber, const std::string& nativePath)
{
    switch (errorNumber) {
    case ENOENT:
        return !nativePath.empty() && parentDirectoryExists(nativePath) ? "File not found" : "Invalid filename";
    case ENOTDIR:
    case ELOOP: // symbolic links that lead round in a circle name no file
    case ENAMETOOLONG: return "Invalid filename";
    case EMFILE:
    case ENFILE: return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // the DOS product reported a directory in a file's place as a refused access
        return "File access denied";
    case ENOSPC:
    case EDQUOT: return "Disk full";
    default: return "I/O error " + std::to_string(errorNumber);
    }
}

void throwFileError(int errorNumber, const std::string& nativePath)
{
    throw EInOutError(fileErrorText(errorNumber, nativePath));
}

} // namespace kb::platform
