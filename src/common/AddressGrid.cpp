#include "AddressGrid.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

void checkColumn(int column)
{
    if (column < 0 || column >= AddressRow::ColumnCount)
        throw std::out_of_range("Index out of bounds.");
}

void checkRow(int row)
{
    if (row < 0)
        throw std::out_of_range("Index out of bounds.");
}

const AddressRow emptyRow;

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
    if (from == m_bytes.size()) {
        // This and every later cell are empty: the usual case while reading.
        m_bytes.append(text);
        std::fill(m_ends.begin() + column, m_ends.end(), static_cast<std::uint32_t>(m_bytes.size()));
        return;
    }
    m_bytes.replace(from, oldLength, text);
    const std::uint32_t grown = static_cast<std::uint32_t>(text.size());
    const std::uint32_t shrunk = static_cast<std::uint32_t>(oldLength);
    for (int c = column; c < ColumnCount; ++c)
        m_ends[c] = m_ends[c] - shrunk + grown;
}

void AddressRow::clear()
{
    m_bytes.clear();
    m_ends.fill(0);
}

void AddressGrid::setRowCount(int count)
{
    m_rowCount = count < 0 ? 0 : count;
}

std::string_view AddressGrid::cell(int column, int row) const
{
    checkColumn(column);
    return this->row(row).cell(column);
}

void AddressGrid::setCell(int column, int row, std::string_view text)
{
    checkColumn(column);
    checkRow(row);
    if (text.empty() && static_cast<std::size_t>(row) >= m_rows.size())
        return; // already empty; no need to make room for it
    rowForWriting(row).setCell(column, text);
}

const AddressRow& AddressGrid::row(int row) const
{
    checkRow(row);
    return static_cast<std::size_t>(row) < m_rows.size() ? m_rows[row] : emptyRow;
}

void AddressGrid::setRow(int row, AddressRow cells)
{
    checkRow(row);
    rowForWriting(row) = std::move(cells);
}

void AddressGrid::removeRow(int row)
{
    checkRow(row);
    if (static_cast<std::size_t>(row) < m_rows.size())
        m_rows.erase(m_rows.begin() + row);
    if (m_rowCount > 1)
        --m_rowCount;
}

void AddressGrid::clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_rowCount = 1;
}

AddressRow& AddressGrid::rowForWriting(int row)
{
    if (static_cast<std::size_t>(row) >= m_rows.size())
        m_rows.resize(static_cast<std::size_t>(row) + 1);
    return m_rows[row];
}
