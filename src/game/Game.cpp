#include "Game.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char* noMaps = "There are no maps yet in this game.";

// Visits the cells connected to (x, y) through their sides that accept()
// admits, with an explicit stack so that no board can exhaust the call stack.
// Neighbours are taken in the order left, right, above, below.
template <typename Accept, typename Visit>
void Flood(TMap& map, int x, int y, Accept accept, Visit visit)
{
    std::vector<std::pair<int, int>> pending{{x, y}};
    while (!pending.empty()) {
        const auto [cx, cy] = pending.back();
        pending.pop_back();
        if (cx < 0 || cx >= map.Width() || cy < 0 || cy >= map.Height())
            continue;
        TCell& cell = map.CellAt(cx, cy);
        if (!accept(cell))
            continue;
        visit(cell);
        pending.emplace_back(cx, cy + 1);
        pending.emplace_back(cx, cy - 1);
        pending.emplace_back(cx + 1, cy);
        pending.emplace_back(cx - 1, cy);
    }
}

} // namespace

TGame::TGame()
{
    NewGame();
}

void TGame::SetWidth(int value)
{
    value = std::clamp(value, TMap::minWidth, TMap::maxWidth);
    if (value == m_width)
        return;
    m_width = value;
    Restart();
}

void TGame::SetHeight(int value)
{
    value = std::clamp(value, TMap::minHeight, TMap::maxHeight);
    if (value == m_height)
        return;
    m_height = value;
    Restart();
}

void TGame::SetColors(std::uint8_t value)
{
    value = std::clamp(value, minColors, maxColors);
    if (value == m_colors)
        return;
    m_colors = value;
    Restart();
}

void TGame::Restart()
{
    NewGame();
}

void TGame::NewGame()
{
    ClearHistory();
    m_mapIndex = 0;
    TGameMap map;
    map.SetWidth(m_width);
    map.SetHeight(m_height);
    map.Fill(m_colors);
    m_maps.push_back(std::move(map));
    Recount();
}

void TGame::Assign(const TGame& source)
{
    m_width = source.m_width;
    m_height = source.m_height;
    m_colors = source.m_colors;
    m_tilesOnly = source.m_tilesOnly;
    Restart();
}

TGameMap& TGame::CurrentMap()
{
    if (m_maps.empty())
        throw EGameException(noMaps);
    return m_maps[static_cast<std::size_t>(m_mapIndex)];
}

const TGameMap& TGame::CurrentMap() const
{
    if (m_maps.empty())
        throw EGameException(noMaps);
    return m_maps[static_cast<std::size_t>(m_mapIndex)];
}

const TGameMap* TGame::PreviousMap() const
{
    if (m_maps.size() < 2)
        throw EGameException(noMaps);
    if (m_mapIndex == 0)
        return nullptr;
    return &m_maps[static_cast<std::size_t>(m_mapIndex - 1)];
}

bool TGame::CanRemove(int x, int y) const
{
    const TGameMap& map = CurrentMap();
    std::uint8_t color = 0;
    try {
        color = map.GetColor(x, y);
    } catch (const EMapException&) {
        return false;
    }
    if (color == 0)
        return false;
    if (y > 0 && map.GetColor(x, y - 1) == color)
        return true;
    if (x > 0 && map.GetColor(x - 1, y) == color)
        return true;
    if (y < map.Height() - 1 && map.GetColor(x, y + 1) == color)
        return true;
    if (x < map.Width() - 1 && map.GetColor(x + 1, y) == color)
        return true;
    return false;
}

void TGame::RemoveGroup(int x, int y)
{
    const bool onBoard = x >= 0 && x < m_width && y >= 0 && y < m_height;
    const std::uint8_t color = onBoard ? CurrentMap().GetColor(x, y) : 0;
    if (color != 0) {
        TGameMap next;
        next.SetWidth(m_width);
        next.SetHeight(m_height);
        next.CopyFrom(CurrentMap());
        DiscardRedo();
        m_maps.push_back(std::move(next));
        m_mapIndex = MapCount() - 1;
        m_removed = RemoveFlood(m_maps.back(), x, y, color);
    }
    Recount();
}

int TGame::RemoveFlood(TGameMap& map, int x, int y, std::uint8_t color)
{
    int removed = 0;
    Flood(
        map, x, y, [color](const TCell& cell) { return cell.Color == color; },
        [&removed](TCell& cell) {
            cell.Color = 0;
            ++removed;
        });
    return removed;
}

bool TGame::ColumnIsEmpty(const TGameMap& map, int x) const
{
    for (int y = 0; y < map.Height(); ++y) {
        if (map.GetColor(x, y) != 0)
            return false;
    }
    return true;
}

bool TGame::SettleStep()
{
    TGameMap& map = CurrentMap();
    bool settled = true;

    // Bottom row first, so a whole stack above a hole drops by one row.
    for (int y = m_height - 2; y >= 0; --y) {
        for (int x = m_width - 1; x >= 0; --x) {
            const std::uint8_t color = map.GetColor(x, y);
            if (color != 0 && map.GetColor(x, y + 1) == 0) {
                settled = false;
                map.SetColor(x, y + 1, color);
                map.SetColor(x, y, 0);
            }
        }
    }

    if (settled) {
        int last = m_width - 1;
        while (last > 0 && ColumnIsEmpty(map, last))
            --last;
        for (int x = 0; x < last; ++x) {
            if (!ColumnIsEmpty(map, x))
                continue;
            settled = false;
            for (int y = 0; y < m_height; ++y) {
                for (int j = x + 1; j < m_width; ++j)
                    map.SetColor(j - 1, y, map.GetColor(j, y));
                map.SetColor(m_width - 1, y, 0);
            }
            break;
        }
    }

    Recount();
    return settled;
}

void TGame::SettleAll()
{
    TGameMap& map = CurrentMap();
    const int bottom = m_height - 1;

    for (int x = 0; x < m_width; ++x) {
        int free = bottom;
        for (int y = bottom; y >= 0; --y) {
            const TCell cell = map.CellAt(x, y);
            if (cell.Color == 0)
                continue;
            map.CellAt(x, free) = cell;
            --free;
        }
        for (int y = free; y >= 0; --y)
            map.SetColor(x, y, 0);
    }

    int last = m_width - 1;
    while (last >= 0 && map.GetColor(last, bottom) == 0)
        --last;
    if (last > 0) {
        int filled = 0;
        for (int x = 0; x <= last; ++x) {
            if (map.GetColor(x, bottom) == 0)
                continue;
            if (x != filled) {
                for (int y = 0; y < m_height; ++y)
                    map.CellAt(filled, y) = map.CellAt(x, y);
            }
            ++filled;
        }
        for (int x = filled; x <= last; ++x) {
            for (int y = bottom; y >= 0 && map.GetColor(x, y) != 0; --y)
                map.SetColor(x, y, 0);
        }
    }

    Recount();
}

void TGame::Undo()
{
    if (m_mapIndex >= 1)
        --m_mapIndex;
}

void TGame::Redo()
{
    if (m_mapIndex < MapCount() - 1)
        ++m_mapIndex;
}

void TGame::ClearHistory()
{
    m_maps.clear();
}

void TGame::DiscardRedo()
{
    while (MapCount() > m_mapIndex + 1)
        m_maps.pop_back();
}

void TGame::MarkGroup(int x, int y, std::uint8_t mark)
{
    TGameMap& map = CurrentMap();
    const std::uint8_t color = map.GetColor(x, y);
    Flood(
        map, x, y, [color, mark](const TCell& cell) { return cell.Color == color && cell.Mark != mark; },
        [mark](TCell& cell) { cell.Mark = mark; });
}

void TGame::Recount()
{
    TGameMap& map = CurrentMap();
    map.ClearMarks();
    map.m_tileCount = 0;
    map.m_groupCount = 0;
    for (int y = 0; y < map.Height(); ++y) {
        for (int x = 0; x < map.Width(); ++x) {
            const TCell& cell = map.CellAt(x, y);
            if (cell.Color == 0)
                continue;
            ++map.m_tileCount;
            if (!m_tilesOnly && cell.Mark == 0) {
                MarkGroup(x, y, 1);
                ++map.m_groupCount;
            }
        }
    }
    map.ClearMarks();
}
