#include "platform/text/AnsiText.h"
#include "platform/text/AsciiCase.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace {

using kb::platform::ansiCodePageOfLocale;
using kb::platform::bytesFromText;

// The one character glibc's iconv decodes a lone byte to, or nothing where
// the code page leaves the byte undefined.
std::optional<char16_t> iconvCharacterOf(const char* codePage, unsigned char byte)
{
    const iconv_t converter = iconv_open("UTF-16LE", codePage);
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv has no ") + codePage);
    char in = static_cast<char>(byte);
    char out[8] = {};
    char* inPtr = &in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool converted = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)
        // Vietnamese and Hebrew hold back a base letter for a combining mark.
        && iconv(converter, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!converted)
        return std::nullopt;
    EXPECT_EQ(sizeof out - outLeft, 2u) << codePage << " byte " << int(byte);
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
}

TEST(CodePageTest, EveryByteShowsAsIconvSaysAndSavesBackUnchanged)
{
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    for (const char* name : {"cp1252", "cp1250", "cp1251", "cp1253", "cp1254", "cp1255", "cp1256", "cp1257", "cp874",
                             "cp1258", "cp437", "cp850", "cp852", "cp866"}) {
        const kb::platform::CodePage& codePage = kb::platform::codePageNamed(name);
        const QString text = codePage.textFromBytes(everyByte);
        ASSERT_EQ(text.size(), 256) << name;
        for (int b = 0; b < 256; ++b) {
            // Undefined bytes keep a character of their own: the control
            // character of the same value, or one of private use.
            const char16_t undefined = b < 0xA0 ? char16_t(b) : char16_t(0xF700 + b);
            EXPECT_EQ(text.at(b).unicode(), iconvCharacterOf(name, b).value_or(undefined)) << name << " byte " << b;
        }
        EXPECT_EQ(codePage.bytesFromText(text), everyByte) << name;
    }
    EXPECT_THROW(kb::platform::codePageNamed("cp65001"), std::invalid_argument);
}

TEST(AnsiTextTest, TheLanguageOfTheLocaleChoosesTheCodePageAsWindowsDoes)
{
    for (const auto& [locale, codePage] : {std::pair{"", "cp1252"},
                                           {"C", "cp1252"},
                                           {"de_DE.UTF-8", "cp1252"},
                                           {"ja_JP.UTF-8", "cp1252"},
                                           {"pl_PL.UTF-8", "cp1250"},
                                           {"ru_RU.UTF-8", "cp1251"},
                                           {"sr_RS", "cp1251"},
                                           {"sr_RS@latin", "cp1250"},
                                           {"el_GR", "cp1253"},
                                           {"tr_TR.UTF-8", "cp1254"},
                                           {"he_IL", "cp1255"},
                                           {"ar_EG.UTF-8", "cp1256"},
                                           {"lt_LT", "cp1257"},
                                           {"th_TH.UTF-8", "cp874"},
                                           {"vi_VN", "cp1258"}})
        EXPECT_EQ(ansiCodePageOfLocale(locale).name(), codePage) << locale;

    // The first of LC_ALL, LC_CTYPE and LANG that is set names the locale.
    const kb::platform::CodePage& previous = kb::platform::ansiCodePage();
    setenv("LC_ALL", "", 1);
    setenv("LC_CTYPE", "ru_RU.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    kb::platform::chooseAnsiCodePage();
    EXPECT_EQ(bytesFromText(QStringLiteral("\u20AC\u00E9\u0416")), "\x88?\xC6");
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    kb::platform::chooseAnsiCodePage();
    EXPECT_EQ(bytesFromText(QStringLiteral("\u20AC\u00E9\u0416")), "\x80\xE9?");
    kb::platform::useAnsiCodePage(previous);
}

TEST(AnsiTextTest, CharactersTheCodePageCannotHoldBecomeQuestionMarks)
{
    EXPECT_EQ(bytesFromText(QStringLiteral("Z\u00FCrich \u20AC5 \u2122 \u0416 \U0001F600")),
              "Z\xFCrich \x80"
              "5 \x99 ? ??");
    const QString text = QStringLiteral("a\u2029\u00E9\u2028\u0416\u2029");
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
