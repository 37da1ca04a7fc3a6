// Feeds arbitrary bytes to the address file reader and checks that what it
// read survives a save and a second load unchanged, and that a second save
// writes the same bytes.
#include "TextFile.h"
#include "uCommon.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string scratchFile(const char* name)
{
    static const std::string directory = [] {
        char pattern[] = "/tmp/kb-fuzz-address-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        return std::string(pattern);
    }();
    return directory + "/" + name;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameTable(const AddressGrid& a, const AddressGrid& b)
{
    if (a.rowCount() != b.rowCount())
        return false;
    for (int r = 0; r <= a.rowCount(); ++r) {
        for (int c = 0; c < AddressGrid::ColumnCount; ++c) {
            if (a.cell(c, r) != b.cell(c, r))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = scratchFile("input.csv");
    static const std::string saved = scratchFile("saved.csv");
    kb::platform::writeFileReplacing(input, std::string(reinterpret_cast<const char*>(data), size));

    AddressGrid first;
    LoadGridFromFile(input, first);
    check(first.rowCount() >= 1);
    check(first.storedRowCount() <= static_cast<std::size_t>(first.rowCount()) + 1);

    SaveGridToFile(saved, first);
    const std::string written = kb::platform::readFileBytes(saved);
    AddressGrid second;
    LoadGridFromFile(saved, second);
    check(sameTable(first, second));

    SaveGridToFile(saved, second);
    check(kb::platform::readFileBytes(saved) == written);
    return 0;
}
