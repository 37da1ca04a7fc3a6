#include "VCardReader.h"

#include "platform/text/AsciiCase.h"

#include <string>

namespace kb::exporter {

namespace {

// The length of the UTF-8 sequence at text[i], or 0 where it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned int lowest = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, lowest = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, lowest = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, lowest = 0x10000;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    unsigned int codePoint = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < lowest || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

struct LogicalLine {
    std::size_t number; // of its first physical line, from 1
    std::string text;
};

[[noreturn]] void fail(std::size_t lineNumber, const std::string& what)
{
    throw VCardSyntaxError("line " + std::to_string(lineNumber) + ": " + what);
}

std::vector<LogicalLine> unfoldedLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<LogicalLine> lines;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        for (std::size_t i = 0; i < line.size();) {
            const std::size_t length = utf8SequenceLength(line, i);
            if (length == 0)
                fail(number, "the text is not UTF-8");
            i += length;
        }
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty())
            lines.back().text.append(line.substr(1));
        else
            lines.push_back({number, std::string(line)});
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
                ++nested;
            } else {
                inCard = true;
                cardLine = line.number;
                cards.emplace_back();
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
        if (property.name == "VERSION")
            cards.back().version = property.value;
        else
            cards.back().properties.push_back(std::move(property));
    }
    if (inCard)
        fail(cardLine, "the card that begins here has no END:VCARD");
    return cards;
}

} // namespace kb::exporter
