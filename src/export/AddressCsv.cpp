#include "AddressCsv.h"

#include "export/PersonName.h"

#include <array>
#include <iterator>

namespace kb::exporter {

namespace {

constexpr std::array<const char*, 37> thunderbirdHeadings = {
    "First Name", "Last Name",    "Display Name", "Nickname",     "Primary Email", "Secondary Email", "Screen Name",
    "Work Phone", "Home Phone",   "Fax Number",   "Pager Number", "Mobile Number", "Home Address",    "Home Address 2",
    "Home City",  "Home State",   "Home ZipCode", "Home Country", "Work Address",  "Work Address 2",  "Work City",
    "Work State", "Work ZipCode", "Work Country", "Job Title",    "Department",    "Organization",    "Web Page 1",
    "Web Page 2", "Birth Year",   "Birth Month",  "Birth Day",    "Custom 1",      "Custom 2",        "Custom 3",
    "Custom 4",   "Notes"};

constexpr std::array<const char*, 65> googleHeadings = {
    "Name",
    "Given Name",
    "Additional Name",
    "Family Name",
    "Yomi Name",
    "Given Name Yomi",
    "Additional Name Yomi",
    "Family Name Yomi",
    "Name Prefix",
    "Name Suffix",
    "Initials",
    "Nickname",
    "Short Name",
    "Maiden Name",
    "Birthday",
    "Gender",
    "Location",
    "Billing Information",
    "Directory Server",
    "Mileage",
    "Occupation",
    "Hobby",
    "Sensitivity",
    "Priority",
    "Subject",
    "Notes",
    "Language",
    "Photo",
    "Group Membership",
    "E-mail 1 - Type",
    "E-mail 1 - Value",
    "Phone 1 - Type",
    "Phone 1 - Value",
    "Phone 2 - Type",
    "Phone 2 - Value",
    "Phone 3 - Type",
    "Phone 3 - Value",
    "Phone 4 - Type",
    "Phone 4 - Value",
    "Address 1 - Type",
    "Address 1 - Formatted",
    "Address 1 - Street",
    "Address 1 - City",
    "Address 1 - PO Box",
    "Address 1 - Region",
    "Address 1 - Postal Code",
    "Address 1 - Country",
    "Address 1 - Extended Address",
    "Address 2 - Type",
    "Address 2 - Formatted",
    "Address 2 - Street",
    "Address 2 - City",
    "Address 2 - PO Box",
    "Address 2 - Region",
    "Address 2 - Postal Code",
    "Address 2 - Country",
    "Address 2 - Extended Address",
    "Organization 1 - Type",
    "Organization 1 - Name",
    "Organization 1 - Yomi Name",
    "Organization 1 - Title",
    "Organization 1 - Department",
    "Organization 1 - Symbol",
    "Organization 1 - Location",
    "Organization 1 - Job Description",
};

std::string field(const std::string& text)
{
    if (text.find_first_of(",\t\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

template <typename Texts>
std::string csvLine(const Texts& texts)
{
    std::string line;
    for (const auto& text : texts) {
        if (&text != &*std::begin(texts))
            line += ',';
        line += field(text);
    }
    return line + "\r\n";
}

std::string joinedWords(const std::string& first, const std::string& second)
{
    return first.empty() || second.empty() ? first + second : first + ' ' + second;
}

// What both forms take from a row.
struct CsvAddress {
    CsvAddress(const AddressCells& cells, DateFormat format)
        : cells(cells)
        , name(splitPersonName(cells[common::NameColumn]))
        , date(birthdayDate(cells[common::BirthDateColumn], format))
        , notes(cells[common::NoteColumn])
    {
        const std::string& birthday = cells[common::BirthDateColumn];
        if (!birthday.empty() && !date)
            notes += (notes.empty() ? "" : "\n") + birthdayNote(birthday);
    }

    // A type for a value, where there is a value.
    std::string typeOf(int column, const char* type) const { return cells[column].empty() ? "" : type; }

    const AddressCells& cells;
    PersonName name;
    std::optional<Date> date;
    std::string notes;
};

std::array<std::string, thunderbirdHeadings.size()> thunderbirdFields(const CsvAddress& a)
{
    const AddressCells& c = a.cells;
    const auto datePart = [&a](int Date::*part) { return a.date ? std::to_string((*a.date).*part) : std::string(); };
    return {joinedWords(a.name.given, a.name.middle),
            a.name.family,
            c[common::NameColumn],
            c[common::AliasColumn],
            c[common::EmailColumn],
            "",
            "",
            c[common::Telephone2Column],
            c[common::Telephone1Column],
            c[common::Fax1Column],
            "",
            "",
            c[common::Address1Column],
            "",
            "",
            "",
            c[common::Postcode1Column],
            "",
            c[common::Address2Column],
            "",
            "",
            "",
            c[common::Postcode2Column],
            "",
            c[common::PostColumn],
            c[common::DepartmentColumn],
            c[common::OfficeColumn],
            "",
            "",
            datePart(&Date::year),
            datePart(&Date::month),
            datePart(&Date::day),
            c[common::CategoryColumn],
            c[common::Fax2Column],
            "",
            "",
            a.notes};
}

std::array<std::string, googleHeadings.size()> googleFields(const CsvAddress& a)
{
    const AddressCells& c = a.cells;
    const std::string& category = c[common::CategoryColumn];
    // Every contact Google exports is in its own group "* myContacts" too.
    const std::string groups = category.empty() ? "* myContacts" : category + " ::: * myContacts";
    const bool home = !c[common::Address1Column].empty() || !c[common::Postcode1Column].empty();
    const bool work = !c[common::Address2Column].empty() || !c[common::Postcode2Column].empty();
    return {c[common::NameColumn],
            a.name.given,
            a.name.middle,
            a.name.family,
            "",
            "",
            "",
            "",
            a.name.prefix,
            a.name.suffix,
            "",
            c[common::AliasColumn],
            "",
            "",
            a.date ? birthdayText(*a.date, DateFormat{}) : std::string(),
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            a.notes,
            "",
            "",
            groups,
            "",
            c[common::EmailColumn],
            a.typeOf(common::Telephone1Column, "Home"),
            c[common::Telephone1Column],
            a.typeOf(common::Fax1Column, "Home Fax"),
            c[common::Fax1Column],
            a.typeOf(common::Telephone2Column, "Work"),
            c[common::Telephone2Column],
            a.typeOf(common::Fax2Column, "Work Fax"),
            c[common::Fax2Column],
            home ? "Home" : "",
            "",
            c[common::Address1Column],
            "",
            "",
            "",
            c[common::Postcode1Column],
            "",
            "",
            work ? "Work" : "",
            "",
            c[common::Address2Column],
            "",
            "",
            "",
            c[common::Postcode2Column],
            "",
            "",
            "",
            c[common::OfficeColumn],
            "",
            c[common::PostColumn],
            c[common::DepartmentColumn],
            "",
            "",
            ""};
}

} // namespace

std::string addressCsv(const std::vector<AddressCells>& addresses, DateFormat format, CsvForm form)
{
    const bool google = form == CsvForm::Google;
    std::string csv = google ? csvLine(googleHeadings) : csvLine(thunderbirdHeadings);
    for (const AddressCells& cells : addresses) {
        const CsvAddress address(cells, format);
        csv += google ? csvLine(googleFields(address)) : csvLine(thunderbirdFields(address));
    }
    return csv;
}

} // namespace kb::exporter
