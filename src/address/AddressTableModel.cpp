#include "AddressTableModel.h"

#include "common/uCommon.h"
#include "platform/text/AnsiText.h"

#include <stdexcept>

namespace kb::address {

AddressTableModel::AddressTableModel(int maxListedRows, QObject* parent)
    : QAbstractTableModel(parent)
    , m_maxListedRows(maxListedRows)
{
}

int AddressTableModel::gridRowOf(const QModelIndex& index) const
{
    return index.isValid() ? index.row() + firstListedRow() : -1;
}

QModelIndex AddressTableModel::indexOfGridRow(int gridRow) const
{
    return index(gridRow - firstListedRow(), 0);
}

void AddressTableModel::load(std::string_view fileName)
{
    AddressGrid loaded;
    platform::FileVersion version;
    LoadGridFromFile(fileName, loaded, &version);
    checkRoomForRows(loaded.rowCount());
    beginResetModel();
    m_grid = std::move(loaded);
    m_loadedVersion = version;
    noteRowCount();
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, AddressGrid::displayedColumnCount - 1);
}

void AddressTableModel::save(std::string_view fileName) const
{
    SaveGridToFile(fileName, m_grid);
}

platform::FileChange AddressTableModel::changeSinceLoad(std::string_view fileName) const
{
    return platform::changeSince(platform::FileName(fileName), m_loadedVersion);
}

void AddressTableModel::setCell(int column, int gridRow, std::string_view text)
{
    m_grid.setCell(column, gridRow, text);
    if (gridRow == 0 && m_headingFixed && column < AddressGrid::displayedColumnCount)
        emit headerDataChanged(Qt::Horizontal, column, column);
    const QModelIndex changed = index(gridRow - firstListedRow(), column);
    if (changed.isValid())
        emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void AddressTableModel::appendTrailerRow()
{
    checkRoomForRows(m_grid.rowCount() + 1);
    const int listRow = rowCount();
    beginInsertRows({}, listRow, listRow);
    m_grid.setRowCount(m_grid.rowCount() + 1);
    endInsertRows();
}

void AddressTableModel::insertRowBeforeTrailer()
{
    checkRoomForRows(m_grid.rowCount() + 1);
    const int listRow = rowCount();
    beginInsertRows({}, listRow, listRow);
    m_grid.insertRow(m_grid.rowCount());
    endInsertRows();
}

int AddressTableModel::findListedRow(const std::array<std::string, AddressGrid::columnCount>& cells,
                                     int preferredRow) const
{
    const int first = firstListedRow();
    if (preferredRow >= first && preferredRow < m_grid.rowCount() && rowHolds(preferredRow, cells))
        return preferredRow;
    for (int row = first; row < m_grid.rowCount(); ++row) {
        if (rowHolds(row, cells))
            return row;
    }
    return -1;
}

void AddressTableModel::removeGridRow(int gridRow)
{
    const int listRow = gridRow - firstListedRow();
    if (listRow < 0 || listRow >= rowCount())
        return;
    if (m_headingFixed && m_grid.rowCount() == 2) {
        // The heading comes loose and is listed from now on.
        beginResetModel();
        m_grid.removeRow(gridRow);
        noteRowCount();
        endResetModel();
        return;
    }
    beginRemoveRows({}, listRow, listRow);
    m_grid.removeRow(gridRow);
    endRemoveRows();
}

int AddressTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.rowCount() - firstListedRow();
}

int AddressTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : AddressGrid::displayedColumnCount;
}

QVariant AddressTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const std::string_view cell = m_grid.cell(index.column(), gridRowOf(index));
    if (cell.size() <= maxListedCellBytes)
        return kb::platform::textFromBytes(cell);
    return kb::platform::textFromBytes(cell.substr(0, maxListedCellBytes)) + QChar(0x2026);
}

QVariant AddressTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !m_headingFixed || section < 0
        || section >= AddressGrid::displayedColumnCount)
        return {};
    return kb::platform::textFromBytes(m_grid.cell(section, 0));
}

void AddressTableModel::checkRoomForRows(int gridRowCount) const
{
    // The heading row is listed only once it has come loose, when the
    // count has dropped to a single row.
    const int listed = m_headingFixed && gridRowCount > 1 ? gridRowCount - 1 : gridRowCount;
    if (listed > m_maxListedRows)
        throw std::length_error("The address list can show at most " + std::to_string(m_maxListedRows)
                                + " addresses; this address file holds " + std::to_string(listed));
}

bool AddressTableModel::rowHolds(int gridRow, const std::array<std::string, AddressGrid::columnCount>& cells) const
{
    for (int column = 0; column < AddressGrid::columnCount; ++column) {
        if (m_grid.cell(column, gridRow) != cells[static_cast<std::size_t>(column)])
            return false;
    }
    return true;
}

void AddressTableModel::noteRowCount()
{
    if (m_grid.rowCount() <= 1)
        m_headingFixed = false;
}

} // namespace kb::address
