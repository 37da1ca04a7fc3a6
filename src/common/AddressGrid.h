#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One line of the address file: 22 cells of byte text. The cells share one
// buffer, so a row costs a single allocation however many cells it holds.
class AddressRow {
public:
    static constexpr int ColumnCount = 22;

    std::string_view cell(int column) const;
    void setCell(int column, std::string_view text);
    void clear();
    bool empty() const { return m_bytes.empty(); }
    std::size_t byteCount() const { return m_bytes.size(); }

private:
    std::size_t begin(int column) const { return column == 0 ? 0 : m_ends[column - 1]; }

    std::string m_bytes;
    std::array<std::uint32_t, ColumnCount> m_ends{};
};

// The table behind the address book: 22 columns, the heading row 0, the
// visible row count R (rows 0..R-1 shown) and the trailer row R. Cells can be
// set in any row, also beyond the row count; a cell never set reads as empty.
// Rows take room only up to the highest row that was set.
class AddressGrid {
public:
    static constexpr int ColumnCount = AddressRow::ColumnCount;
    static constexpr int DisplayedColumnCount = 21;

    int rowCount() const { return m_rowCount; }
    // Changes only the count; cells beyond it are kept.
    void setRowCount(int count);

    std::string_view cell(int column, int row) const;
    void setCell(int column, int row, std::string_view text);

    const AddressRow& row(int row) const;
    void setRow(int row, AddressRow cells);

    // Removes a row: the rows below it move up one place and the row count
    // drops by one (not below 1).
    void removeRow(int row);

    // Empties every cell and sets the row count to 1.
    void clear();

    // The rows that hold storage, for measuring.
    std::size_t storedRowCount() const { return m_rows.size(); }
    void releaseSpareCapacity() { m_rows.shrink_to_fit(); }

private:
    AddressRow& rowForWriting(int row);

    std::vector<AddressRow> m_rows;
    int m_rowCount = 1;
};
