#include "VCardWriter.h"

namespace kb::exporter {

namespace {

constexpr std::size_t maxLineOctets = 75;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

void appendFolded(std::string& text, std::string_view line)
{
    // The first line holds 75 octets; each continuation a space and 74 more.
    std::size_t room = maxLineOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && isContinuationByte(line[cut]))
            --cut;
        text.append(line.substr(0, cut));
        text += "\r\n ";
        line.remove_prefix(cut);
        room = maxLineOctets - 1;
    }
    text.append(line);
    text += "\r\n";
}

// A parameter value is quoted where its characters would end it early.
std::string parameterValue(const std::string& value)
{
    if (value.find_first_of(":;,") == std::string::npos)
        return value;
    return '"' + value + '"';
}

std::string contentLine(const VCardProperty& property)
{
    std::string line = property.name;
    for (const VCardParameter& parameter : property.parameters) {
        line += ';';
        line += parameter.name;
        line += '=';
        for (std::size_t i = 0; i < parameter.values.size(); ++i) {
            if (i > 0)
                line += ',';
            line += parameterValue(parameter.values[i]);
        }
    }
    line += ':';
    line += property.value;
    return line;
}

} // namespace

std::string vCardText(const VCard& card)
{
    std::string text = "BEGIN:VCARD\r\nVERSION:" + card.version + "\r\n";
    for (const VCardProperty& property : card.properties)
        appendFolded(text, contentLine(property));
    text += "END:VCARD\r\n";
    return text;
}

} // namespace kb::exporter
