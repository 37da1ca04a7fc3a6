#include "uCommon.h"

#include "common/AddressTextReader.h"
#include "common/AddressTextWriter.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {
constexpr std::size_t firstChunk = 64 * 1024;
constexpr std::size_t keyLength = 13; // "DataFileName="
// Read in pieces that stay in the cache while their lines are counted.
constexpr std::size_t readPiece = std::size_t(1) << 20;

struct FileText {
    kb::common::TextBuffer bytes;
    kb::common::AddressTextExtent extent;
    kb::platform::FileVersion version;
};

// The whole file in one buffer, read once, up to the end of its text.
FileText readWholeFile(const kb::platform::FileName& name)
{
    kb::platform::FileByteSource source = kb::platform::openSavedFile(name);
    kb::platform::ContentHash hash;
    FileText text;
    kb::common::TextBuffer& bytes = text.bytes;
    // A regular file is read straight into a buffer of its size (+ 1 to see
    // the end at once); one that grows while read doubles it.
    const std::size_t size = source.sizeHint();
    bytes.reserve((size > 0 ? size + 1 : firstChunk) + kb::common::addressTextPadding);
    std::size_t length = 0;
    const auto roomFor = [&](std::size_t& count) {
        if (bytes.capacity() == length + kb::common::addressTextPadding)
            bytes.reserve(2 * length + kb::common::addressTextPadding);
        count = std::min(count, bytes.capacity() - kb::common::addressTextPadding - length);
        bytes.resize(length + count);
        return bytes.data() + length;
    };
    kb::platform::readPieces(source, std::numeric_limits<std::uint64_t>::max(), readPiece, roomFor,
                             [&](const char* piece, std::size_t count) {
                                 length += count;
                                 hash.add(piece, count);
                                 return text.extent.add(piece, count); // nothing after a Ctrl-Z is read
                             });
    bytes.resize(length);
    text.version = {source.identity(), length, hash.value()};
    return text;
}

} // namespace

std::string ReadDataFileName(std::string_view fileName)
{
    kb::platform::TextFileReader reader(fileName, maxDataFileNameBytes);
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

void LoadGridFromFile(const kb::platform::FileName& name, kb::common::AddressGrid& grid,
                      kb::platform::FileVersion* version)
{
    FileText text = readWholeFile(name);
    grid = kb::common::readAddressText(std::move(text.bytes), text.extent);
    if (version)
        *version = text.version;
}

void SaveGridToFile(const kb::platform::FileName& name, const kb::common::AddressGrid& grid)
{
    kb::platform::writeFileReplacing(
        name, [&grid](kb::platform::ByteSink& sink) { kb::common::writeAddressText(grid, sink); });
}
