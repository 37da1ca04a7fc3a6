#include "VCard.h"

#include "platform/text/AsciiCase.h"
#include "platform/text/TextLines.h"

namespace kb::exporter {

const std::vector<std::string>* VCardProperty::parameter(std::string_view name) const
{
    for (const VCardParameter& parameter : parameters)
        if (parameter.name == name)
            return &parameter.values;
    return nullptr;
}

bool VCardProperty::hasType(std::string_view type) const
{
    for (const VCardParameter& parameter : parameters) {
        if (parameter.name != "TYPE")
            continue;
        // TYPE="voice,home" lists two types, as RFC 6350 writes them.
        for (const std::string& value : parameter.values)
            for (const std::string& listed : splitValue(value, ','))
                if (platform::equalsIgnoringAsciiCase(listed, type))
                    return true;
    }
    return false;
}

const VCardProperty* VCard::first(std::string_view name) const
{
    for (const VCardProperty& property : properties)
        if (property.name == name)
            return &property;
    return nullptr;
}

std::string escapedText(std::string_view text)
{
    std::string value;
    value.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case ',': value += "\\,"; break;
        case ';': value += "\\;"; break;
        case '\n': value += "\\n"; break;
        default: value += c;
        }
    }
    return value;
}

std::string unescapedText(std::string_view value)
{
    // Other cards write "\N" too; any other escaped character stands for itself.
    return kb::platform::withEscapesDecoded(
        value, [](char escaped) { return std::string(1, escaped == 'n' || escaped == 'N' ? '\n' : escaped); });
}

std::vector<std::string> splitValue(std::string_view value, char separator)
{
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            pieces.back() += value.substr(i, 2);
            ++i;
        } else if (value[i] == separator) {
            pieces.emplace_back();
        } else {
            pieces.back() += value[i];
        }
    }
    return pieces;
}

std::string joinedValue(const std::vector<std::string>& pieces, char separator)
{
    std::string value;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            value += separator;
        value += pieces[i];
    }
    return value;
}

} // namespace kb::exporter
