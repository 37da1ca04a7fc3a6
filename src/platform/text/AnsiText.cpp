#include "AnsiText.h"

#include "platform/text/AsciiCase.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace kb::platform {

namespace {

struct LanguageCodePage {
    std::string_view language;
    std::string_view codePage;
};

// The languages whose Windows locales have an ANSI code page other than
// Windows-1252. Languages of double-byte code pages stay on Windows-1252: the
// program has no notion of wide text.
constexpr LanguageCodePage nonWesternLanguages[] = {
    {"bs", "cp1250"},  {"cs", "cp1250"}, {"hr", "cp1250"}, {"hu", "cp1250"}, {"pl", "cp1250"}, {"ro", "cp1250"},
    {"sk", "cp1250"},  {"sl", "cp1250"}, {"sq", "cp1250"}, {"ba", "cp1251"}, {"be", "cp1251"}, {"bg", "cp1251"},
    {"kk", "cp1251"},  {"ky", "cp1251"}, {"mk", "cp1251"}, {"mn", "cp1251"}, {"ru", "cp1251"}, {"sah", "cp1251"},
    {"sr", "cp1251"},  {"tg", "cp1251"}, {"tt", "cp1251"}, {"uk", "cp1251"}, {"el", "cp1253"}, {"az", "cp1254"},
    {"tr", "cp1254"},  {"uz", "cp1254"}, {"he", "cp1255"}, {"iw", "cp1255"}, {"yi", "cp1255"}, {"ar", "cp1256"},
    {"ckb", "cp1256"}, {"fa", "cp1256"}, {"ug", "cp1256"}, {"ur", "cp1256"}, {"et", "cp1257"}, {"lt", "cp1257"},
    {"lv", "cp1257"},  {"th", "cp874"},  {"vi", "cp1258"},
};

// Where a language is written in two scripts, the locale's modifier names
// the one Windows would not default to.
struct ScriptCodePage {
    std::string_view language;
    std::string_view modifier;
    std::string_view codePage;
};

constexpr ScriptCodePage otherScripts[] = {
    {"sr", "latin", "cp1250"},
    {"uz", "cyrillic", "cp1251"},
};

std::string_view languageOf(std::string_view locale)
{
    return locale.substr(0, locale.find_first_of("_.@"));
}

std::string_view modifierOf(std::string_view locale)
{
    const auto at = locale.find('@');
    return at == std::string_view::npos ? std::string_view() : locale.substr(at + 1);
}

std::string_view ansiCodePageNameOf(std::string_view locale)
{
    const std::string language = asciiLowered(languageOf(locale));
    const std::string modifier = asciiLowered(modifierOf(locale));
    for (const ScriptCodePage& script : otherScripts)
        if (script.language == language && script.modifier == modifier)
            return script.codePage;
    const auto found = std::find_if(std::begin(nonWesternLanguages), std::end(nonWesternLanguages),
                                    [&language](const LanguageCodePage& entry) { return entry.language == language; });
    return found == std::end(nonWesternLanguages) ? "cp1252" : found->codePage;
}

const CodePage* chosenCodePage = nullptr;

} // namespace

const CodePage& ansiCodePageOfLocale(std::string_view locale)
{
    return codePageNamed(ansiCodePageNameOf(locale));
}

void chooseAnsiCodePage()
{
    std::string_view locale;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    useAnsiCodePage(ansiCodePageOfLocale(locale));
}

void useAnsiCodePage(const CodePage& codePage)
{
    chosenCodePage = &codePage;
}

const CodePage& ansiCodePage()
{
    return chosenCodePage ? *chosenCodePage : codePageNamed("cp1252");
}

QString textFromBytes(std::string_view bytes)
{
    return ansiCodePage().textFromBytes(bytes);
}

std::string bytesFromText(QStringView text)
{
    return ansiCodePage().bytesFromText(text);
}

std::string bytesFromDocumentText(QStringView text, std::string_view lineBreak)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(text.size()) / 32);
    const auto isLineBreak = [](QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
    auto lineStart = text.cbegin();
    for (;;) {
        const auto lineEnd = std::find_if(lineStart, text.cend(), isLineBreak);
        bytes += bytesFromText(QStringView(lineStart, lineEnd));
        if (lineEnd == text.cend())
            return bytes;
        bytes += lineBreak;
        lineStart = lineEnd + 1;
    }
}

} // namespace kb::platform
