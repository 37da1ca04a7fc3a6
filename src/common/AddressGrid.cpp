#include "AddressGrid.h"

#include "common/ByteScan.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace kb::common {
namespace {

void checkColumn(int column)
{
    if (column < 0 || column >= AddressRow::columnCount)
        throw std::out_of_range("Index out of bounds.");
}

void checkRow(int row)
{
    if (row < 0)
        throw std::out_of_range("Index out of bounds.");
}

const char* endOfPackedCell(const char* at)
{
    while (*at != packedCellEnd && *at != packedRowEnd)
        ++at;
    return at;
}

// A row longer than this has its cells found once and kept, since every
// look at a cell walks the cells before it.
constexpr std::ptrdiff_t longRowBytes = 64 * 1024;

} // namespace

std::string_view AddressRow::cell(int column) const
{
    checkColumn(column);
    const std::size_t from = begin(column);
    return std::string_view(m_bytes).substr(from, m_ends[column] - from);
}

void AddressRow::setCell(int column, std::string_view text)
{
    checkColumn(column);
    const std::size_t from = begin(column);
    const std::size_t oldLength = m_ends[column] - from;
    if (m_bytes.size() - oldLength + text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("An address may not exceed 4 GB.");
    m_bytes.replace(from, oldLength, text);
    const auto grown = static_cast<std::uint32_t>(text.size());
    const auto shrunk = static_cast<std::uint32_t>(oldLength);
    for (int c = column; c < columnCount; ++c)
        m_ends[c] = m_ends[c] - shrunk + grown;
}

void AddressRow::clear()
{
    std::string().swap(m_bytes);
    m_ends.fill(0);
}

AddressGrid::AddressGrid(TextBuffer text, RowOffsets rows, int rowCount)
    : m_text(std::move(text))
    , m_rows(std::move(rows))
    , m_rowCount(rowCount)
{
    // Long rows are walked once, with the load, rather than at every look.
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const std::uint64_t end = row + 1 < m_rows.size() ? m_rows[row + 1] : m_text.size();
        if (end - m_rows[row] > std::uint64_t(longRowBytes))
            m_longRowCells.emplace(m_rows[row], cellBoundsOf(m_text.data() + m_rows[row]));
    }
}

void AddressGrid::setRowCount(int count)
{
    m_rowCount = count < 0 ? 0 : count;
}

std::string_view AddressGrid::cell(int column, int row) const
{
    checkColumn(column);
    checkRow(row);
    const RowCells cells = rowCells(row);
    if (cells.packed)
        return packedCell(cells.packed, column);
    return cells.changed ? cells.changed->cell(column) : std::string_view();
}

std::string_view AddressGrid::packedCell(const char* row, int column) const
{
    if (!m_longRowCells.empty()) {
        const auto found = m_longRowCells.find(static_cast<std::uint64_t>(row - m_text.data()));
        if (found != m_longRowCells.end()) {
            const auto [from, to] = found->second[static_cast<std::size_t>(column)];
            return std::string_view(m_text.data() + from, to - from);
        }
    }
    ByteFinder<packedCellEnd, packedRowEnd> ends(m_text.data(), m_text.data() + m_text.size() - scanOverread);
    const char* end = ends.next(row);
    for (; column > 0; --column) {
        if (*end == packedRowEnd)
            return {};
        row = end + 1;
        end = ends.next(row);
    }
    return std::string_view(row, static_cast<std::size_t>(end - row));
}

AddressGrid::CellBounds AddressGrid::cellBoundsOf(const char* row) const
{
    ByteFinder<packedCellEnd, packedRowEnd> ends(m_text.data(), m_text.data() + m_text.size() - scanOverread);
    CellBounds bounds{};
    for (auto& [from, to] : bounds) {
        const char* end = ends.next(row);
        from = static_cast<std::uint64_t>(row - m_text.data());
        to = static_cast<std::uint64_t>(end - m_text.data());
        if (*end == packedRowEnd)
            break;
        row = end + 1;
    }
    return bounds;
}

void AddressGrid::setCell(int column, int row, std::string_view text)
{
    checkColumn(column);
    checkRow(row);
    if (text.empty() && handle(row) == noRow)
        return; // already empty; no need to make room for it
    changedRowFor(row).setCell(column, text);
}

RowCells AddressGrid::rowCells(int row) const
{
    const std::uint64_t at = handle(row);
    if (at == noRow)
        return {};
    if (at & changedRow)
        return {nullptr, &m_changed[at & ~changedRow]};
    return {m_text.data() + at, nullptr};
}

void AddressGrid::insertRow(int row)
{
    checkRow(row);
    if (static_cast<std::size_t>(row) < m_rows.size())
        m_rows.insert(m_rows.begin() + row, noRow);
    ++m_rowCount;
}

void AddressGrid::removeRow(int row)
{
    checkRow(row);
    if (static_cast<std::size_t>(row) < m_rows.size()) {
        const std::uint64_t at = m_rows[row];
        if (at != noRow && (at & changedRow)) {
            m_changed[at & ~changedRow].clear();
            m_freeChanged.push_back(at & ~changedRow);
        }
        m_rows.erase(m_rows.begin() + row);
    }
    if (m_rowCount > 1)
        --m_rowCount;
}

std::uint64_t AddressGrid::handle(int row) const
{
    return static_cast<std::size_t>(row) < m_rows.size() ? m_rows[row] : noRow;
}

AddressRow& AddressGrid::changedRowFor(int row)
{
    if (static_cast<std::size_t>(row) >= m_rows.size())
        m_rows.resize(static_cast<std::size_t>(row) + 1, noRow);
    std::uint64_t& at = m_rows[row];
    if (at != noRow && (at & changedRow))
        return m_changed[at & ~changedRow];

    AddressRow moved;
    if (at != noRow) {
        const char* cell = m_text.data() + at;
        for (int column = 0; column < columnCount; ++column) {
            const char* end = endOfPackedCell(cell);
            moved.setCell(column, std::string_view(cell, static_cast<std::size_t>(end - cell)));
            if (*end == packedRowEnd)
                break;
            cell = end + 1;
        }
    }
    std::size_t slot;
    if (!m_freeChanged.empty()) {
        slot = m_freeChanged.back();
        m_freeChanged.pop_back();
        m_changed[slot] = std::move(moved);
    } else {
        slot = m_changed.size();
        m_changed.push_back(std::move(moved));
    }
    at = changedRow | slot;
    return m_changed[slot];
}

} // namespace kb::common
