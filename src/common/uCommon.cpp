#include "uCommon.h"

#include "AddressText.h"
#include "FileDescriptor.h"
#include "FileErrors.h"
#include "TextFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr std::size_t keyLength = 13; // "DataFileName="
constexpr std::size_t firstChunk = 64 * 1024;

// The whole file in one buffer, read once. A regular file is read into a
// buffer of its size; anything that grows while read doubles the buffer.
kb::common::TextBuffer readWholeFile(const std::string& nativePath)
{
    const kb::platform::FileDescriptor fd = kb::platform::openForReading(nativePath);
    struct stat info {};
    std::size_t capacity = firstChunk;
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        capacity = static_cast<std::size_t>(info.st_size) + 1; // + 1 to see the end at once
    kb::common::TextBuffer bytes;
    bytes.reserve(capacity + kb::common::addressTextPadding);
    bytes.resize(capacity);
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd.get(), bytes.data() + length, bytes.size() - length);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            kb::platform::throwFileError(errno, nativePath);
        }
        if (got == 0)
            break;
        length += static_cast<std::size_t>(got);
    }
    bytes.resize(length);
    return bytes;
}

} // namespace

std::string ReadDataFileName(std::string_view fileName)
{
    kb::platform::TextFileReader reader(fileName);
    std::string result;
    try {
        std::string line;
        reader.readLine(line);
        if (line.size() > keyLength)
            result = line.substr(keyLength);
    } catch (const std::exception&) {
        result.clear();
    }
    return result;
}

void LoadGridFromFile(std::string_view fileName, kb::common::AddressGrid& grid)
{
    const kb::platform::FileName name(fileName);
    grid = kb::common::readAddressText(readWholeFile(name.nativePath()));
}

void SaveGridToFile(std::string_view fileName, const kb::common::AddressGrid& grid)
{
    kb::platform::writeFileReplacing(kb::platform::FileName(fileName), [&grid](kb::platform::ByteSink& sink) {
        kb::common::writeAddressText(grid, sink);
    });
}
