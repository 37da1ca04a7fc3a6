#pragma once

#include "AddressGrid.h"

#include <QAbstractTableModel>

#include <string_view>

namespace kb::address {

// The address grid as the list shows it: the 21 displayed columns, row 0's
// values as column titles while the heading row is fixed, and the visible
// rows below it. Once a load or a removal leaves a single visible row, the
// heading stops being fixed for the rest of the program's run and row 0 is
// listed like any address.
class AddressTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit AddressTableModel(QObject* parent = nullptr);

    const AddressGrid& grid() const { return m_grid; }
    bool headingFixed() const { return m_headingFixed; }

    // Grid rows and list rows; -1 where there is none.
    int gridRowOf(const QModelIndex& index) const;
    QModelIndex indexOfGridRow(int gridRow) const;
    int firstListedRow() const { return m_headingFixed ? 1 : 0; }

    // Replaces the grid with the file's content; on failure nothing changes.
    void load(std::string_view fileName);
    void save(std::string_view fileName) const;

    void setCell(int column, int gridRow, std::string_view text);
    // Shows the trailer row as the new last row; a new trailer follows it.
    void appendTrailerRow();
    void removeGridRow(int gridRow);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void noteRowCount();

    AddressGrid m_grid;
    bool m_headingFixed = true;
};

} // namespace kb::address
