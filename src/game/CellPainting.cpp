#include "CellPainting.h"

#include "game/Game.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <array>

namespace kb::game {
namespace {

struct TileColor {
    QRgb fill;
    QRgb edge;
};
constexpr std::array<TileColor, 8> tileColors{{
    {qRgb(0, 0, 0), qRgb(0, 0, 0)},
    {qRgb(255, 127, 127), qRgb(127, 63, 63)},
    {qRgb(127, 255, 127), qRgb(63, 127, 63)},
    {qRgb(127, 127, 255), qRgb(63, 63, 127)},
    {qRgb(255, 127, 255), qRgb(127, 63, 127)},
    {qRgb(127, 255, 255), qRgb(63, 127, 127)},
    {qRgb(255, 255, 127), qRgb(127, 127, 63)},
    {qRgb(127, 127, 127), qRgb(63, 63, 63)},
}};

} // namespace

QRect TileRect(int index)
{
    return QRect(QPoint(32 * index, 1), QPoint(32 * index + 31, 31));
}

bool CellLook::operator==(const CellLook& other) const
{
    return color == other.color && showColors == other.showColors && highlight == other.highlight && top == other.top
        && left == other.left && bottom == other.bottom && right == other.right;
}

CellLook lookOf(const TGameMap& board, int x, int y, bool showColors, int highlightMode, bool selected)
{
    CellLook look;
    look.color = board.GetColor(x, y);
    look.showColors = showColors;
    if (highlightMode != 2 && selected)
        look.highlight = showColors || highlightMode == 1 ? Highlight::Frame : Highlight::FilledFrame;
    const std::uint8_t c = look.color;
    if (c != 0) {
        look.top = y == 0 || board.GetColor(x, y - 1) != c;
        look.left = x == 0 || board.GetColor(x - 1, y) != c;
        look.bottom = y == board.Height() - 1 || board.GetColor(x, y + 1) != c;
        look.right = x == board.Width() - 1 || board.GetColor(x + 1, y) != c;
    }
    return look;
}

void paintCell(QPainter& canvas, const QRect& rect, const CellLook& look, const QImage& strip, bool copyTile)
{
    const TileColor& colors = tileColors.at(look.color);
    if (copyTile)
        canvas.drawImage(rect, strip, TileRect(look.showColors ? look.color : 0));

    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width(); // just outside the cell
    const int bottom = rect.top() + rect.height();
    const auto line = [&canvas](const QRect& pixels, const QColor& pen) { canvas.fillRect(pixels, pen); };

    if (look.highlight != Highlight::None) {
        const QColor white = Qt::white;
        const QRect frame(QPoint(left + 1, top + 1), QPoint(right - 2, bottom - 2));
        if (look.highlight == Highlight::FilledFrame)
            canvas.fillRect(frame, QColor(colors.fill));
        line({frame.left(), frame.top(), frame.width(), 1}, white);
        line({frame.left(), frame.bottom(), frame.width(), 1}, white);
        line({frame.left(), frame.top(), 1, frame.height()}, white);
        line({frame.right(), frame.top(), 1, frame.height()}, white);
    }

    // With colours on, each group is outlined in its colour's edge shade;
    // with colours off it stands out as a raised shape.
    const QColor edge(colors.edge);
    const QColor raised = look.showColors ? edge : QApplication::palette().color(QPalette::Light);
    const QColor sunken = look.showColors ? edge : QApplication::palette().color(QPalette::Dark);
    if (look.top)
        line({left, top, right - left, 1}, raised);
    if (look.left)
        line({left, top, 1, bottom - top}, raised);
    if (look.bottom)
        line({left, bottom - 1, right - left, 1}, sunken);
    if (look.right)
        line({right - 1, top, 1, bottom - top}, sunken);
}

void PaintedCells::forget(int columns, int rows)
{
    m_columns = columns;
    m_rows = rows;
    m_cells.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), Painted{});
}

bool PaintedCells::contains(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_columns && y < m_rows;
}

std::size_t PaintedCells::indexOf(int x, int y) const
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_columns) + static_cast<std::size_t>(x);
}

bool PaintedCells::differs(int x, int y, const CellLook& look) const
{
    if (!contains(x, y))
        return true;
    const Painted& painted = m_cells[indexOf(x, y)];
    return !painted.known || painted.look != look;
}

void PaintedCells::remember(int x, int y, const CellLook& look)
{
    if (contains(x, y))
        m_cells[indexOf(x, y)] = Painted{true, look};
}

} // namespace kb::game
