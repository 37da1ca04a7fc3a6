#include "DrawGrid.h"

#include "platform/ui/HandlerGuard.h"
#include "platform/ui/WindowScaling.h"
#include "resources/Artwork.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

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
    QImage canvas = blankCanvas(devicePixelRatioF());
    if (!m_canvas.isNull()) {
        QPainter painter(&canvas);
        painter.drawImage(0, 0, m_canvas);
    }
    m_canvas = canvas;
    resize(colCount * cellSize + 2 * frameWidth, rowCount * cellSize + 2 * frameWidth);
    InvalidateGrid();
    kb::platform::notifyCellsReset(*this);
}

// The cells are drawn at the device pixel ratio of what they are shown on,
// so that tiles and their edges are as crisp as at 1.
QImage DrawGrid::blankCanvas(qreal ratio) const
{
    QImage canvas = kb::resources::canvasAt(
        QSize(std::max(m_colCount, 1) * cellSize, std::max(m_rowCount, 1) * cellSize), ratio, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    return canvas;
}

void DrawGrid::SetCol(int col)
{
    if (col == m_col || col < 0 || col >= m_colCount)
        return;
    InvalidateCurrentCell();
    m_col = col;
    InvalidateCurrentCell();
    CurrentCellMoved();
}

void DrawGrid::SetRow(int row)
{
    if (row == m_row || row < 0 || row >= m_rowCount)
        return;
    InvalidateCurrentCell();
    m_row = row;
    InvalidateCurrentCell();
    CurrentCellMoved();
}

void DrawGrid::CurrentCellMoved()
{
    m_announcement.clear();
    kb::platform::notifyCurrentCellMoved(*this);
}

void DrawGrid::Announce(const QString& text)
{
    m_announcement = text;
    kb::platform::notifyCurrentCellRenamed(*this);
}

QString DrawGrid::accessibleCellName(int col, int row) const
{
    const QString name = m_cellName ? m_cellName(col, row) : QString();
    if (col == m_col && row == m_row && !m_announcement.isEmpty())
        return m_announcement + QStringLiteral(" ") + name;
    return name;
}

QRect DrawGrid::accessibleCellRect(int col, int row) const
{
    return CellRect(col, row).translated(frameWidth, frameWidth);
}

void DrawGrid::MouseToCell(QPoint point, int& col, int& row) const
{
    const QPoint inside = point - QPoint(frameWidth, frameWidth);
    if (inside.x() < 0 || inside.y() < 0 || inside.x() >= m_colCount * cellSize
        || inside.y() >= m_rowCount * cellSize) {
        col = -1;
        row = -1;
        return;
    }
    col = inside.x() / cellSize;
    row = inside.y() / cellSize;
}

QRect DrawGrid::CellRect(int col, int row) const
{
    return QRect(col * cellSize, row * cellSize, cellSize, cellSize);
}

void DrawGrid::InvalidateGrid()
{
    update();
}

void DrawGrid::InvalidateCurrentCell()
{
    update(CellRect(m_col, m_row).translated(frameWidth, frameWidth));
}

void DrawGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    QRegion region = event->region();
    if (m_canvas.devicePixelRatio() != ratio) {
        m_canvas = blankCanvas(ratio);
        region = rect();
    }
    kb::platform::guarded(this, [&] { PaintCells(region); });
    const QSizeF cells(m_colCount * cellSize, m_rowCount * cellSize);
    painter.drawImage(QRectF(QPointF(frameWidth, frameWidth), cells), m_canvas, QRectF(QPointF(0, 0), cells * ratio));
    DrawFrame(painter);
}

// Cells are painted row by row from the top-left cell, the order the
// draw-cell handler relies on to know when a whole painting ends.
void DrawGrid::PaintCells(const QRegion& region)
{
    if (!m_drawCell)
        return;
    const QRegion cells = region.translated(-frameWidth, -frameWidth);
    QPainter canvas(&m_canvas);
    // Tiles from the installation's picture: whole pixels at a whole ratio,
    // smooth otherwise.
    kb::platform::smoothUnlessWhole(canvas, m_canvas.devicePixelRatio());
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
    using kb::resources::drawEdge;
    drawEdge(painter, rect(), palette().color(QPalette::Dark), palette().color(QPalette::Light));
    drawEdge(painter, rect().adjusted(1, 1, -1, -1), palette().color(QPalette::Shadow),
             palette().color(QPalette::Midlight));
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

void DrawGrid::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // After the toolkit has told of the grid's own focus, the current cell
    // takes it, so that a screen reader says where the user is.
    QTimer::singleShot(0, this, [this] { kb::platform::notifyCurrentCellMoved(*this); });
}

void DrawGrid::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its press only; the move is made once, on release.
    if (event->isAutoRepeat())
        return;
    emit KeyReleased(event->key());
}

} // namespace kb::game
