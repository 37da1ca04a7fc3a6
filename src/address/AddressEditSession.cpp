#include "AddressEditSession.h"

#include "address/AddressTableModel.h"
#include "common/AddressColumns.h"

namespace kb::address {

AddressEditSession::AddressEditSession(AddressTableModel& model)
    : m_model(model)
{
}

void AddressEditSession::open(int gridRow)
{
    m_row = gridRow;
    for (int column = 0; column < AddressGrid::columnCount; ++column)
        m_cells[static_cast<std::size_t>(column)] = m_model.grid().cell(column, gridRow);
    m_reloaded = false;
    m_shownInPart.reset();
    for (int column = 0; column < AddressGrid::columnCount; ++column)
        m_shownInPart[static_cast<std::size_t>(column)] =
            m_cells[static_cast<std::size_t>(column)].size() > maxEditedCellBytes;
}

std::string_view AddressEditSession::shownBytes(int column) const
{
    return std::string_view(m_model.grid().cell(column, m_row)).substr(0, maxEditedCellBytes);
}

int AddressEditSession::openNewRow()
{
    const int row = m_model.grid().rowCount();
    m_model.appendTrailerRow();
    open(row);
    return row;
}

void AddressEditSession::noteReload()
{
    m_reloaded = true;
}

AddressEditSession::SaveTarget AddressEditSession::saveTarget()
{
    if (!m_reloaded || m_row < 0)
        return {m_row, false};
    int row = m_model.findListedRow(m_cells, m_row);
    if (row < 0) {
        m_model.insertRowBeforeTrailer();
        row = m_model.grid().rowCount() - 1;
    }
    m_row = row;
    m_reloaded = false;
    return {row, true};
}

AddressEditSession::SaveTarget AddressEditSession::save(const std::function<std::string(int column)>& typed)
{
    const SaveTarget target = saveTarget();
    if (target.row < 0)
        return target;
    const auto write = [&](int column) {
        std::string& opened = m_cells[static_cast<std::size_t>(column)];
        if (!shownInPart(column))
            opened = typed(column);
        // A cell shown in part stays whole, also in a new row made for an
        // address that a reload took away.
        if (!shownInPart(column) || m_model.grid().cell(column, target.row) != opened)
            m_model.setCell(column, target.row, opened);
    };
    for (int column = 0; column <= common::PhotoColumn; ++column)
        write(column);
    write(common::NoteColumn);
    return target;
}

void AddressEditSession::deleteRow(int gridRow)
{
    if (canDelete(gridRow))
        m_model.removeGridRow(gridRow);
}

} // namespace kb::address
