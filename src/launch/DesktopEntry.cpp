#include "DesktopEntry.h"

#include "platform/files/FileErrors.h"
#include "platform/files/TextFile.h"
#include "platform/text/TextLines.h"

namespace kb::launch {
namespace {

std::string_view trimmed(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string decodeStringEscapes(std::string_view value)
{
    return kb::platform::withEscapesDecoded(value, [](char escaped) -> std::string {
        switch (escaped) {
        case 's': return " ";
        case 'n': return "\n";
        case 't': return "\t";
        case 'r': return "\r";
        case '\\': return "\\";
        default: return {'\\', escaped}; // not an escape of the format: both characters stay
        }
    });
}

bool isArgumentSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isQuotedEscape(char c)
{
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// Reads the argument that starts at or after pos and leaves pos just after
// it. Nothing when only separators are left. An unclosed quote runs to the
// end of the command.
std::optional<std::string> readArgument(std::string_view command, std::size_t& pos)
{
    while (pos < command.size() && isArgumentSeparator(command[pos]))
        ++pos;
    if (pos == command.size())
        return std::nullopt;

    std::string argument;
    bool quoted = false;
    for (; pos < command.size(); ++pos) {
        const char c = command[pos];
        if (quoted) {
            if (c == '\\' && pos + 1 < command.size() && isQuotedEscape(command[pos + 1]))
                argument += command[++pos];
            else if (c == '"')
                quoted = false;
            else
                argument += c;
        } else if (isArgumentSeparator(c)) {
            break;
        } else if (c == '"') {
            quoted = true;
        } else {
            argument += c;
        }
    }
    return argument;
}

} // namespace

DesktopFile parseDesktopFile(std::string_view text)
{
    DesktopFile file;
    DesktopGroup* group = nullptr;
    while (!text.empty()) {
        std::string_view line = trimmed(platform::takeLine(text));
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            group = close == std::string_view::npos ? nullptr : &file[std::string(line.substr(1, close - 1))];
            continue;
        }
        const auto equals = line.find('=');
        if (!group || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        if (key.empty() || key.find('[') != std::string_view::npos)
            continue;
        group->emplace(std::string(key), decodeStringEscapes(trimmed(line.substr(equals + 1))));
    }
    return file;
}

std::optional<std::string> readAssociationFile(const std::filesystem::path& file)
{
    try {
        return kb::platform::readFileBytes(kb::platform::FileName::native(file.string()), maxAssociationFileBytes);
    } catch (const kb::platform::EInOutError&) {
        return std::nullopt;
    }
}

std::optional<DesktopFile> readDesktopFile(const std::filesystem::path& file)
{
    const std::optional<std::string> text = readAssociationFile(file);
    return text ? std::optional<DesktopFile>(parseDesktopFile(*text)) : std::nullopt;
}

std::vector<std::string> splitDesktopList(std::string_view value)
{
    std::vector<std::string> items;
    while (!value.empty()) {
        const auto end = value.find(';');
        const std::string_view item = trimmed(value.substr(0, end));
        if (!item.empty())
            items.emplace_back(item);
        value.remove_prefix(end == std::string_view::npos ? value.size() : end + 1);
    }
    return items;
}

std::vector<std::string> splitDesktopArguments(std::string_view command)
{
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    while (auto argument = readArgument(command, pos))
        arguments.push_back(std::move(*argument));
    return arguments;
}

std::pair<std::string, std::string> splitFirstDesktopArgument(std::string_view command)
{
    std::size_t pos = 0;
    std::string first = readArgument(command, pos).value_or(std::string());
    return {std::move(first), std::string(command.substr(pos))};
}

} // namespace kb::launch
