#include "export/AddressCard.h"
#include "export/AddressCsv.h"
#include "export/CommandLine.h"
#include "export/VCardReader.h"
#include "export/VCardWriter.h"

#include "export/PersonName.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace kb::exporter;

constexpr DateFormat dayFirst{DateFormat::Order::DayMonthYear, '/'};

AddressCells sampleAddress()
{
    AddressCells cells;
    cells[kb::common::AliasColumn] = "Jo, the elder";
    cells[kb::common::NameColumn] = "Dr. Jo Anne M\xC3\xBCller-Garc\xC3\xAD"
                                    "a";
    cells[kb::common::CategoryColumn] = "Family;Friends";
    cells[kb::common::Telephone1Column] = "0117 496 0142";
    cells[kb::common::Fax2Column] = "0117 496 0582";
    cells[kb::common::Postcode1Column] = "BS6 5QT";
    cells[kb::common::Address1Column] = "14 Cotham Vale, Bristol";
    cells[kb::common::BirthDateColumn] = "3/3/1940";
    cells[kb::common::OfficeColumn] = "Whitfield & Daughters";
    cells[kb::common::Address2Column] = "C:\\Post\\Box 9";
    cells[kb::common::EmailColumn] = "jo@example.com";
    cells[kb::common::PhotoColumn] = "C:\\KB\\DATA\\PHOTOS\\JO.BMP";
    cells[17] = "kept, as it was";
    cells[21] = "the last column";
    cells[kb::common::NoteColumn] = "Two lines\nof note; with \\ and , in it";
    return cells;
}

AddressCells throughCard(const AddressCells& cells, DateFormat format = dayFirst)
{
    const std::vector<VCard> cards = readVCards(vCardText(cardOfAddress(cells, format, std::string("png"))));
    EXPECT_EQ(cards.size(), 1u);
    const ImportedAddress address = addressOfCard(cards.at(0), format);
    EXPECT_EQ(address.leftOut, std::vector<std::string>());
    return address.cells;
}

TEST(AddressCard, AnAddressComesBackWholeFromItsCard)
{
    const AddressCells cells = sampleAddress();
    EXPECT_EQ(throughCard(cells), cells);

    AddressCells noDate = cells;
    noDate[kb::common::BirthDateColumn] = "spring 1940";
    noDate[kb::common::NameColumn].clear(); // the card still needs a name to show
    noDate[kb::common::NoteColumn].clear();
    EXPECT_EQ(throughCard(noDate), noDate);
    EXPECT_EQ(throughCard(noDate, DateFormat{}), noDate);
}

TEST(AddressCard, ACardSaysWhatAddressBooksRead)
{
    AddressCells cells = sampleAddress();
    const VCard card = cardOfAddress(cells, dayFirst, std::string("\x89PNG"));
    const auto value = [&card](const char* name) { return card.first(name) ? card.first(name)->value : "(none)"; };
    EXPECT_EQ(value("FN"),
              "Dr. Jo Anne M\xC3\xBCller-Garc\xC3\xAD"
              "a");
    EXPECT_EQ(value("N"),
              "M\xC3\xBCller-Garc\xC3\xAD"
              "a;Jo;Anne;Dr.;");
    EXPECT_EQ(value("BDAY"), "1940-03-03");
    EXPECT_EQ(value("ADR"), ";;14 Cotham Vale\\, Bristol;;;BS6 5QT;");
    EXPECT_EQ(vCardText(card).find("\r\nPHOTO;ENCODING=b;TYPE=PNG:iVBORw==\r\n") != std::string::npos, true);
    EXPECT_TRUE(card.first("TEL")->hasType("home") && card.first("TEL")->hasType("voice"));

    // One note, the birthday that is no date at its end: readers show one note only.
    cells[kb::common::BirthDateColumn] = "7 July 1934";
    const VCard noDate = cardOfAddress(cells, dayFirst, std::nullopt);
    EXPECT_EQ(noDate.first("BDAY"), nullptr);
    EXPECT_EQ(noDate.first("PHOTO"), nullptr);
    EXPECT_EQ(std::count_if(noDate.properties.begin(), noDate.properties.end(),
                            [](const VCardProperty& property) { return property.name == "NOTE"; }),
              1);
    EXPECT_EQ(unescapedText(noDate.first("NOTE")->value), cells[kb::common::NoteColumn] + "\nBirthday: 7 July 1934");
}

TEST(AddressCard, BirthdaysAreDatesOnlyInTheWaysTheDosProductWritesThem)
{
    const auto dateOf = [](const char* text, DateFormat format) {
        const auto date = birthdayDate(text, format);
        return date ? birthdayText(*date, DateFormat{}) : std::string("no date");
    };
    const DateFormat unknown{};
    const DateFormat monthFirst = dateFormatOfSettings("ADDRESS_FILE=C:\\KB\\A.CSV\r\nDATE_FORMAT=MM-DD-YYYY\r\n");
    EXPECT_EQ(monthFirst.order, DateFormat::Order::MonthDayYear);
    EXPECT_EQ(dateFormatOfSettings("DATE_FORMAT=DD/MM/YYYY").order, DateFormat::Order::DayMonthYear);

    EXPECT_EQ(dateOf("12/03/1961", dayFirst), "1961-03-12");
    EXPECT_EQ(dateOf("12/03/1961", monthFirst), "1961-12-03");
    EXPECT_EQ(dateOf("12/03/1961", unknown), "no date"); // either reading could be meant
    EXPECT_EQ(dateOf("30.09.1972", unknown), "1972-09-30");
    EXPECT_EQ(dateOf(" 1968-11-02 ", monthFirst), "1968-11-02");
    EXPECT_EQ(dateOf("29/02/1900", dayFirst), "no date");
    EXPECT_EQ(dateOf("29/02/2000", dayFirst), "2000-02-29");
    EXPECT_EQ(dateOf("12/03/61", dayFirst), "no date");
    EXPECT_EQ(dateOf("12/03-1961", dayFirst), "no date");
    EXPECT_EQ(dateOf("7 July 1934", dayFirst), "no date");
}

TEST(AddressCard, ABirthdayChangedInAnotherAddressBookIsTakenInTheFilesFormat)
{
    AddressCells cells = sampleAddress();
    VCard card = cardOfAddress(cells, dayFirst, std::nullopt);
    for (VCardProperty& property : card.properties)
        if (property.name == "BDAY")
            property.value = "1941-04-05";
    EXPECT_EQ(addressOfCard(card, dayFirst).cells[kb::common::BirthDateColumn], "05/04/1941");
}

TEST(AddressCard, ACardOfAnotherProgramFillsTheColumnsAndNamesWhatItCannot)
{
    const std::vector<VCard> cards = readVCards("BEGIN:VCARD\n"
                                                "VERSION:3.0\n"
                                                "N:Lowe;Patricia;;Mrs;\n"
                                                "EMAIL;TYPE=home:pat@example.org\n"
                                                "EMAIL;TYPE=work:lowe@example.com\n"
                                                "TEL;TYPE=cell:07700 900123\n"
                                                "TEL;VALUE=uri;TYPE=work:tel:+44-117-496-0199\n"
                                                "ADR;TYPE=work:;Suite 2;20 Redland Grove;Bristol;;BS6 6BX;UK\n"
                                                "ORG:Lowe & Co;Sales;North\n"
                                                "BDAY:1950-06-01\n"
                                                "URL:https://example.org/\n"
                                                "END:VCARD\n");
    const ImportedAddress address = addressOfCard(cards.at(0), DateFormat{});
    AddressCells expected;
    expected[kb::common::NameColumn] = "Mrs Patricia Lowe";
    expected[kb::common::EmailColumn] = "pat@example.org";
    expected[kb::common::Telephone1Column] = "07700 900123";
    expected[kb::common::Telephone2Column] = "+44-117-496-0199";
    expected[kb::common::Address2Column] = "Suite 2, 20 Redland Grove, Bristol, UK";
    expected[kb::common::Postcode2Column] = "BS6 6BX";
    expected[kb::common::OfficeColumn] = "Lowe & Co";
    expected[kb::common::DepartmentColumn] = "Sales, North";
    expected[kb::common::BirthDateColumn] = "1950-06-01";
    EXPECT_EQ(address.cells, expected);
    EXPECT_EQ(address.leftOut, (std::vector<std::string>{"EMAIL lowe@example.com", "URL https://example.org/"}));
}

TEST(PersonName, NamesSplitAsPeopleWriteThem)
{
    struct Case {
        const char* name;
        PersonName parts; // prefix, given, middle, family, suffix
    };
    const Case cases[] = {
        {"Anna Whitfield", {"", "Anna", "", "Whitfield", ""}},
        {"Whitfield, Anna", {"", "Anna", "", "Whitfield", ""}},
        {"Whitfield, Anna Marie", {"", "Anna", "Marie", "Whitfield", ""}},
        {"John Smith Jr.", {"", "John", "", "Smith", "Jr."}},
        {"John Smith, Jr.", {"", "John", "", "Smith", "Jr."}},
        {"Dr. Martin Luther King III", {"Dr.", "Martin", "Luther", "King", "III"}},
        {"Tom and Jessica Reid", {"", "Tom and Jessica", "", "Reid", ""}},
        {"Tom & Jessica Reid", {"", "Tom & Jessica", "", "Reid", ""}},
        {"Ludwig van Beethoven", {"", "Ludwig", "", "van Beethoven", ""}},
        {"Madonna", {"", "Madonna", "", "", ""}},
        {"Mrs P", {"Mrs", "P", "", "", ""}},
    };
    for (const Case& c : cases) {
        const PersonName parts = splitPersonName(c.name);
        EXPECT_EQ(
            std::vector<std::string>({parts.prefix, parts.given, parts.middle, parts.family, parts.suffix}),
            std::vector<std::string>({c.parts.prefix, c.parts.given, c.parts.middle, c.parts.family, c.parts.suffix}))
            << c.name;
    }
}

TEST(AddressCsv, FieldsAreQuotedWhereTheyMustBeAndBirthdaysSplit)
{
    AddressCells cells;
    cells[kb::common::NameColumn] = "Eleanor \"Nell\" Hughes";
    cells[kb::common::BirthDateColumn] = "30/09/1972";
    cells[kb::common::NoteColumn] = "two\nlines";
    AddressCells noDate;
    noDate[kb::common::AliasColumn] = "Mrs P";
    noDate[kb::common::BirthDateColumn] = "1 April";
    const std::string csv = addressCsv({cells, noDate}, DateFormat{}, CsvForm::Thunderbird);
    const std::size_t firstLineEnd = csv.find("\r\n");
    EXPECT_EQ(csv.substr(0, 30), "First Name,Last Name,Display N");
    EXPECT_EQ(csv.substr(firstLineEnd + 2),
              "\"Eleanor \"\"Nell\"\"\",Hughes,\"Eleanor \"\"Nell\"\" Hughes\"" + std::string(27, ',')
                  + "1972,9,30,,,,,\"two\nlines\"\r\n"
                    ",,,Mrs P"
                  + std::string(33, ',') + "Birthday: 1 April\r\n");
}

TEST(CommandLine, WrongCommandLinesAreRefusedWithTheReason)
{
    const auto errorOf = [](std::vector<std::string> arguments) -> std::string {
        try {
            parseCommandLine(arguments);
        } catch (const UsageError& error) {
            return error.what();
        }
        return "accepted";
    };
    EXPECT_EQ(errorOf({}), "no address file given");
    EXPECT_EQ(errorOf({"a.csv", "b.csv"}), "one address file at a time; 'b.csv' is one too many");
    EXPECT_EQ(errorOf({"--code-page"}), "option '--code-page' needs a value");
    EXPECT_EQ(errorOf({"--code-page=utf8", "a.csv"}), "unknown code page 'utf8'");
    EXPECT_EQ(errorOf({"--import", "a.vcf", "--csv", "a.csv"}),
              "--import writes into the address file; --csv and -o do not go with it");
    EXPECT_EQ(errorOf({"-x", "a.csv"}), "unknown option '-x'");
    EXPECT_EQ(errorOf({"--csv=outlook", "a.csv"}), "unknown CSV form 'outlook' (thunderbird or google)");
    EXPECT_EQ(parseCommandLine({"--csv=google", "a.csv"}).csvForm, CsvForm::Google);

    const CommandLine line = parseCommandLine({"--code-page", "CP850", "-o", "out.vcf", "--", "-a.csv"});
    EXPECT_EQ(line.codePage, "cp850");
    EXPECT_EQ(line.output, "out.vcf");
    EXPECT_EQ(line.addressFile, "-a.csv");
    EXPECT_EQ(parseCommandLine({"--code-page=windows-1250", "a.csv"}).codePage, "cp1250");
}

} // namespace
