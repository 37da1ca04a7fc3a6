#pragma once

#include "common/AddressGrid.h"
#include "platform/files/FileVersion.h"

#include <QAbstractTableModel>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kb::address {

using common::AddressGrid;

// The address grid as the list shows it: the 21 displayed columns, row 0's
// values as column titles while the heading row is fixed, and the visible
// rows below it. Once a load or a removal leaves a single visible row, the
// heading stops being fixed for the rest of the program's run and row 0 is
// listed like any address.
// How much of a cell the list shows: far more than its column can display,
// and a bound for the text layout, which a cell of hundreds of megabytes
// would freeze or crash. The cell itself stays whole.
constexpr std::size_t maxListedCellBytes = 4096;

class AddressTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The list shows at most maxListedRows rows: a longer file is refused
    // when loaded, and no row is added beyond it.
    explicit AddressTableModel(int maxListedRows, QObject* parent = nullptr);

    const AddressGrid& grid() const { return m_grid; }
    bool headingFixed() const { return m_headingFixed; }

    // Grid rows and list rows; -1 where there is none.
    int gridRowOf(const QModelIndex& index) const;
    QModelIndex indexOfGridRow(int gridRow) const;
    int firstListedRow() const { return m_headingFixed ? 1 : 0; }

    // Replaces the grid with the file's content; on failure, also for a file
    // of more rows than the list can show, nothing changes.
    void load(std::string_view fileName);
    void save(std::string_view fileName) const;
    // Whether another program wrote the file, or put another file in its
    // place, since the last load. A file that is gone counts as unchanged:
    // the save writes it anew.
    platform::FileChange changeSinceLoad(std::string_view fileName) const;

    void setCell(int column, int gridRow, std::string_view text);
    // Shows the trailer row as the new last row; a new trailer follows it.
    void appendTrailerRow();
    // Adds an empty address as the last visible row, before the trailer.
    void insertRowBeforeTrailer();
    void removeGridRow(int gridRow);

    // A listed row whose cells are exactly cells: preferredRow if it is one,
    // else the first such row; -1 where none is.
    int findListedRow(const std::array<std::string, AddressGrid::columnCount>& cells, int preferredRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void noteRowCount();
    void checkRoomForRows(int gridRowCount) const;
    bool rowHolds(int gridRow, const std::array<std::string, AddressGrid::columnCount>& cells) const;

    AddressGrid m_grid;
    platform::FileVersion m_loadedVersion;
    int m_maxListedRows;
    bool m_headingFixed = true;
};

} // namespace kb::address
