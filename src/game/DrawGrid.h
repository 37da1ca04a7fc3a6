#pragma once

#include "platform/ui/Accessibility.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace kb::game {

// A grid of owner-drawn fixed-size cells with a current cell. It paints
// nothing of its own inside the frame: every cell that needs painting is
// handed to the draw-cell handler, which draws on a canvas that keeps its
// pixels between paintings. To a screen reader it is a table of cells named
// by the cell-name handler, whose current cell has the focus.
class DrawGrid : public QWidget, public kb::platform::AccessibleCells {
    Q_OBJECT
public:
    static constexpr int cellSize = 32;
    static constexpr int frameWidth = 2;

    // Paints one cell on the canvas; rect is the cell's rectangle there, and
    // selected tells whether it is the current cell.
    using DrawCellHandler = std::function<void(QPainter& canvas, int col, int row, const QRect& rect, bool selected)>;

    explicit DrawGrid(QWidget* parent = nullptr);

    int ColCount() const { return m_colCount; }
    int RowCount() const { return m_rowCount; }
    void SetSize(int colCount, int rowCount);

    int Col() const { return m_col; }
    int Row() const { return m_row; }
    void SetCol(int col);
    void SetRow(int row);

    // The cell under a point of the widget, or -1, -1 off the cells.
    void MouseToCell(QPoint point, int& col, int& row) const;
    QRect CellRect(int col, int row) const;

    void SetDrawCell(DrawCellHandler handler) { m_drawCell = std::move(handler); }
    void SetCellName(std::function<QString(int col, int row)> handler) { m_cellName = std::move(handler); }
    // Said with the current cell's name until the current cell moves.
    void Announce(const QString& text);

    int accessibleColumnCount() const override { return m_colCount; }
    int accessibleRowCount() const override { return m_rowCount; }
    QString accessibleCellName(int col, int row) const override;
    QRect accessibleCellRect(int col, int row) const override;
    int accessibleCurrentColumn() const override { return m_col; }
    int accessibleCurrentRow() const override { return m_row; }
    void InvalidateGrid();
    const QImage& Canvas() const { return m_canvas; }

signals:
    void MouseMoved(QPoint point);
    void MouseReleased(QPoint point);
    void KeyReleased(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void InvalidateCurrentCell();
    void CurrentCellMoved();
    void PaintCells(const QRegion& region);
    void DrawFrame(QPainter& painter);
    QImage blankCanvas(qreal ratio) const;

    int m_colCount = 0;
    int m_rowCount = 0;
    int m_col = 0;
    int m_row = 0;
    QImage m_canvas;
    DrawCellHandler m_drawCell;
    std::function<QString(int, int)> m_cellName;
    QString m_announcement;
};

} // namespace kb::game
