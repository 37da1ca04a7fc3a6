#include "VCardReader.h"

#include "export/TransferEncoding.h"
#include "platform/text/AsciiCase.h"
#include "platform/text/TextLines.h"

#include <algorithm>

#include <string>

namespace kb::exporter {

namespace {

struct LogicalLine {
    std::size_t number; // of its first physical line, from 1
    std::string text;
};

[[noreturn]] void fail(std::size_t lineNumber, const std::string& what)
{
    throw VCardSyntaxError("line " + std::to_string(lineNumber) + ": " + what);
}

// Whether a quoted-printable value ends in a soft line break, "=" at the end
// of the line, so that the next line goes on with it (vCard 2.1).
bool endsInSoftLineBreak(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon != std::string_view::npos && line.back() == '='
        && platform::asciiUppered(line.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

std::vector<LogicalLine> unfoldedLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<LogicalLine> lines;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::string_view line = platform::takeLine(text);
        std::string* previous = lines.empty() ? nullptr : &lines.back().text;
        if (previous && endsInSoftLineBreak(*previous) && !platform::equalsIgnoringAsciiCase(line, "END:VCARD")) {
            previous->pop_back();
            previous->append(line);
        } else if (previous && !line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            previous->append(line.substr(1));
        } else {
            lines.push_back({number, std::string(line)});
        }
    }
    return lines;
}

// name *(";" param) ":" value, with parameter values that may be quoted.
VCardProperty parsedProperty(const LogicalLine& line)
{
    const std::string& text = line.text;
    VCardProperty property;
    std::size_t i = text.find_first_of(";:");
    if (i == std::string::npos)
        fail(line.number, "no colon after the property name");
    std::string name = text.substr(0, i);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos)
        name.erase(0, dot + 1);
    if (name.empty())
        fail(line.number, "a property without a name");
    property.name = platform::asciiUppered(name);
    while (text[i] == ';') {
        ++i;
        const std::size_t nameEnd = text.find_first_of("=;:", i);
        if (nameEnd == std::string::npos)
            fail(line.number, "no colon after the parameters");
        VCardParameter parameter;
        if (text[nameEnd] != '=') {
            // A bare value, as vCard 2.1 writes TEL;HOME: it names a type.
            parameter.name = "TYPE";
            parameter.values.push_back(text.substr(i, nameEnd - i));
            property.parameters.push_back(std::move(parameter));
            i = nameEnd;
            continue;
        }
        parameter.name = platform::asciiUppered(std::string_view(text).substr(i, nameEnd - i));
        i = nameEnd;
        do {
            ++i; // past '=' or ','
            std::string value;
            if (i < text.size() && text[i] == '"') {
                const std::size_t close = text.find('"', i + 1);
                if (close == std::string::npos)
                    fail(line.number, "a parameter value without its closing quote");
                value = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const std::size_t end = text.find_first_of(",;:", i);
                if (end == std::string::npos)
                    fail(line.number, "no colon after the parameters");
                value = text.substr(i, end - i);
                i = end;
            }
            parameter.values.push_back(std::move(value));
        } while (i < text.size() && text[i] == ',');
        property.parameters.push_back(std::move(parameter));
        if (i >= text.size())
            fail(line.number, "no colon after the parameters");
    }
    if (text[i] != ':')
        fail(line.number, "no colon after the parameters");
    property.value = text.substr(i + 1);
    return property;
}

bool isEncodingName(std::string_view value)
{
    for (const char* name : {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"})
        if (platform::equalsIgnoringAsciiCase(value, name))
            return true;
    return false;
}

// Binary values, such as a photo, stay in their encoding: no column takes them.
bool holdsBinary(const VCardProperty& property)
{
    const std::string& name = property.name;
    return name == "PHOTO" || name == "LOGO" || name == "SOUND" || name == "KEY";
}

// The property's value as text: its encoding undone (ENCODING=b,
// QUOTED-PRINTABLE, BASE64, also written as vCard 2.1's bare parameters) and
// its CHARSET turned into UTF-8, with those parameters taken off. What it
// cannot decode is said in card.unread and the property left out.
std::optional<VCardProperty> decoded(VCardProperty property, const LogicalLine& line, VCard& card)
{
    if (!isValidUtf8(property.name))
        fail(line.number, "the text is not UTF-8");
    for (const VCardParameter& parameter : property.parameters)
        for (const std::string& value : parameter.values)
            if (!isValidUtf8(value))
                fail(line.number, "the text is not UTF-8");
    if (holdsBinary(property))
        return property;
    std::string encoding;
    std::optional<std::string> charset;
    auto& parameters = property.parameters;
    parameters.erase(std::remove_if(parameters.begin(), parameters.end(),
                                    [&](const VCardParameter& parameter) {
                                        if (parameter.values.size() != 1)
                                            return false;
                                        const std::string& value = parameter.values.front();
                                        if (parameter.name == "CHARSET")
                                            charset = value;
                                        else if (parameter.name == "ENCODING"
                                                 || (parameter.name == "TYPE" && isEncodingName(value)))
                                            encoding = platform::asciiUppered(value);
                                        else
                                            return false;
                                        return true;
                                    }),
                     parameters.end());
    const auto unread = [&](const std::string& why) {
        card.unread.push_back(property.name + ": " + why);
        return std::nullopt;
    };
    std::optional<std::string> bytes = property.value;
    if (encoding == "QUOTED-PRINTABLE")
        bytes = quotedPrintableDecoded(property.value);
    else if (encoding == "B" || encoding == "BASE64")
        bytes = base64Decoded(property.value);
    if (!bytes)
        return unread("its " + encoding + " text is broken, so it is left out");
    if (charset) {
        std::optional<std::string> text = utf8FromCharset(*charset, *bytes);
        if (!text)
            return unread("its text is not " + *charset + " or that character set is unknown here, so it is left out");
        property.value = std::move(*text);
    } else if (isValidUtf8(*bytes)) {
        property.value = std::move(*bytes);
    } else if (encoding.empty()) {
        fail(line.number, "the text is not UTF-8");
    } else {
        return unread("its decoded text is not UTF-8, so it is left out");
    }
    return property;
}

} // namespace

std::vector<VCard> readVCards(std::string_view text)
{
    std::vector<VCard> cards;
    bool inCard = false;
    std::size_t cardLine = 0;
    int nested = 0; // vCard 2.1 may hold a card inside a property (AGENT)
    for (const LogicalLine& line : unfoldedLines(text)) {
        if (line.text.find_first_not_of(" \t") == std::string::npos)
            continue;
        VCardProperty property = parsedProperty(line);
        const std::string value = platform::asciiUppered(property.value);
        if (property.name == "BEGIN" && value == "VCARD") {
            if (inCard) {
                if (nested++ == 0)
                    cards.back().unread.push_back("the card inside it (line " + std::to_string(line.number)
                                                  + ") is left out");
            } else {
                inCard = true;
                cardLine = line.number;
                cards.emplace_back();
                cards.back().line = line.number;
            }
            continue;
        }
        if (!inCard)
            fail(line.number, "text outside BEGIN:VCARD and END:VCARD");
        if (property.name == "END" && value == "VCARD") {
            if (nested > 0)
                --nested;
            else
                inCard = false;
            continue;
        }
        if (nested > 0)
            continue;
        if (property.name == "VERSION") {
            cards.back().version = property.value;
        } else if (std::optional<VCardProperty> readable = decoded(std::move(property), line, cards.back())) {
            cards.back().properties.push_back(std::move(*readable));
        }
    }
    if (inCard)
        fail(cardLine, "the card that begins here has no END:VCARD");
    return cards;
}

} // namespace kb::exporter
