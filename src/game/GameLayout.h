#pragma once

#include "game/DrawGrid.h"
#include "game/GameStatusBar.h"

#include <QPoint>
#include <QSize>

namespace kb::game {

// Where the board stands in the game window and how large the window's
// client area is for a board of columns x rows: the board 8 pixels in from
// the left and the top, the status bar below it; a board narrower than the
// status bar's tiles need is centred in a window of their width.
struct BoardPlace {
    QPoint gridAt;
    QSize client;
};

inline BoardPlace boardPlace(int columns, int rows)
{
    constexpr int gridTop = 8;
    constexpr int gridLeft = 8;
    constexpr int narrowestGrid = 156;
    constexpr int narrowClientWidth = 172;
    const int gridWidth = columns * DrawGrid::cellSize + 2 * DrawGrid::frameWidth;
    const int gridHeight = rows * DrawGrid::cellSize + 2 * DrawGrid::frameWidth;
    const int clientHeight = gridHeight + 2 * gridTop + GameStatusBar::barHeight;
    if (gridWidth < narrowestGrid)
        return {{(narrowestGrid - gridWidth) / 2 + gridLeft, gridTop}, {narrowClientWidth, clientHeight}};
    return {{gridLeft, gridTop}, {2 * gridLeft + gridWidth, clientHeight}};
}

} // namespace kb::game
