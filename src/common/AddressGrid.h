#pragma once

#include "common/AddressColumns.h"
#include "platform/files/PageAllocator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kb::common {

// The address file's text as the reader leaves it, and the row offsets into it.
using TextBuffer = std::vector<char, PageAllocator<char>>;
using RowOffsets = std::vector<std::uint64_t, PageAllocator<std::uint64_t>>;

// A row as the reader packs it into the file's own buffer: its cells one
// after another, each but the last followed by a CR, the row followed by a
// Ctrl-Z. Neither byte can be part of a value read from the file, which ends
// a line at a CR and the text at a Ctrl-Z.
constexpr char packedCellEnd = '\r';
constexpr char packedRowEnd = 26;

// A row changed after loading: 22 cells of any bytes in one buffer, so a row
// costs a single allocation however many cells it holds.
class AddressRow {
public:
    static constexpr int columnCount = addressColumnCount;

    std::string_view cell(int column) const;
    void setCell(int column, std::string_view text);
    void clear();

private:
    std::size_t begin(int column) const { return column == 0 ? 0 : m_ends[column - 1]; }

    std::string m_bytes;
    std::array<std::uint32_t, columnCount> m_ends{};
};

// The cells of one row as the writer walks them: packed text, a changed
// row, or nothing.
struct RowCells {
    const char* packed = nullptr; // runs to its packedRowEnd
    const AddressRow* changed = nullptr;
};

// The table behind the address book: 22 columns, the heading row 0, the
// visible row count R (rows 0..R-1 shown) and the trailer row R. Cells can be
// set in any row, also beyond the row count; a cell never set reads as empty.
//
// Loaded rows stay in the file's buffer and cost one offset each; a row that
// is changed moves beside the buffer, alone, the first time one of its cells
// is set.
class AddressGrid {
public:
    static constexpr int columnCount = AddressRow::columnCount;
    static constexpr int displayedColumnCount = 21;

    AddressGrid() = default;
    // Takes over the reader's packed text and the offsets of its rows.
    AddressGrid(TextBuffer text, RowOffsets rows, int rowCount);

    int rowCount() const { return m_rowCount; }
    // Changes only the count; cells beyond it are kept.
    void setRowCount(int count);

    std::string_view cell(int column, int row) const;
    void setCell(int column, int row, std::string_view text);
    RowCells rowCells(int row) const;
    // The buffer that packed rows point into, with the scans' overread after it.
    const TextBuffer& packedText() const { return m_text; }

    // Adds an empty row before row: the rows from it on move down one place
    // and the row count grows by one.
    void insertRow(int row);
    // Removes a row: the rows below it move up one place and the row count
    // drops by one (not below 1).
    void removeRow(int row);

    // The rows that hold storage, for measuring.
    std::size_t storedRowCount() const { return m_rows.size(); }

private:
    static constexpr std::uint64_t noRow = ~std::uint64_t(0);
    static constexpr std::uint64_t changedRow = std::uint64_t(1) << 63;

    // Where each cell of a packed row begins and ends in m_text.
    using CellBounds = std::array<std::pair<std::uint64_t, std::uint64_t>, columnCount>;

    std::uint64_t handle(int row) const;
    AddressRow& changedRowFor(int row);
    std::string_view packedCell(const char* row, int column) const;
    CellBounds cellBoundsOf(const char* row) const;

    TextBuffer m_text;
    RowOffsets m_rows; // an offset into m_text, changedRow | an index into m_changed, or noRow
    std::vector<AddressRow> m_changed;
    std::vector<std::size_t> m_freeChanged; // slots of removed rows, for reuse
    // The cells of long packed rows, by the row's offset; packed text never
    // changes, so they stay true.
    std::unordered_map<std::uint64_t, CellBounds> m_longRowCells;
    int m_rowCount = 1;
};

} // namespace kb::common
