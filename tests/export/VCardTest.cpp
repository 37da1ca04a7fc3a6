#include "export/VCardReader.h"
#include "export/VCardWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace kb::exporter;

TEST(VCardText, ALongValueIsFoldedBetweenCharactersAndReadsBackWhole)
{
    // "ü" is two octets: a fold at a fixed 75 would cut one of them in half.
    std::string note;
    for (int i = 0; i < 60; ++i)
        note += "x\xC3\xBC";
    VCard card;
    card.version = "3.0";
    card.properties.push_back({"NOTE", {}, escapedText(note + "; a, b\\c\nend")});
    const std::string text = vCardText(card);

    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 75u);
        if (line.size() > 1 && line[0] == ' ') {
            EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << "a fold inside a character";
        }
        start = end + 2;
    }
    const std::vector<VCard> cards = readVCards(text);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].version, "3.0");
    EXPECT_EQ(unescapedText(cards[0].first("NOTE")->value), note + "; a, b\\c\nend");
}

TEST(VCardText, CardsAsOtherProgramsWriteThemAreRead)
{
    const std::vector<VCard> cards = readVCards("\xEF\xBB\xBF"
                                                "begin:vcard\n"
                                                "version:3.0\n"
                                                "item1.tel;type=HOME;type=\"voice,pref\":01 23\n"
                                                "NOTE:first line\n"
                                                "\tfolded with a tab\n"
                                                "TEL;WORK;FAX:99\n"
                                                "\n"
                                                "END:VCARD\n"
                                                "BEGIN:VCARD\r\nFN:Second\r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 2u);
    const VCard& card = cards[0];
    EXPECT_EQ(card.version, "3.0");
    ASSERT_EQ(card.properties.size(), 3u);
    EXPECT_EQ(card.properties[0].name, "TEL");
    EXPECT_TRUE(card.properties[0].hasType("home"));
    EXPECT_TRUE(card.properties[0].hasType("PREF"));
    EXPECT_EQ(card.properties[0].value, "01 23");
    EXPECT_EQ(card.properties[1].value, "first linefolded with a tab");
    EXPECT_TRUE(card.properties[2].hasType("fax"));
    EXPECT_TRUE(card.properties[2].hasType("work"));
    EXPECT_EQ(cards[1].first("FN")->value, "Second");
}

TEST(VCardText, TextThatIsNoCardIsRefusedWithItsLine)
{
    const auto errorOf = [](const std::string& text) -> std::string {
        try {
            readVCards(text);
        } catch (const VCardSyntaxError& error) {
            return error.what();
        }
        return "accepted";
    };
    EXPECT_EQ(errorOf("BEGIN:VCARD\nFN:M\xFCller\nEND:VCARD\n"), "line 2: the text is not UTF-8");
    EXPECT_EQ(errorOf("BEGIN:VCARD\nFN Anna\nEND:VCARD\n"), "line 2: no colon after the property name");
    EXPECT_EQ(errorOf("BEGIN:VCARD\nTEL;TYPE=\"home:1\n"), "line 2: a parameter value without its closing quote");
    EXPECT_EQ(errorOf("FN:Anna\n"), "line 1: text outside BEGIN:VCARD and END:VCARD");
    EXPECT_EQ(errorOf("\nBEGIN:VCARD\nFN:Anna\n"), "line 2: the card that begins here has no END:VCARD");
    EXPECT_EQ(errorOf(""), "accepted");
}

} // namespace
