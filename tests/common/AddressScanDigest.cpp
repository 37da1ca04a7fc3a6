// Reads and writes many random address texts and prints one digest line for
// each: the cells read and the bytes written. Built once with the SIMD scans
// and once with KB_SCALAR_SCANS, the two outputs must be the same.
#include "common/AddressTextReader.h"
#include "common/AddressTextWriter.h"
#include "platform/files/FileReplacing.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>

namespace {

using kb::common::AddressGrid;

class DigestSink final : public kb::platform::ByteSink {
public:
    // The bytes written, whatever pieces they come in.
    void write(std::string_view bytes) override
    {
        for (const char c : bytes)
            m_hash = (m_hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }

    // A cell, and where it ends.
    void add(std::string_view cell)
    {
        write(cell);
        m_hash = (m_hash ^ cell.size()) * 1099511628211u;
    }
    std::uint64_t hash() const { return m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037u;
};

// Texts made mostly of the bytes the scans look for, in runs long and short
// enough to end anywhere in a 16- or 64-byte block.
std::string randomText(std::mt19937& random)
{
    static constexpr char alphabet[] = {',', '"', '\r', '\n', 'a', 'b', ' ', '\xe9', 26};
    std::uniform_int_distribution<int> length(0, 600);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);
    std::uniform_int_distribution<int> runLength(1, 80);
    std::string text;
    const int wanted = length(random);
    while (static_cast<int>(text.size()) < wanted) {
        const char c = alphabet[pick(random)];
        // Ctrl-Z ends a text: only now and then, so most texts are read whole.
        if (c == 26 && random() % 8 != 0)
            continue;
        text.append(c == 'a' ? static_cast<std::size_t>(runLength(random)) : 1, c);
    }
    return text;
}

} // namespace

int main()
{
    std::mt19937 random(20261209);
    for (int file = 0; file < 20000; ++file) {
        const std::string text = randomText(random);
        AddressGrid grid = kb::common::readAddressText(kb::common::TextBuffer(text.begin(), text.end()));
        DigestSink cells;
        for (int r = 0; r <= grid.rowCount(); ++r) {
            for (int c = 0; c < AddressGrid::columnCount; ++c)
                cells.add(grid.cell(c, r));
        }
        if (file % 3 == 0) // a changed row beside the packed ones
            grid.setCell(file % AddressGrid::columnCount, file % (grid.rowCount() + 1), text.substr(0, 40));
        DigestSink written;
        kb::common::writeAddressText(grid, written);
        std::printf("%d %016llx %016llx\n", file, static_cast<unsigned long long>(cells.hash()),
                    static_cast<unsigned long long>(written.hash()));
    }
    return 0;
}
