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
        const PersonName name = splitPersonName(cells[column::name]);
        const std::string& birthday = cells[column::birthday];
        const auto date = birthdayDate(birthday, format);
        std::string notes = cells[column::note];
        if (!birthday.empty() && !date)
            notes += (notes.empty() ? "" : "\n") + birthdayNote(birthday);
        const std::array<std::string, headings.size()> fields = {
            name.given,
            name.middle,
            name.family,
            cells[column::name],
            cells[column::alias],
            cells[column::email],
            cells[column::homeTel],
            cells[column::homeFax],
            cells[column::workTel],
            cells[column::workFax],
            cells[column::homeAddress],
            cells[column::homeZip],
            cells[column::workAddress],
            cells[column::workZip],
            cells[column::office],
            cells[column::department],
            cells[column::post],
            date ? std::to_string(date->year) : std::string(),
            date ? std::to_string(date->month) : std::string(),
            date ? std::to_string(date->day) : std::string(),
            date ? birthdayText(*date, DateFormat{}) : std::string(),
            cells[column::category],
            notes,
        };
        csv += csvLine(fields);
    }
    return csv;
}

} // namespace kb::exporter
