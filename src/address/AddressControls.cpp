#include "AddressControls.h"

#include "address/AddressLayout.h"
#include "address/AddressTableModel.h"
#include "platform/text/AnsiText.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextDocument>

#include <limits>

namespace kb::address {

using namespace layout;

void setUpAddressList(QTableView& list, AddressTableModel& model)
{
    list.setFrameShape(QFrame::NoFrame);
    list.setModel(&model);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::ContiguousSelection);
    list.setShowGrid(true);
    list.setTabKeyNavigation(false); // Tab goes on to the tool bar
    list.setWordWrap(false);
    list.setTextElideMode(Qt::ElideNone);
    // Uniform fixed rows keep a list of a million addresses as quick as a short one.
    QHeaderView* rows = list.verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* heading = list.horizontalHeader();
    heading->setFixedHeight(rowHeight);
    heading->setMinimumSectionSize(1);
    heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading->setSectionsClickable(false);
    heading->setHighlightSections(false);
    heading->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < AddressGrid::displayedColumnCount; ++column) {
        const auto c = static_cast<std::size_t>(column);
        list.setColumnWidth(column, c < leadingColumnWidths.size() ? leadingColumnWidths[c] : otherColumnWidth);
    }
}

QLineEdit* newLineEdit(QWidget* parent, const QRect& at)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setGeometry(at.x(), at.y(), at.width(), fieldHeight);
    return edit;
}

QPlainTextEdit* newNoteEdit(QWidget* parent, const QRect& at)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setGeometry(at);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setTabChangesFocus(true);
    return memo;
}

QComboBox* newCategoryBox(QWidget* parent, const QRect& at)
{
    auto* category = new QComboBox(parent);
    category->setEditable(true);
    category->setInsertPolicy(QComboBox::NoInsert); // the list stays empty; the category is typed
    category->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    category->setGeometry(at.x(), at.y(), at.width(), fieldHeight);
    return category;
}

void focusAddressList(QTableView& list)
{
    list.setFocus(Qt::OtherFocusReason);
    QItemSelectionModel& selection = *list.selectionModel();
    const QModelIndex current = selection.currentIndex();
    selection.setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    selection.setCurrentIndex(current, QItemSelectionModel::NoUpdate);
}

void addFieldLabel(QWidget& panel, const layout::EditField& field, QWidget& control, int number)
{
    auto* label = new QLabel(QString::fromLatin1(field.label), &panel);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setBuddy(&control);
    // Screen readers name a field by the label tied to it.
    label->setAccessibleName(control.accessibleName());
    label->move(field.labelAt);
    label->adjustSize();
}

std::string bytesOf(QStringView text)
{
    return kb::platform::bytesFromDocumentText(text, "\n");
}

std::string memoBytes(const QPlainTextEdit& memo)
{
    return bytesOf(memo.document()->toRawText());
}

QString fieldTextOf(std::string_view shown, bool inPart)
{
    const QString text = kb::platform::textFromBytes(shown);
    return inPart ? text + QChar(0x2026) : text;
}

} // namespace kb::address
