#pragma once

#include "common/AddressColumns.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

namespace kb::address::layout {

using namespace kb::common; // the address columns by name

constexpr int clientWidth = 569;
constexpr int clientHeight = 399;
constexpr int toolBarHeight = 26;
constexpr int listHeight = clientHeight - toolBarHeight;
constexpr QSize toolButtonSize(95, 22);
constexpr int toolButtonTop = 2;
constexpr int rowHeight = 24;
constexpr int fieldHeight = 23;

// Widths of the listed columns; the alias column is all but hidden.
constexpr std::array<int, 7> leadingColumnWidths{2, 142, 88, 89, 94, 83, 69};
constexpr int otherColumnWidth = 64;

struct EditField {
    const char* label;
    QPoint labelAt;
    const char* name;
    int column;
    QRect at; // height unused for one-line fields
};

// In tab order.
const EditField editFields[] = {
    {"Name", {8, 7}, "Name_Edit", NameColumn, {56, 6, 297, 0}},
    {"&Cat.", {380, 9}, "Cat_ComboBox", CategoryColumn, {420, 4, 145, 0}},
    {"Alias", {8, 43}, "Alias_Edit", AliasColumn, {56, 42, 297, 0}},
    {"T&el", {8, 79}, "Tel1_Edit", Telephone1Column, {56, 77, 129, 0}},
    {"&Fax", {196, 80}, "Fax1_Edit", Fax1Column, {228, 78, 129, 0}},
    {"&Addr", {8, 115}, "Addr1_Edit", Address1Column, {56, 113, 509, 0}},
    {"DO&B.", {376, 44}, "DOB_Edit", BirthDateColumn, {420, 41, 145, 0}},
    {"&Zip.", {380, 81}, "Zip1_Edit", Postcode1Column, {420, 79, 145, 0}},
    {"&Office", {8, 152}, "Office_Edit", OfficeColumn, {56, 149, 221, 0}},
    {"Post", {304, 154}, "Post_Edit", PostColumn, {348, 148, 217, 0}},
    {"T&el", {4, 188}, "Tel2_Edit", Telephone2Column, {56, 184, 129, 0}},
    {"&Fax", {196, 187}, "Fax2_Edit", Fax2Column, {228, 184, 129, 0}},
    {"&Zip.", {372, 189}, "Zip2_Edit", Postcode2Column, {408, 184, 145, 0}},
    {"&Addr", {4, 224}, "Addr2_Edit", Address2Column, {56, 220, 301, 0}},
    {"Note", {8, 296}, "Memo", NoteColumn, {56, 298, 303, 71}},
    {"Email", {4, 260}, "Email_Edit", EmailColumn, {56, 257, 241, 0}},
    {"Dept.", {364, 223}, "Station_Edit", DepartmentColumn, {408, 218, 145, 0}},
};

} // namespace kb::address::layout
