#pragma once

#include <QAccessible>
#include <QRect>
#include <QString>

class QWidget;

namespace kb::platform {

// What a screen reader learns of a grid of owner-drawn cells: a widget that
// implements this is a table of named cells whose current cell is the
// accessible focus.
class AccessibleCells {
public:
    virtual ~AccessibleCells() = default;
    virtual int accessibleColumnCount() const = 0;
    virtual int accessibleRowCount() const = 0;
    virtual QString accessibleCellName(int column, int row) const = 0;
    // In the widget's coordinates.
    virtual QRect accessibleCellRect(int column, int row) const = 0;
    virtual int accessibleCurrentColumn() const = 0;
    virtual int accessibleCurrentRow() const = 0;
};

// Installs the interfaces that give the program's windows and controls the
// roles assistive technology expects: top-level windows are windows, plain
// containers are panels (never frames, which screen readers take for
// windows), decoration is left out, grids of cells are tables.
void installAccessibleInterfaces();

// Leaves widget, and everything in it, out of what assistive technology sees.
void hideFromAccessibility(QWidget& widget);
// The role a plain container shows assistive technology.
void setAccessibleRole(QWidget& widget, QAccessible::Role role);
// A page as a named panel, which a screen reader names as the focus enters it.
void nameAsPage(QWidget& page, const QString& name);

// Tells assistive technology that the current cell of a grid moved, or that
// its name changed; the cell becomes the focus while the grid has it.
void notifyCurrentCellMoved(QWidget& grid);
void notifyCurrentCellRenamed(QWidget& grid);
// Tells assistive technology that a grid's cells were replaced.
void notifyCellsReset(QWidget& grid);

} // namespace kb::platform
