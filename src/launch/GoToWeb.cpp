#include "GoToWeb.h"

#include "launch/DesktopEntry.h"
#include "launch/FreedesktopAssociations.h"
#include "platform/text/AnsiText.h"
#include "platform/text/AsciiCase.h"

#include <algorithm>
#include <optional>
#include <string_view>

std::string BrowserParams;

namespace {

constexpr const char* browserExtensions[] = {".HTM", ".HTML", ".SHTML", ".SHTM"};
constexpr std::string_view shellOpenCommand = "\\shell\\open\\command";
// The desktop's default mail program, where the registry keeps it.
const std::string mailProgramCommand = "mailto" + std::string(shellOpenCommand);
// The registry value buffer held 1025 bytes, its terminating zero included.
constexpr std::size_t valueBufferSize = 1025;

// The value's text up to its first zero byte. A text that would not fit the
// buffer is refused like an unreadable value rather than cut short, so that a
// truncated command is never started.
std::optional<std::string> readValue(const kb::launch::AssociationSource& associations, const std::string& keyPath)
{
    std::optional<std::string> value = associations.defaultValue(keyPath);
    if (!value)
        return std::nullopt;
    value->resize(std::min(value->find('\0'), value->size()));
    if (value->size() >= valueBufferSize)
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
        if (auto command = commandOf(associations, *fileClass + std::string(shellOpenCommand)))
            return command;
    }
    return commandOf(associations, extension + std::string(shellOpenCommand));
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

// The length of the command up to the end of its last ".EXE", ".BAT" or
// ".COM", whatever their case; nothing when it names none.
std::optional<std::size_t> endOfProgramFile(const std::string& command)
{
    for (std::size_t p = command.size(); p >= 4; --p) {
        const std::string_view ending = std::string_view(command).substr(p - 4, 4);
        for (const std::string_view suffix : {".EXE", ".BAT", ".COM"}) {
            if (kb::platform::equalsIgnoringAsciiCase(ending, suffix))
                return p;
        }
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

struct ProgramAndArguments {
    std::string program;
    std::string arguments;
};

// Splits a command into its program file and the program's own arguments.
// A command naming a ".EXE", ".BAT" or ".COM" file splits after the last of
// them; any other after its first word. Nothing when it names no program.
std::optional<ProgramAndArguments> splitCommand(std::string command)
{
    if (const auto p = endOfProgramFile(command)) {
        std::string arguments;
        if (*p < command.size()) {
            arguments = trimmedOfSpaceAndControls(command.substr(*p));
            // The closing quote of a quoted program path; trimming came first,
            // so a space after it stays.
            arguments.erase(0, std::min(arguments.find_first_not_of('"'), arguments.size()));
            command.resize(*p);
        }
        if (command.front() == '"')
            command.erase(0, 1);
        return ProgramAndArguments{std::move(command), std::move(arguments)};
    }

    // File names are case-sensitive here and programs rarely carry those
    // suffixes: the program is the command's first word.
    auto [program, rest] = kb::launch::splitFirstDesktopArgument(command);
    if (program.empty())
        return std::nullopt;
    return ProgramAndArguments{std::move(program), trimmedOfSpaceAndControls(rest)};
}

} // namespace

std::string FindBrowserCommand(const kb::launch::AssociationSource& associations)
{
    for (const char* extension : browserExtensions) {
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
    : FMail(authorMailAddress)
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
    return browserProgram(*m_openAssociations());
}

std::string TGoToWeb::browserProgram(const kb::launch::AssociationSource& associations)
{
    const std::string command = FindBrowserCommand(associations);
    if (command.empty())
        return {};
    auto split = splitCommand(command);
    if (!split)
        return {};
    BrowserParams = std::move(split->arguments);
    return std::move(split->program);
}

bool TGoToWeb::SendMail()
{
    const auto associations = m_openAssociations();
    // A mail program the desktop names is what writing a mail means here;
    // browsers may drop a mailto argument without a word.
    if (const auto mailCommand = commandOf(*associations, mailProgramCommand)) {
        const auto mailProgram = splitCommand(withoutPlaceholders(*mailCommand));
        return mailProgram && startWithAddress(mailProgram->program, mailProgram->arguments);
    }

    const std::string program = browserProgram(*associations);
    if (program.empty())
        return false;
    return startWithAddress(program, BrowserParams);
}

bool TGoToWeb::startWithAddress(const std::string& program, const std::string& ownArguments)
{
    QStringList arguments;
    for (const auto& argument : kb::launch::splitDesktopArguments(ownArguments))
        arguments << QString::fromLocal8Bit(argument);
    // The address is one argument whatever it holds, so it can never add an
    // option of its own, and it is percent-encoded, so that it can only ever
    // be an address: never a header such as "?attach=" or "&body=".
    arguments << QStringLiteral("mailto:") + kb::launch::mailtoAddressPart(kb::platform::textFromBytes(FMail));
    return m_starter->start(QString::fromLocal8Bit(program), arguments);
}

namespace kb::launch {

QString mailtoAddressPart(const QString& address)
{
    // What a mailto: URL's address part may hold as it is: the unreserved
    // characters and the delimiters that cannot start a header.
    static const QByteArray keptAsTheyAre = QByteArrayLiteral("-._~!$'()*+,;:@");
    return QString::fromLatin1(address.toUtf8().toPercentEncoding(keptAsTheyAre));
}

MailSenderFactory goToWebFactory()
{
    return [] { return std::make_unique<TGoToWeb>(); };
}

} // namespace kb::launch
