#pragma once

#include "common/AddressGrid.h"

#include <array>
#include <bitset>
#include <functional>
#include <string>
#include <string_view>

namespace kb::address {

class AddressTableModel;

// A field shows a longer cell only in part, and read-only, since its text
// layout would freeze on a cell of hundreds of megabytes; Save then leaves
// the cell as it is, whole.
constexpr std::size_t maxEditedCellBytes = 64 * 1024;

// The address open on the Edit page, and what opening, adding, saving and
// deleting do to the rows of the table.
class AddressEditSession {
public:
    explicit AddressEditSession(AddressTableModel& model);

    // The Edit page shows gridRow as it now stands.
    void open(int gridRow);
    // What the field of column shows of the opened row: the cell, or its
    // first maxEditedCellBytes when it is shown in part.
    std::string_view shownBytes(int column) const;
    bool shownInPart(int column) const { return m_shownInPart[static_cast<std::size_t>(column)]; }
    // "&Add": the trailer row becomes the new last address, which is opened;
    // returns its row.
    int openNewRow();
    // The file was read anew while an address may be open.
    void noteReload();

    // The row that "S&ave" writes to, or -1 when none was opened. After a
    // reload it is the row that still holds the address as it was opened,
    // else a new row before the trailer, so that no other address is
    // written over.
    struct SaveTarget {
        int row = -1;
        bool foundAgain = false; // the row was looked for after a reload
    };
    SaveTarget saveTarget();
    // "S&ave": the page's fields, as typed(column) gives them, go into the
    // target row, except those shown in part, whose cells stay whole.
    SaveTarget save(const std::function<std::string(int column)>& typed);

    // The heading row is never deleted, even when it is listed as an
    // ordinary row.
    static bool canDelete(int gridRow) { return gridRow > 0; }
    void deleteRow(int gridRow);

private:
    AddressTableModel& m_model;
    int m_row = -1;
    // The address as it was when opened, to find it again after a reload.
    std::array<std::string, common::AddressGrid::columnCount> m_cells;
    bool m_reloaded = false;
    std::bitset<common::AddressGrid::columnCount> m_shownInPart;
};

} // namespace kb::address
