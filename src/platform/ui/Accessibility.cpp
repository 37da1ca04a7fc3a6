#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QFrame>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <map>
#include <utility>

namespace kb::platform {
namespace {

constexpr char decorationProperty[] = "kbAccessibleDecoration";
constexpr char roleProperty[] = "kbAccessibleRole";

const AccessibleCells* cellsOf(const QWidget* widget)
{
    return dynamic_cast<const AccessibleCells*>(widget);
}

// The children the toolkit would list, less decoration.
QWidgetList shownChildren(const QWidget* widget)
{
    QWidgetList shown;
    for (QObject* child : widget->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow() || qobject_cast<QMenu*>(control) || qobject_cast<QFocusFrame*>(control)
            || control->property(decorationProperty).toBool()
            || control->objectName() == QLatin1String("qt_rubberband"))
            continue;
        shown << control;
    }
    return shown;
}

// A plain widget that holds others: its children are listed without the
// decoration among them.
class ContainerInterface : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return static_cast<int>(shownChildren(widget()).size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QWidgetList shown = shownChildren(widget());
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        auto* control = child ? qobject_cast<QWidget*>(child->object()) : nullptr;
        return control ? static_cast<int>(shownChildren(widget()).indexOf(control)) : -1;
    }
};

class CellInterface : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellInterface(QWidget* grid, int column, int row)
        : m_grid(grid)
        , m_column(column)
        , m_row(row)
    {
    }

    bool isValid() const override
    {
        const AccessibleCells* cells = m_grid ? cellsOf(m_grid) : nullptr;
        return cells && m_column < cells->accessibleColumnCount() && m_row < cells->accessibleRowCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? cellsOf(m_grid)->accessibleCellName(m_column, m_row)
                                                      : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = cellsOf(m_grid)->accessibleCellRect(m_column, m_row);
        return QRect(m_grid->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.selectable = true;
        state.selected = isSelected();
        state.focused = state.selected && m_grid->hasFocus();
        state.invisible = !m_grid->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override
    {
        const AccessibleCells* cells = cellsOf(m_grid);
        return cells && cells->accessibleCurrentColumn() == m_column && cells->accessibleCurrentRow() == m_row;
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<QWidget> m_grid;
    int m_column;
    int m_row;
};

// A grid of owner-drawn cells as a table, its current cell the selected one
// and, while the grid has the focus, the focused one.
class CellGridInterface : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CellGridInterface(QWidget* grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    {
    }
    ~CellGridInterface() override { forgetCells(); }
    CellGridInterface(const CellGridInterface&) = delete;
    CellGridInterface& operator=(const CellGridInterface&) = delete;

    int childCount() const override { return columnCount() * rowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        if (!cell || child->parent() != this)
            return -1;
        return cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        for (int row = 0; row < rowCount(); ++row) {
            for (int column = 0; column < columnCount(); ++column) {
                if (cells().accessibleCellRect(column, row).contains(at))
                    return cellAt(row, column);
            }
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return widget()->hasFocus() && childCount() > 0 ? currentCell() : nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const std::pair<int, int> place(column, row);
        auto known = m_cellIds.find(place);
        if (known == m_cellIds.end()) {
            const QAccessible::Id id = QAccessible::registerAccessibleInterface(
                new CellInterface(const_cast<QWidget*>(widget()), column, row));
            known = m_cellIds.emplace(place, id).first;
        }
        return QAccessible::accessibleInterface(known->second);
    }
    int selectedCellCount() const override { return childCount() > 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        if (childCount() == 0)
            return {};
        return {currentCell()};
    }
    QString columnDescription(int column) const override { return QStringLiteral("Column %1").arg(column + 1); }
    QString rowDescription(int row) const override { return QStringLiteral("Row %1").arg(row + 1); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return cells().accessibleColumnCount(); }
    int rowCount() const override { return cells().accessibleRowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { forgetCells(); }

private:
    const AccessibleCells& cells() const { return *cellsOf(widget()); }
    QAccessibleInterface* currentCell() const
    {
        return cellAt(cells().accessibleCurrentRow(), cells().accessibleCurrentColumn());
    }
    void forgetCells()
    {
        for (const auto& [place, id] : m_cellIds)
            QAccessible::deleteAccessibleInterface(id);
        m_cellIds.clear();
    }

    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cellIds;
};

bool isPlainContainer(const QString& className)
{
    return className == QLatin1String("QWidget") || className == QLatin1String("QFrame");
}

QAccessible::Role containerRole(const QWidget& widget, const QString& className)
{
    const QVariant chosen = widget.property(roleProperty);
    if (chosen.isValid())
        return static_cast<QAccessible::Role>(chosen.toInt());
    if (widget.isWindow() && widget.windowType() == Qt::Window)
        return QAccessible::Window;
    if (className == QLatin1String("QFrame")) {
        const auto shape = static_cast<const QFrame&>(widget).frameShape();
        return shape == QFrame::HLine || shape == QFrame::VLine ? QAccessible::Separator : QAccessible::Pane;
    }
    return QAccessible::Client;
}

QAccessibleInterface* createInterface(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (cellsOf(widget))
        return new CellGridInterface(widget);
    if (className == QLatin1String("kb::platform::PictureBox"))
        return new ContainerInterface(widget, QAccessible::Graphic);
    if (isPlainContainer(className))
        return new ContainerInterface(widget, containerRole(*widget, className));
    return nullptr;
}

void sendCellEvent(QWidget& grid, QAccessible::Event type)
{
    const AccessibleCells* cells = cellsOf(&grid);
    if (!cells || cells->accessibleColumnCount() == 0 || cells->accessibleRowCount() == 0)
        return;
    QAccessibleEvent event(&grid, type);
    event.setChild(cells->accessibleCurrentRow() * cells->accessibleColumnCount() + cells->accessibleCurrentColumn());
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installAccessibleInterfaces()
{
    QAccessible::installFactory(createInterface);
}

void hideFromAccessibility(QWidget& widget)
{
    widget.setProperty(decorationProperty, true);
}

void setAccessibleRole(QWidget& widget, QAccessible::Role role)
{
    widget.setProperty(roleProperty, static_cast<int>(role));
}

void nameAsPage(QWidget& page, const QString& name)
{
    setAccessibleRole(page, QAccessible::Pane);
    page.setAccessibleName(name);
}

void notifyCurrentCellMoved(QWidget& grid)
{
    if (grid.hasFocus())
        sendCellEvent(grid, QAccessible::Focus);
}

void notifyCurrentCellRenamed(QWidget& grid)
{
    sendCellEvent(grid, QAccessible::NameChanged);
    // Screen readers say a name again only as the focus comes to it: the
    // focus passes through the grid itself back to the cell.
    if (grid.hasFocus()) {
        QAccessibleEvent toGrid(&grid, QAccessible::Focus);
        QAccessible::updateAccessibility(&toGrid);
        // Late enough that the reader has followed the focus to the grid.
        constexpr int backToCellMs = 150;
        QTimer::singleShot(backToCellMs, &grid, [&grid] { notifyCurrentCellMoved(grid); });
    }
}

void notifyCellsReset(QWidget& grid)
{
    QAccessibleTableModelChangeEvent event(&grid, QAccessibleTableModelChangeEvent::ModelReset);
    if (QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid); table && table->tableInterface())
        table->tableInterface()->modelChange(&event);
    QAccessible::updateAccessibility(&event);
}

} // namespace kb::platform
