#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRect;
class QTableView;
class QWidget;

namespace kb::address {

class AddressTableModel;
namespace layout {
struct EditField;
}

// The address list: fixed rows and columns, whole rows selected, no editing.
void setUpAddressList(QTableView& list, AddressTableModel& model);
// Gives the list the focus and tells a screen reader its current cell again,
// which the focus coming back to an unchanged cell does not.
void focusAddressList(QTableView& list);

// The Edit page's fields at their layout places; cells have no length limit.
QLineEdit* newLineEdit(QWidget* parent, const QRect& at);
QPlainTextEdit* newNoteEdit(QWidget* parent, const QRect& at);
QComboBox* newCategoryBox(QWidget* parent, const QRect& at);
// The caption of a field, its Alt key tied to the field (number counts the
// page's labels for their names).
void addFieldLabel(QWidget& panel, const layout::EditField& field, QWidget& control, int number);

// A field's text as cell bytes; the note's line breaks become the lone LFs
// the address file keeps inside a value.
std::string bytesOf(QStringView text);
// The note as typed. The document's raw text keeps every character (its
// plain text would turn no-break spaces into spaces).
std::string memoBytes(const QPlainTextEdit& memo);
// A field's text for the cell bytes it shows; a cell shown in part ends in an
// ellipsis.
QString fieldTextOf(std::string_view shown, bool inPart);

} // namespace kb::address
