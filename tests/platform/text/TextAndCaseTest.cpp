#include "platform/text/AsciiCase.h"
#include "platform/text/Latin1Text.h"

#include <gtest/gtest.h>

namespace {

using kb::platform::bytesFromText;
using kb::platform::textFromBytes;

TEST(Latin1TextTest, EveryByteSurvivesTheWayThroughTextAndOtherCharactersBecomeQuestionMarks)
{
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    const QString text = textFromBytes(everyByte);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0xE9), QChar(0xE9));
    EXPECT_EQ(bytesFromText(text), everyByte);

    EXPECT_EQ(bytesFromText(QStringLiteral("Z\u00FCrich \u20AC5 \U0001F600")), "Z\xFCrich ?5 ??");
}

TEST(Latin1TextTest, DocumentLineBreaksBecomeTheGivenLineEnd)
{
    const QString text = QStringLiteral("a\u2029\u00E9\u2028\u20AC\u2029");
    EXPECT_EQ(kb::platform::bytesFromDocumentText(text, "\r\n"), "a\r\n\xE9\r\n?\r\n");
    EXPECT_EQ(kb::platform::bytesFromDocumentText(text, "\n"), "a\n\xE9\n?\n");
}

TEST(AsciiCaseTest, OnlyAsciiLettersChangeCase)
{
    EXPECT_EQ(kb::platform::asciiLowered("RURIZED.Ini \xC9\xE9[@"), "rurized.ini \xC9\xE9[@");
    EXPECT_EQ(kb::platform::asciiUpper('x'), 'X');
    EXPECT_EQ(kb::platform::asciiUpper('\xE9'), '\xE9');
    EXPECT_TRUE(kb::platform::equalsIgnoringAsciiCase("P_Hana02.BMP", "p_hana02.bmp"));
    EXPECT_FALSE(kb::platform::equalsIgnoringAsciiCase("\xC9", "\xE9"));
    EXPECT_FALSE(kb::platform::equalsIgnoringAsciiCase("Data", "Data2"));
}

} // namespace
