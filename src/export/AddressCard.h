#pragma once

#include "common/AddressColumns.h"
#include "export/Birthday.h"
#include "export/VCard.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kb::exporter {

// One row of the address file as UTF-8 text, one string a column, which
// common::AddressColumn names.
constexpr int addressColumnCount = common::addressColumnCount;
using AddressCells = std::array<std::string, addressColumnCount>;

// Whether a column is one the address book leaves alone, which cards carry
// in X-KESTRELBOOK-COLUMN<n>.
bool isUnknownColumn(int column);

bool isEmptyAddress(const AddressCells& cells);

// What a column holds, as the address book labels it, for messages.
std::string columnLabel(int column);

// The text that stands for a birthday that is no date at the end of the note.
std::string birthdayNote(const std::string& birthday);

// The vCard of an address, as vCard 3.0 in the form that the most address
// books read whole (the photo as PHOTO;ENCODING=b;TYPE=PNG, one NOTE); write
// it with vCardText. Every column goes to the property address books read,
// and whatever those cannot give back exactly (the birthday as it was
// written, the photo's path, the unknown columns, an empty name) is kept in
// X-KESTRELBOOK- properties, so that addressOfCard gives the row back whole.
// photoPng is the photo's picture as PNG, when its file could be read.
VCard cardOfAddress(const AddressCells& cells, DateFormat format, const std::optional<std::string>& photoPng);

struct ImportedAddress {
    AddressCells cells;
    // What the card holds that no column can take, one line each.
    std::vector<std::string> leftOut;
};

// The row for a card, written by cardOfAddress or by any other program; a
// date goes into the birthday column in format.
ImportedAddress addressOfCard(const VCard& card, DateFormat format);

} // namespace kb::exporter
