#include "Map.h"

#include "game/GameRandom.h"

#include <algorithm>

namespace {

constexpr const char* outOfBounds = "Index out of bounds.";
constexpr const char* sizeMismatch = "Can not copy between maps of different sizes.";

} // namespace

TMap::TMap()
{
    Allocate();
}

void TMap::Allocate()
{
    m_cells.assign(static_cast<std::size_t>(m_width) * m_height, TCell{});
}

void TMap::SetWidth(int value)
{
    value = std::clamp(value, minWidth, maxWidth);
    if (value == m_width)
        return;
    m_width = value;
    Allocate();
}

void TMap::SetHeight(int value)
{
    value = std::clamp(value, minHeight, maxHeight);
    if (value == m_height)
        return;
    m_height = value;
    Allocate();
}

void TMap::CheckPosition(int x, int y) const
{
    if (x < 0 || x >= m_width || y < 0 || y >= m_height)
        throw EMapException(outOfBounds);
}

TCell& TMap::CellAt(int x, int y)
{
    CheckPosition(x, y);
    return m_cells[IndexOf(x, y)];
}

const TCell& TMap::CellAt(int x, int y) const
{
    CheckPosition(x, y);
    return m_cells[IndexOf(x, y)];
}

std::uint8_t TMap::GetColor(int x, int y) const
{
    return CellAt(x, y).Color;
}

void TMap::SetColor(int x, int y, std::uint8_t color)
{
    CellAt(x, y).Color = color;
}

void TMap::Fill(std::uint8_t colors)
{
    for (TCell& cell : m_cells) {
        cell.Color = static_cast<std::uint8_t>(kb::game::GameRandom::Random(colors) + 1);
        cell.Mark = 0;
    }
}

void TMap::CopyFrom(const TMap& source)
{
    if (source.m_width != m_width || source.m_height != m_height)
        throw EMapException(sizeMismatch);
    m_cells = source.m_cells;
}

void TMap::ClearMarks()
{
    for (TCell& cell : m_cells)
        cell.Mark = 0;
}
