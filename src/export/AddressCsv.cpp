#include "AddressCsv.h"

#include "export/PersonName.h"

#include <array>
#include <iterator>

namespace kb::exporter {

namespace {

constexpr std::array<const char*, 23> headings = {
    "First Name",   "Middle Name",  "Last Name",    "Display Name", "Nickname",     "Primary Email",
    "Home Phone",   "Fax Number",   "Work Phone",   "Work Fax",     "Home Address", "Home ZipCode",
    "Work Address", "Work ZipCode", "Organization", "Department",   "Job Title",    "Birth Year",
    "Birth Month",  "Birth Day",    "Birthday",     "Categories",   "Notes"};

std::string field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
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

} // namespace

std::string addressCsv(const std::vector<AddressCells>& addresses, DateFormat format)
{
    std::string csv = csvLine(headings);
    for (const AddressCells& cells : addresses) {
        const PersonName name = splitPersonName(cells[common::NameColumn]);
        const std::string& birthday = cells[common::BirthDateColumn];
        const auto date = birthdayDate(birthday, format);
        std::string notes = cells[common::NoteColumn];
        if (!birthday.empty() && !date)
            notes += (notes.empty() ? "" : "\n") + birthdayNote(birthday);
        const std::array<std::string, headings.size()> fields = {
            name.given,
            name.middle,
            name.family,
            cells[common::NameColumn],
            cells[common::AliasColumn],
            cells[common::EmailColumn],
            cells[common::Telephone1Column],
            cells[common::Fax1Column],
            cells[common::Telephone2Column],
            cells[common::Fax2Column],
            cells[common::Address1Column],
            cells[common::Postcode1Column],
            cells[common::Address2Column],
            cells[common::Postcode2Column],
            cells[common::OfficeColumn],
            cells[common::DepartmentColumn],
            cells[common::PostColumn],
            date ? std::to_string(date->year) : std::string(),
            date ? std::to_string(date->month) : std::string(),
            date ? std::to_string(date->day) : std::string(),
            date ? birthdayText(*date, DateFormat{}) : std::string(),
            cells[common::CategoryColumn],
            notes,
        };
        csv += csvLine(fields);
    }
    return csv;
}

} // namespace kb::exporter
