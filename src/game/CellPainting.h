#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <vector>

class QPainter;
class TGameMap;

namespace kb::game {

// Tile i of the strip: its pixel rows 1 to 31, stretched onto 32 x 32 when copied.
QRect TileRect(int index);

// How the current cell is marked: not at all (highlight mode 2), with a white
// frame alone (mode 1), or filled with its colour inside a white frame (mode
// 0, only while colours are off).
enum class Highlight : std::uint8_t { None, Frame, FilledFrame };

// Everything that decides a cell's pixels, so that a cell whose look has not
// changed can keep them.
struct CellLook {
    std::uint8_t color = 0;
    bool showColors = true;
    Highlight highlight = Highlight::None;
    // Sides of the group outline: top, left, bottom, right.
    bool top = false;
    bool left = false;
    bool bottom = false;
    bool right = false;

    bool operator==(const CellLook& other) const;
    bool operator!=(const CellLook& other) const { return !(*this == other); }
};

// The look of the cell (x, y) of the board. Sides meet another colour, an
// empty cell or the board's edge.
CellLook lookOf(const TGameMap& board, int x, int y, bool showColors, int highlightMode, bool selected);

// Paints a cell onto rect: the tile from the strip when copyTile is set, then
// the highlight and the group outline over whatever the cell shows.
void paintCell(QPainter& canvas, const QRect& rect, const CellLook& look, const QImage& strip, bool copyTile);

// What each cell of the board was last painted as. A cell never painted, or
// painted before the board changed size, differs from every look.
class PaintedCells {
public:
    void forget(int columns, int rows);
    bool differs(int x, int y, const CellLook& look) const;
    void remember(int x, int y, const CellLook& look);

private:
    struct Painted {
        bool known = false;
        CellLook look;
    };
    bool contains(int x, int y) const;
    std::size_t indexOf(int x, int y) const;

    int m_columns = 0;
    int m_rows = 0;
    std::vector<Painted> m_cells;
};

} // namespace kb::game
