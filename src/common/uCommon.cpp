#include "uCommon.h"

#include "common/AddressTextReader.h"
#include "common/AddressTextWriter.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/SaveJournal.h"
#include "platform/files/TextFile.h"

#include <algorithm>

namespace {
constexpr std::size_t keyLength = 13; // "DataFileName="
constexpr std::size_t firstChunk = 64 * 1024;
// Read in pieces that stay in the cache while their lines are counted.
constexpr std::size_t readPiece = std::size_t(1) << 20;

struct FileText {
    kb::common::TextBuffer bytes;
    kb::common::AddressTextExtent extent;
    kb::platform::FileVersion version;
};

// The whole file in one buffer, read once, up to the end of its text. A
// regular file is read into a buffer of its size; anything that grows while
// read doubles the buffer.
FileText readWholeFile(const kb::platform::FileName& name)
{
    kb::platform::FileByteSource source(name);
    kb::platform::ContentHash hash;
    const std::size_t size = source.sizeHint();
    const std::size_t capacity = size > 0 ? size + 1 : firstChunk; // + 1 to see the end at once
    FileText text;
    kb::common::TextBuffer& bytes = text.bytes;
    bytes.reserve(capacity + kb::common::addressTextPadding);
    bytes.resize(capacity);
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size())
            bytes.resize(bytes.size() * 2);
        const std::size_t got = source.read(bytes.data() + length, std::min(bytes.size() - length, readPiece));
        if (got == 0)
            break;
        hash.add(bytes.data() + length, got);
        const bool textGoesOn = text.extent.add(bytes.data() + length, got);
        length += got;
        if (!textGoesOn)
            break; // nothing after a Ctrl-Z is read
    }
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
    kb::platform::rollBackInterruptedSaves(); // another copy may have been killed saving it
    kb::platform::removeLeftoversBeside(name);
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
