// Feeds arbitrary bytes to the address file reader, in memory, and checks
// that what it read survives a write and a second read unchanged, and that a
// second write gives the same bytes.
#include "common/AddressTextReader.h"
#include "common/AddressTextWriter.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using kb::common::AddressGrid;

struct MemorySink final : kb::platform::ByteSink {
    std::string bytes;
    void write(std::string_view piece) override { bytes.append(piece); }
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

AddressGrid read(const char* data, std::size_t size)
{
    kb::common::TextBuffer bytes(data, data + size);
    return kb::common::readAddressText(std::move(bytes));
}

std::string written(const AddressGrid& grid)
{
    MemorySink sink;
    kb::common::writeAddressText(grid, sink);
    return std::move(sink.bytes);
}

bool sameTable(const AddressGrid& a, const AddressGrid& b)
{
    if (a.rowCount() != b.rowCount())
        return false;
    for (int r = 0; r <= a.rowCount(); ++r) {
        for (int c = 0; c < AddressGrid::columnCount; ++c) {
            if (a.cell(c, r) != b.cell(c, r))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AddressGrid first = read(reinterpret_cast<const char*>(data), size);
    check(first.rowCount() >= 1);
    check(first.storedRowCount() <= static_cast<std::size_t>(first.rowCount()) + 1);

    const std::string bytes = written(first);
    const AddressGrid second = read(bytes.data(), bytes.size());
    check(sameTable(first, second));
    check(written(second) == bytes);

    // A cell changed beside the text reads back as set, and the rest stays.
    if (size > 0) {
        const int row = data[0] % (first.rowCount() + 1);
        const int column = data[size - 1] % AddressGrid::columnCount;
        const std::string kept(first.cell((column + 1) % AddressGrid::columnCount, row));
        first.setCell(column, row, "a,\"b\"\r\n");
        check(first.cell(column, row) == "a,\"b\"\r\n");
        check(first.cell((column + 1) % AddressGrid::columnCount, row) == kept);
        const std::string changed = written(first);
        const AddressGrid third = read(changed.data(), changed.size());
        check(third.cell(column, row) == "a,\"b\"\n");
    }
    return 0;
}
