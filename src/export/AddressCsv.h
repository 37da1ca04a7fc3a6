#pragma once

#include "export/AddressCard.h"

#include <string>
#include <vector>

namespace kb::exporter {

// Which importer a CSV is written for. Each importer maps a column by its
// heading only when the heading is one of its own names, so every form
// writes its importer's headings and nothing else.
enum class CsvForm {
    // Thunderbird's address book: the headings its own export writes, in
    // its order ("First Name", ..., "Home ZipCode", ..., "Notes"). The
    // category goes into Custom 1 and the office fax into Custom 2.
    Thunderbird,
    // Google Contacts: the headings of its "Google CSV" ("Given Name",
    // "Family Name", "E-mail 1 - Value", "Phone 1 - Type", ...), the
    // category as a group in Group Membership.
    Google,
};

// The addresses as UTF-8 CSV for form's importer. Fields are quoted where
// they hold a comma, a tab, a double quote or a line break; lines end in
// CR LF. A birthday that is no date ends the notes, as in the cards.
std::string addressCsv(const std::vector<AddressCells>& addresses, DateFormat format, CsvForm form);

} // namespace kb::exporter
