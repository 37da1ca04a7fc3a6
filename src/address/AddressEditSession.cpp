#include "AddressEditSession.h"

#include "address/AddressTableModel.h"

namespace kb::address {

AddressEditSession::AddressEditSession(AddressTableModel& model)
    : m_model(model)
{
}

void AddressEditSession::open(int gridRow)
{
    m_row = gridRow;
    for (int column = 0; column < AddressGrid::ColumnCount; ++column)
        m_cells[static_cast<std::size_t>(column)] = m_model.grid().cell(column, gridRow);
    m_reloaded = false;
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
    m_cells = {};
    m_reloaded = false;
    return {row, true};
}

void AddressEditSession::deleteRow(int gridRow)
{
    if (canDelete(gridRow))
        m_model.removeGridRow(gridRow);
}

} // namespace kb::address
