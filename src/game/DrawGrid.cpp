#include "DrawGrid.h"

#include "platform/ui/HandlerGuard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace kb::game {

DrawGrid::DrawGrid(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawGrid::SetSize(int colCount, int rowCount)
{
    m_colCount = colCount;
    m_rowCount = rowCount;
    m_col = std::clamp(m_col, 0, std::max(colCount - 1, 0));
    m_row = std::clamp(m_row, 0, std::max(rowCount - 1, 0));

    // The canvas keeps what it showed where the old and new sizes overlap.
    QImage canvas(std::max(colCount, 1) * CellSize, std::max(rowCount, 1) * CellSize, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    if (!m_canvas.isNull()) {
        QPainter painter(&canvas);
        painter.drawImage(0, 0, m_canvas);
    }
    m_canvas = canvas;
    resize(colCount * CellSize + 2 * FrameWidth, rowCount * CellSize + 2 * FrameWidth);
    InvalidateGrid();
}

void DrawGrid::SetCol(int col)
{
    if (col == m_col || col < 0 || col >= m_colCount)
        return;
    InvalidateCurrentCell();
    m_col = col;
    InvalidateCurrentCell();
}

void DrawGrid::SetRow(int row)
{
    if (row == m_row || row < 0 || row >= m_rowCount)
        return;
    InvalidateCurrentCell();
    m_row = row;
    InvalidateCurrentCell();
}

void DrawGrid::MouseToCell(QPoint point, int& col, int& row) const
{
    const QPoint inside = point - QPoint(FrameWidth, FrameWidth);
    if (inside.x() < 0 || inside.y() < 0 || inside.x() >= m_colCount * CellSize
        || inside.y() >= m_rowCount * CellSize) {
        col = -1;
        row = -1;
        return;
    }
    col = inside.x() / CellSize;
    row = inside.y() / CellSize;
}

QRect DrawGrid::CellRect(int col, int row) const
{
    return QRect(col * CellSize, row * CellSize, CellSize, CellSize);
}

void DrawGrid::InvalidateGrid()
{
    update();
}

void DrawGrid::InvalidateCurrentCell()
{
    update(CellRect(m_col, m_row).translated(FrameWidth, FrameWidth));
}

void DrawGrid::paintEvent(QPaintEvent* event)
{
    kb::platform::guarded(this, [&] { PaintCells(event->region()); });
    QPainter painter(this);
    painter.drawImage(FrameWidth, FrameWidth, m_canvas, 0, 0, m_colCount * CellSize, m_rowCount * CellSize);
    DrawFrame(painter);
}

// Cells are painted row by row from the top-left cell, the order the
// draw-cell handler relies on to know when a whole painting ends.
void DrawGrid::PaintCells(const QRegion& region)
{
    if (!m_drawCell)
        return;
    const QRegion cells = region.translated(-FrameWidth, -FrameWidth);
    QPainter canvas(&m_canvas);
    for (int row = 0; row < m_rowCount; ++row) {
        for (int col = 0; col < m_colCount; ++col) {
            const QRect rect = CellRect(col, row);
            if (!cells.intersects(rect))
                continue;
            canvas.save();
            canvas.setClipRect(rect);
            m_drawCell(canvas, col, row, rect, col == m_col && row == m_row);
            canvas.restore();
        }
    }
}

// The 2-pixel sunken frame around the cells, on the widget's outermost two
// pixel lines, so it never covers a cell.
void DrawGrid::DrawFrame(QPainter& painter)
{
    const QRect outer = rect();
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const auto edge = [&](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    edge(outer, palette().color(QPalette::Dark), palette().color(QPalette::Light));
    edge(inner, palette().color(QPalette::Shadow), palette().color(QPalette::Midlight));
}

void DrawGrid::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMoved(event->position().toPoint());
}

void DrawGrid::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseReleased(event->position().toPoint());
}

void DrawGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: SetCol(m_col - 1); break;
    case Qt::Key_Right: SetCol(m_col + 1); break;
    case Qt::Key_Up: SetRow(m_row - 1); break;
    case Qt::Key_Down: SetRow(m_row + 1); break;
    case Qt::Key_Home: SetCol(0); break;
    case Qt::Key_End: SetCol(m_colCount - 1); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

void DrawGrid::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its press only; the move is made once, on release.
    if (event->isAutoRepeat())
        return;
    emit KeyReleased(event->key());
}

} // namespace kb::game
