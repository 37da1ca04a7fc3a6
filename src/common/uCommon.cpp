#include "uCommon.h"

#include "AddressText.h"
#include "FileDescriptor.h"
#include "FileErrors.h"
#include "TextFile.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr std::size_t keyLength = 13; // "DataFileName="
constexpr std::size_t firstChunk = 64 * 1024;
// Read in pieces that stay in the cache while their lines are counted.
constexpr std::size_t readPiece = std::size_t(1) << 20;

struct FileText {
    kb::common::TextBuffer bytes;
    kb::common::AddressTextExtent extent;
};

// The whole file in one buffer, read once, up to the end of its text. A
// regular file is read into a buffer of its size; anything that grows while
// read doubles the buffer.
FileText readWholeFile(const std::string& nativePath)
{
    const kb::platform::FileDescriptor fd = kb::platform::openForReading(nativePath);
    struct stat info {};
    std::size_t capacity = firstChunk;
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        capacity = static_cast<std::size_t>(info.st_size) + 1; // + 1 to see the end at once
    FileText text;
    kb::common::TextBuffer& bytes = text.bytes;
    bytes.reserve(capacity + kb::common::addressTextPadding);
    bytes.resize(capacity);
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd.get(), bytes.data() + length, std::min(bytes.size() - length, readPiece));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            kb::platform::throwFileError(errno, nativePath);
        }
        if (got == 0)
            break;
        const bool textGoesOn = text.extent.add(bytes.data() + length, static_cast<std::size_t>(got));
        length += static_cast<std::size_t>(got);
        if (!textGoesOn)
            break; // nothing after a Ctrl-Z is read
    }
    bytes.resize(length);
    return text;
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
    FileText text = readWholeFile(name.nativePath());
    grid = kb::common::readAddressText(std::move(text.bytes), text.extent);
}

void SaveGridToFile(std::string_view fileName, const kb::common::AddressGrid& grid)
{
    kb::platform::writeFileReplacing(kb::platform::FileName(fileName), [&grid](kb::platform::ByteSink& sink) {
        kb::common::writeAddressText(grid, sink);
    });
}
