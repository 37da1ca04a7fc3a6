#include "GoToWeb.h"

#include "DesktopEntry.h"
#include "FreedesktopAssociations.h"

#include <algorithm>
#include <optional>
#include <string_view>

std::string BrowserParams;

namespace {

constexpr const char* kBrowserExtensions[] = {".HTM", ".HTML", ".SHTML", ".SHTM"};
constexpr std::string_view kShellOpenCommand = "\\shell\\open\\command";
// The registry value buffer held 1025 bytes, its terminating zero included.
constexpr std::size_t kValueBufferSize = 1025;

// The value's text up to its first zero byte. A text that would not fit the
// buffer is refused like an unreadable value rather than cut short, so that a
// truncated command is never started.
std::optional<std::string> readValue(const kb::launch::AssociationSource& associations, const std::string& keyPath)
{
    std::optional<std::string> value = associations.defaultValue(keyPath);
    if (!value)
        return std::nullopt;
    value->resize(std::min(value->find('\0'), value->size()));
    if (value->size() >= kValueBufferSize)
        return std::nullopt;
    return value;
}

std::optional<std::string> commandOf(const kb::launch::AssociationSource& associations, const std::string& keyPath)
{
    auto command = readValue(associations, keyPath);
    return command && !command->empty() ? command : std::nullopt;
}

std::optional<std::string> commandOfExtension(const kb::launch::AssociationSource& associations,
                                              const std::string& extension)
{
    const auto fileClass = readValue(associations, extension);
    if (!fileClass)
        return std::nullopt;
    if (!fileClass->empty()) {
        if (auto command = commandOf(associations, *fileClass + std::string(kShellOpenCommand)))
            return command;
    }
    return commandOf(associations, extension + std::string(kShellOpenCommand));
}

// Each percent sign goes with the character after it. The scan looks at the
// first character even in a one-character text and stops on reaching the
// last one, so a percent sign ending a longer text stays.
std::string withoutPlaceholders(std::string command)
{
    if (command.empty())
        return command;
    std::size_t i = 0;
    do {
        if (command[i] == '%')
            command.erase(i, 2);
        else
            ++i;
    } while (i + 1 < command.size());
    return command;
}

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The length of the command up to the end of its last ".EXE", ".BAT" or
// ".COM", whatever their case; nothing when it names none.
std::optional<std::size_t> endOfProgramFile(const std::string& command)
{
    for (std::size_t p = command.size(); p >= 4; --p) {
        std::string ending = command.substr(p - 4, 4);
        for (char& c : ending)
            c = upperAscii(c);
        if (ending == ".EXE" || ending == ".BAT" || ending == ".COM")
            return p;
    }
    return std::nullopt;
}

std::string trimmedOfSpaceAndControls(const std::string& text)
{
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::string FindBrowserCommand(const kb::launch::AssociationSource& associations)
{
    for (const char* extension : kBrowserExtensions) {
        if (auto command = commandOfExtension(associations, extension))
            return withoutPlaceholders(std::move(*command));
    }
    return {};
}

TGoToWeb::TGoToWeb()
    : TGoToWeb([] { return std::make_unique<const kb::launch::FreedesktopAssociations>(); },
               std::make_unique<kb::launch::DetachedProcessStarter>())
{
}

TGoToWeb::TGoToWeb(AssociationsOpener openAssociations, std::unique_ptr<kb::launch::ProgramStarter> starter)
    : FMail(AuthorMailAddress)
    , m_openAssociations(std::move(openAssociations))
    , m_starter(std::move(starter))
{
}

TGoToWeb::~TGoToWeb() = default;

void TGoToWeb::SetMail(const std::string& address)
{
    FMail = address;
}

std::string TGoToWeb::GetBrowserProgram()
{
    std::string command = FindBrowserCommand(*m_openAssociations());
    if (command.empty())
        return {};

    if (const auto p = endOfProgramFile(command)) {
        if (*p < command.size()) {
            std::string params = trimmedOfSpaceAndControls(command.substr(*p));
            // The closing quote of a quoted program path; trimming came first,
            // so a space after it stays.
            params.erase(0, std::min(params.find_first_not_of('"'), params.size()));
            BrowserParams = std::move(params);
            command.resize(*p);
        } else {
            BrowserParams.clear();
        }
        if (command.front() == '"')
            command.erase(0, 1);
        return command;
    }

    // File names are case-sensitive here and programs rarely carry those
    // suffixes: the program is the command's first word.
    auto [program, rest] = kb::launch::splitFirstDesktopArgument(command);
    if (program.empty())
        return {};
    BrowserParams = trimmedOfSpaceAndControls(rest);
    return program;
}

bool TGoToWeb::SendMail()
{
    const std::string program = GetBrowserProgram();
    if (program.empty())
        return false;

    QStringList arguments;
    for (const auto& argument : kb::launch::splitDesktopArguments(BrowserParams))
        arguments << QString::fromLocal8Bit(argument);
    // The address is one argument whatever it holds, so it can never add an
    // option of its own. It is the program's single-byte text.
    arguments << QStringLiteral("mailto:") + QString::fromLatin1(FMail.data(), static_cast<qsizetype>(FMail.size()));
    return m_starter->start(QString::fromLocal8Bit(program), arguments);
}
