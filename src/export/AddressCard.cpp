#include "AddressCard.h"

#include "export/PersonName.h"
#include "export/TransferEncoding.h"

#include <algorithm>

namespace kb::exporter {

namespace {

constexpr std::string_view extensionPrefix = "X-KESTRELBOOK-";
constexpr std::string_view birthdayNotePrefix = "Birthday: ";
// How much of a value that no column takes is shown when it is reported.
constexpr std::size_t maxReportedValue = 60;

VCardProperty textProperty(std::string name, const std::string& text, std::vector<VCardParameter> parameters = {})
{
    return {std::move(name), std::move(parameters), escapedText(text)};
}

VCardParameter types(std::vector<std::string> values)
{
    return {"TYPE", std::move(values)};
}

std::string columnPropertyName(int column)
{
    return std::string(extensionPrefix) + "COLUMN" + std::to_string(column);
}

std::string displayedName(const AddressCells& cells)
{
    for (const int column : {common::NameColumn, common::AliasColumn, common::OfficeColumn, common::EmailColumn})
        if (!cells[column].empty())
            return cells[column];
    return {};
}

// The text of each component of a structured value, its lists joined with sep.
std::vector<std::string> components(const VCardProperty& property, std::string_view sep)
{
    std::vector<std::string> texts;
    for (const std::string& component : splitValue(property.value, ';')) {
        std::string text;
        for (const std::string& piece : splitValue(component, ',')) {
            if (piece.empty())
                continue;
            if (!text.empty())
                text += sep;
            text += unescapedText(piece);
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

std::string joinedNonEmpty(const std::vector<std::string>& texts, std::string_view sep)
{
    std::string joined;
    for (const std::string& text : texts) {
        if (text.empty())
            continue;
        if (!joined.empty())
            joined += sep;
        joined += text;
    }
    return joined;
}

class CardReader {
public:
    CardReader(const VCard& card, DateFormat format)
        : m_card(card)
        , m_format(format)
    {
    }

    ImportedAddress read()
    {
        readBirthday();
        std::vector<std::string> notes;
        for (const VCardProperty& property : m_card.properties) {
            if (property.name == "NOTE")
                notes.push_back(withoutBirthdayNote(unescapedText(property.value)));
            else
                take(property);
        }
        std::string& note = m_address.cells[common::NoteColumn];
        note = joinedNonEmpty(notes, "\n");
        readName();
        return std::move(m_address);
    }

private:
    void readBirthday()
    {
        const VCardProperty* kept = m_card.first(std::string(extensionPrefix) + "BIRTHDAY");
        const VCardProperty* bday = m_card.first("BDAY");
        const std::string keptText = kept ? unescapedText(kept->value) : std::string();
        const auto keptDate = birthdayDate(keptText, m_format);
        const std::optional<Date> cardDate = bday ? dateOfVCard(bday->value) : std::nullopt;
        std::string& birthday = m_address.cells[common::BirthDateColumn];
        // The text as it was written wins while it still says what the card says.
        if (kept && (bday ? keptDate && cardDate && *keptDate == *cardDate : !keptDate))
            birthday = keptText;
        else if (cardDate)
            birthday = birthdayText(*cardDate, m_format);
        else if (bday)
            birthday = unescapedText(bday->value);
        if (!birthday.empty() && !birthdayDate(birthday, m_format))
            m_birthdayNote = birthdayNote(birthday);
    }

    // A birthday that is no date ends the note, or stands alone in a note
    // of its own as earlier exports wrote it; only the first such text is
    // the birthday's.
    std::string withoutBirthdayNote(std::string text)
    {
        const std::string& birthday = m_birthdayNote;
        if (birthday.empty())
            return text;
        if (text == birthday) {
            text.clear();
        } else if (text.size() > birthday.size()
                   && text.compare(text.size() - birthday.size(), birthday.size(), birthday) == 0
                   && text[text.size() - birthday.size() - 1] == '\n') {
            text.erase(text.size() - birthday.size() - 1);
        } else {
            return text;
        }
        m_birthdayNote.clear();
        return text;
    }

    void readName()
    {
        std::string& name = m_address.cells[common::NameColumn];
        if (const VCardProperty* kept = m_card.first(std::string(extensionPrefix) + "NAME")) {
            name = unescapedText(kept->value);
        } else if (const VCardProperty* fn = m_card.first("FN"); fn && !fn->value.empty()) {
            name = unescapedText(fn->value);
        } else if (const VCardProperty* n = m_card.first("N")) {
            // family; given; middle; prefix; suffix
            std::vector<std::string> parts = components(*n, " ");
            parts.resize(5);
            name = joinedNonEmpty({parts[3], parts[1], parts[2], parts[0], parts[4]}, " ");
        }
    }

    void take(const VCardProperty& property)
    {
        const std::string& name = property.name;
        if (name == "FN" || name == "N" || name == "BDAY" || name == "PRODID" || name == "REV" || name == "UID"
            || name == "KIND" || name == "LABEL" || name == "CLIENTPIDMAP")
            return; // read elsewhere, or only about the card itself
        if (name.compare(0, extensionPrefix.size(), extensionPrefix) == 0) {
            for (int c = 0; c < addressColumnCount; ++c)
                if (isUnknownColumn(c) && name == columnPropertyName(c))
                    m_address.cells[c] = unescapedText(property.value);
            if (name == std::string(extensionPrefix) + "PHOTO")
                m_address.cells[common::PhotoColumn] = unescapedText(property.value);
            return;
        }
        if (name == "NICKNAME")
            fill(common::AliasColumn, unescapedText(property.value), property);
        else if (name == "CATEGORIES")
            fill(common::CategoryColumn, unescapedText(property.value), property);
        else if (name == "TEL")
            takeTelephone(property);
        else if (name == "ADR")
            takeAddress(property);
        else if (name == "EMAIL")
            fill(common::EmailColumn, unescapedText(property.value), property);
        else if (name == "ORG")
            takeOrganisation(property);
        else if (name == "TITLE" || name == "ROLE")
            fill(common::PostColumn, unescapedText(property.value), property);
        else if (name == "PHOTO") {
            // The photo of one of our own cards is the file its path names.
            if (!m_card.first(std::string(extensionPrefix) + "PHOTO"))
                m_address.leftOut.push_back("PHOTO (the address file keeps a photo's path, not its picture)");
        } else
            leaveOut(property);
    }

    void takeTelephone(const VCardProperty& property)
    {
        std::string number = unescapedText(property.value);
        const std::vector<std::string>* valueType = property.parameter("VALUE");
        if (valueType && valueType->size() == 1 && (valueType->front() == "uri" || valueType->front() == "URI")
            && number.compare(0, 4, "tel:") == 0)
            number.erase(0, 4);
        const bool fax = property.hasType("fax");
        const bool work = property.hasType("work");
        fill(work ? (fax ? common::Fax2Column : common::Telephone2Column)
                  : (fax ? common::Fax1Column : common::Telephone1Column),
             std::move(number), property);
    }

    void takeAddress(const VCardProperty& property)
    {
        std::vector<std::string> parts = components(property, ", ");
        parts.resize(7); // PO box; extended; street; locality; region; postal code; country
        const std::string text = joinedNonEmpty({parts[0], parts[1], parts[2], parts[3], parts[4], parts[6]}, ", ");
        const std::string& zip = parts[5];
        const int addressColumn = property.hasType("work") ? common::Address2Column : common::Address1Column;
        const int zipColumn =
            addressColumn == common::Address2Column ? common::Postcode2Column : common::Postcode1Column;
        if (!m_address.cells[addressColumn].empty() || !m_address.cells[zipColumn].empty()) {
            leaveOut(property);
            return;
        }
        m_address.cells[addressColumn] = text;
        m_address.cells[zipColumn] = zip;
    }

    void takeOrganisation(const VCardProperty& property)
    {
        std::vector<std::string> parts = components(property, ", ");
        if (!m_address.cells[common::OfficeColumn].empty() || !m_address.cells[common::DepartmentColumn].empty()) {
            leaveOut(property);
            return;
        }
        m_address.cells[common::OfficeColumn] = parts[0];
        parts.erase(parts.begin());
        m_address.cells[common::DepartmentColumn] = joinedNonEmpty(parts, ", ");
    }

    void fill(int c, std::string text, const VCardProperty& property)
    {
        if (m_address.cells[c].empty())
            m_address.cells[c] = std::move(text);
        else
            leaveOut(property);
    }

    void leaveOut(const VCardProperty& property)
    {
        std::string text = unescapedText(property.value);
        std::replace(text.begin(), text.end(), '\n', ' ');
        if (text.size() > maxReportedValue) {
            std::size_t cut = maxReportedValue;
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                --cut;
            text = text.substr(0, cut) + "...";
        }
        m_address.leftOut.push_back(property.name + " " + text);
    }

    const VCard& m_card;
    DateFormat m_format;
    ImportedAddress m_address;
    std::string m_birthdayNote;
};

} // namespace

bool isUnknownColumn(int column)
{
    return column == 17 || column == 18 || column == 19 || column == 21;
}

bool isEmptyAddress(const AddressCells& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const std::string& cell) { return cell.empty(); });
}

std::string columnLabel(int column)
{
    static constexpr std::array<std::string_view, addressColumnCount> labels = {
        "Alias",      "Name",       "Category",       "Tel",   "Fax",   "Zip",
        "Address",    "Birthday",   "Office",         "Dept.", "Post",  "Office Tel",
        "Office Fax", "Office Zip", "Office Address", "Email", "Photo", "",
        "",           "",           "Note",           ""};
    const std::string_view label = labels.at(static_cast<std::size_t>(column));
    return label.empty() ? "column " + std::to_string(column) : std::string(label);
}

std::string birthdayNote(const std::string& birthday)
{
    return std::string(birthdayNotePrefix) + birthday;
}

VCard cardOfAddress(const AddressCells& cells, DateFormat format, const std::optional<std::string>& photoPng)
{
    VCard card;
    card.version = "3.0";
    auto& properties = card.properties;
    const auto add = [&properties](std::string name, const std::string& text, std::vector<VCardParameter> params = {}) {
        if (!text.empty())
            properties.push_back(textProperty(std::move(name), text, std::move(params)));
    };
    properties.push_back({"PRODID", {}, "-//Kestrelbook 98//kestrelbook-export//EN"});
    properties.push_back(textProperty("FN", displayedName(cells)));
    const PersonName name = splitPersonName(cells[common::NameColumn]);
    properties.push_back({"N",
                          {},
                          joinedValue({escapedText(name.family), escapedText(name.given), escapedText(name.middle),
                                       escapedText(name.prefix), escapedText(name.suffix)},
                                      ';')});
    add("NICKNAME", cells[common::AliasColumn]);
    add("CATEGORIES", cells[common::CategoryColumn]);
    const std::string& birthday = cells[common::BirthDateColumn];
    const auto date = birthdayDate(birthday, format);
    if (date)
        properties.push_back({"BDAY", {}, vCardDate(*date)});
    add("TEL", cells[common::Telephone1Column], {types({"HOME", "VOICE"})});
    add("TEL", cells[common::Fax1Column], {types({"HOME", "FAX"})});
    add("TEL", cells[common::Telephone2Column], {types({"WORK", "VOICE"})});
    add("TEL", cells[common::Fax2Column], {types({"WORK", "FAX"})});
    struct PostalColumns {
        int address;
        int zip;
        const char* type;
    };
    for (const auto& [addressColumn, zipColumn, type] :
         {PostalColumns{common::Address1Column, common::Postcode1Column, "HOME"},
          PostalColumns{common::Address2Column, common::Postcode2Column, "WORK"}}) {
        if (cells[addressColumn].empty() && cells[zipColumn].empty())
            continue;
        properties.push_back(
            {"ADR",
             {types({type})},
             joinedValue({"", "", escapedText(cells[addressColumn]), "", "", escapedText(cells[zipColumn]), ""}, ';')});
    }
    if (!cells[common::OfficeColumn].empty() || !cells[common::DepartmentColumn].empty()) {
        std::vector<std::string> org{escapedText(cells[common::OfficeColumn])};
        if (!cells[common::DepartmentColumn].empty())
            org.push_back(escapedText(cells[common::DepartmentColumn]));
        properties.push_back({"ORG", {}, joinedValue(org, ';')});
    }
    add("TITLE", cells[common::PostColumn]);
    add("EMAIL", cells[common::EmailColumn]);
    // The form that evolution-data-server, Google and Apple write themselves.
    if (photoPng)
        properties.push_back({"PHOTO", {{"ENCODING", {"b"}}, types({"PNG"})}, base64Encoded(*photoPng)});
    // One note: address books that read NOTE show only one of several.
    std::string note = cells[common::NoteColumn];
    if (!birthday.empty() && !date)
        note += (note.empty() ? "" : "\n") + birthdayNote(birthday);
    add("NOTE", note);
    if (cells[common::NameColumn].empty())
        properties.push_back({std::string(extensionPrefix) + "NAME", {}, ""});
    add(std::string(extensionPrefix) + "BIRTHDAY", birthday);
    add(std::string(extensionPrefix) + "PHOTO", cells[common::PhotoColumn]);
    for (int c = 0; c < addressColumnCount; ++c)
        if (isUnknownColumn(c))
            add(columnPropertyName(c), cells[c]);
    return card;
}

ImportedAddress addressOfCard(const VCard& card, DateFormat format)
{
    return CardReader(card, format).read();
}

} // namespace kb::exporter
