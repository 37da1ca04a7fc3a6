#include "ExportCommand.h"

#include "common/uCommon.h"
#include "export/AddressCard.h"
#include "export/AddressCsv.h"
#include "export/CommandLine.h"
#include "export/VCardReader.h"
#include "export/VCardWriter.h"
#include "export/VdirExport.h"
#include "platform/files/DosPath.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/FileVersion.h"
#include "platform/files/FileWriting.h"
#include "platform/files/TextFile.h"
#include "platform/pictures/PictureFile.h"
#include "platform/text/AnsiText.h"
#include "platform/text/CodePage.h"

#include <QBuffer>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace kb::exporter {

namespace {

namespace fs = std::filesystem;

constexpr char commandName[] = "kestrelbook-export";
// More than any settings file of the DOS product holds.
constexpr std::size_t maxSettingsBytes = 64 * 1024;
// Far more than any address book's cards, photos included; the cards are
// held in memory whole.
constexpr std::size_t maxCardFileBytes = std::size_t{1} << 30;

// What the user reads on standard error, and whether any of it says that
// something was left out or changed on the way (exit status 3).
class Messages {
public:
    void note(const std::string& message) { std::cerr << commandName << ": " << message << '\n'; }
    void loss(const std::string& message)
    {
        note(message);
        m_lost = true;
    }
    bool somethingLost() const { return m_lost; }

private:
    bool m_lost = false;
};

// An error that names its file and why, as the program's own errors do.
std::runtime_error openError(const std::string& path, const std::string& why)
{
    return std::runtime_error(platform::EFOpenError(path).what() + std::string(": ") + why);
}

std::runtime_error createError(const std::string& path, const std::string& why)
{
    return std::runtime_error(platform::EFCreateError(path).what() + std::string(": ") + why);
}

// The address file's directory, where the DOS product keeps its settings.
DateFormat dateFormatBeside(const std::string& addressFile)
{
    const std::string settings = platform::directoryOf(addressFile) + "/Rurized.ini";
    if (!platform::dosFileExists(settings))
        return {};
    try {
        return dateFormatOfSettings(platform::readFileBytes(platform::FileName(settings), maxSettingsBytes));
    } catch (const std::exception&) {
        return {}; // without the setting, only dates that cannot be misread are dates
    }
}

common::AddressGrid loadAddressGrid(const std::string& path)
{
    common::AddressGrid grid;
    try {
        LoadGridFromFile(platform::FileName::native(path), grid);
    } catch (const std::exception& error) {
        throw openError(path, error.what());
    }
    return grid;
}

// A stream the user names in place of a file: standard input or output, a
// pipe (<(...)), a device such as /dev/null or /dev/stdin.
bool isStream(const fs::file_status& status)
{
    return status.type() == fs::file_type::fifo || status.type() == fs::file_type::character;
}

// Where the export goes, checked before any work: a missing folder or a
// folder in the file's place is said at once, not after every photo.
class Output {
public:
    explicit Output(std::string path)
        : m_path(std::move(path))
    {
        if (m_path.empty() || m_path == "-")
            return;
        std::error_code unknown;
        const fs::file_status status = fs::status(m_path, unknown);
        if (fs::is_directory(status))
            throw createError(m_path, "it is a folder");
        m_stream = isStream(status);
        if (m_stream || fs::exists(status))
            return;
        const fs::path folder = fs::path(m_path).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, unknown))
            throw createError(m_path, "the folder " + folder.string() + " does not exist");
    }

    void write(const std::string& text) const
    {
        if (m_path.empty() || m_path == "-") {
            if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
                throw createError("standard output", platform::fileErrorText(errno, "-"));
        } else if (m_stream) {
            std::ofstream stream(m_path, std::ios::binary | std::ios::app);
            if (!stream || !stream.write(text.data(), static_cast<std::streamsize>(text.size())) || !stream.flush())
                throw createError(m_path, platform::fileErrorText(errno, m_path));
        } else {
            try {
                platform::writeFileReplacing(platform::FileName::native(m_path), text);
            } catch (const std::exception& error) {
                throw createError(m_path, error.what());
            }
        }
    }

private:
    std::string m_path;
    bool m_stream = false;
};

bool isCharacterToReplace(char16_t code)
{
    // Line breaks and tabs are kept: the address file holds them in a
    // value, and the export writes them.
    return (code < 0x20 && code != '\t' && code != '\n') || code == 0x7F;
}

// One address of the file on its way into a card or a CSV line.
struct ExportedRow {
    int row; // in the file, the heading being 0
    AddressCells cells;
    std::string photoPath; // as the file holds it: a DOS name in the file's bytes
};

class Exporter {
public:
    Exporter(const platform::CodePage& codePage, DateFormat format, Messages& messages)
        : m_codePage(codePage)
        , m_format(format)
        , m_messages(messages)
    {
    }

    std::vector<ExportedRow> rows(const common::AddressGrid& grid)
    {
        std::vector<ExportedRow> rows;
        // The trailer row too: a file whose last line holds an address keeps it there.
        for (int row = 1; row <= grid.rowCount(); ++row) {
            ExportedRow exported{row, {}, std::string(grid.cell(common::PhotoColumn, row))};
            for (int c = 0; c < addressColumnCount; ++c)
                exported.cells[c] = text(grid.cell(c, row), row, c);
            if (!isEmptyAddress(exported.cells))
                rows.push_back(std::move(exported));
        }
        return rows;
    }

    std::string vCards(const std::vector<ExportedRow>& rows)
    {
        std::string text;
        for (const ExportedRow& row : rows)
            text += vCardText(cardOfAddress(row.cells, m_format, photo(row)));
        return text;
    }

    VCard card(const ExportedRow& row) { return cardOfAddress(row.cells, m_format, photo(row)); }

    // The photo's path and how its file stands, which change whenever its
    // picture may have.
    static std::string photoStamp(const ExportedRow& row)
    {
        const std::string& path = row.photoPath;
        if (path.empty())
            return {};
        try {
            const platform::FileIdentity file =
                platform::identityOf(platform::openForReading(platform::FileName(path).nativePath()).get());
            return path + '\n' + std::to_string(file.device) + ':' + std::to_string(file.inode) + ':'
                + std::to_string(file.size) + ':' + std::to_string(file.modifiedSeconds) + '.'
                + std::to_string(file.modifiedNanoseconds);
        } catch (const std::exception&) {
            return path + "\nmissing";
        }
    }

    // A card of every column filled in: it differs whenever the cards' form
    // or the date order does.
    std::string cardForm() const
    {
        AddressCells probe;
        probe.fill("01/02/2003");
        return vCardText(cardOfAddress(probe, m_format, std::string("\x89PNG")));
    }

private:
    // The cell as UTF-8. Control characters have no place in a card and
    // would end a line in a CSV reader: each becomes U+FFFD, with a word to
    // the user.
    std::string text(std::string_view bytes, int row, int c)
    {
        QString cell = m_codePage.textFromBytes(bytes);
        for (QChar& character : cell) {
            const char16_t code = character.unicode();
            if (isCharacterToReplace(code)) {
                char name[8];
                std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned int>(code));
                m_messages.loss("address " + std::to_string(row) + ", " + columnLabel(c) + ": control character " + name
                                + " written as U+FFFD");
                character = QChar(0xFFFD);
            }
        }
        return cell.toStdString();
    }

    std::optional<std::string> photo(const ExportedRow& row)
    {
        if (row.photoPath.empty())
            return std::nullopt;
        try {
            const QImage image = platform::loadPictureFile(platform::FileName(row.photoPath));
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                throw std::runtime_error("cannot be written as PNG");
            return std::string(png.constData(), static_cast<std::size_t>(png.size()));
        } catch (const std::exception& error) {
            m_messages.loss("address " + std::to_string(row.row) + ": photo left out: " + error.what());
            return std::nullopt;
        }
    }

    const platform::CodePage& m_codePage;
    DateFormat m_format;
    Messages& m_messages;
};

std::string readStream(std::istream& stream, const std::string& name)
{
    std::string text;
    char buffer[64 * 1024];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (text.size() > maxCardFileBytes)
            throw openError(name, "it holds more than 1 GiB");
    }
    if (stream.bad())
        throw openError(name, platform::fileErrorText(errno, name));
    return text;
}

// The cards of a file, of standard input ("-"), or of a pipe or device
// named like a file, as /dev/stdin and <(...) name them.
std::string readCardFile(const std::string& path)
{
    if (path == "-")
        return readStream(std::cin, "standard input");
    std::error_code unknown;
    const fs::file_status status = fs::status(path, unknown);
    if (fs::is_directory(status))
        throw openError(path, "it is a folder");
    if (isStream(status)) {
        std::ifstream stream(path, std::ios::binary);
        if (!stream)
            throw openError(path, platform::fileErrorText(errno, path));
        return readStream(stream, path);
    }
    try {
        return platform::readFileBytes(platform::FileName::native(path), maxCardFileBytes);
    } catch (const std::exception& error) {
        throw openError(path, error.what());
    }
}

// The cell's bytes in the code page. The text is composed first (NFC), so
// that "e" and a combining accent become the "é" the code page has. A
// character it cannot hold is stored as '?', and so is a control character,
// which has no place in the DOS file; unheld and controls say which.
std::string bytesOf(const std::string& text, const platform::CodePage& codePage, std::string& unheld,
                    std::string& controls)
{
    QString characters = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    characters.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    characters = characters.normalized(QString::NormalizationForm_C);
    std::string bytes;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const qsizetype length = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        const QStringView character = QStringView(characters).mid(i, length);
        i += length - 1;
        if (length == 1 && isCharacterToReplace(character[0].unicode())) {
            char name[8];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned int>(character[0].unicode()));
            controls += controls.empty() ? "" : ", ";
            controls += name;
            bytes += '?';
            continue;
        }
        const std::string byte = length == 1 ? codePage.bytesFromText(character) : "?";
        if (byte == "?" && character != QLatin1Char('?')) {
            unheld += unheld.empty() ? "" : ", ";
            unheld += '"' + character.toString().toStdString() + '"';
        }
        bytes += byte;
    }
    return bytes;
}

bool isReadableVersion(const std::string& version)
{
    return version == "2.1" || version == "3.0" || version == "4.0";
}

void importCards(const CommandLine& line, const platform::CodePage& codePage, DateFormat format, Messages& messages)
{
    std::vector<VCard> cards;
    try {
        cards = readVCards(readCardFile(line.cardFile));
    } catch (const VCardSyntaxError& error) {
        throw std::runtime_error(line.cardFile + ": " + error.what() + "; nothing imported");
    }
    if (cards.empty())
        throw std::runtime_error(line.cardFile + ": no cards in it (BEGIN:VCARD ... END:VCARD); nothing imported");
    common::AddressGrid grid = loadAddressGrid(line.addressFile);
    std::size_t imported = 0;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const VCard& card = cards[i];
        const ImportedAddress address = addressOfCard(card, format);
        std::string shownName = address.cells[common::NameColumn];
        // A control character would act on the user's terminal.
        std::replace_if(
            shownName.begin(), shownName.end(),
            [](char c) { return isCharacterToReplace(static_cast<unsigned char>(c)); }, '?');
        const std::string cardName =
            "card " + std::to_string(i + 1) + " (line " + std::to_string(card.line) + ", " + shownName + ")";
        if (!isReadableVersion(card.version)) {
            if (!card.version.empty()) {
                messages.loss(cardName + ": vCard " + card.version + " is no version the import reads, skipped");
                continue;
            }
            messages.note(cardName + ": no VERSION, read as vCard 3.0");
        }
        for (const std::string& unread : card.unread)
            messages.loss(cardName + ": " + unread);
        for (const std::string& leftOut : address.leftOut)
            messages.loss(cardName + ": not imported, no column for " + leftOut);
        if (isEmptyAddress(address.cells)) {
            messages.loss(cardName + ": nothing the address file can hold, skipped");
            continue;
        }
        // New rows go before the trailer row, as the address book adds them.
        const int row = grid.rowCount();
        grid.insertRow(row);
        ++imported;
        for (int c = 0; c < addressColumnCount; ++c) {
            std::string unheld;
            std::string controls;
            grid.setCell(c, row, bytesOf(address.cells[c], codePage, unheld, controls));
            if (!unheld.empty())
                messages.loss(cardName + ", " + columnLabel(c) + ": " + unheld + " stored as \"?\"");
            if (!controls.empty())
                messages.loss(cardName + ", " + columnLabel(c) + ": control character " + controls
                              + " stored as \"?\"");
        }
    }
    if (imported == 0)
        return; // the file stays as it was
    try {
        SaveGridToFile(platform::FileName::native(line.addressFile), grid);
    } catch (const std::exception& error) {
        throw createError(line.addressFile, error.what() + std::string("; nothing imported"));
    }
}

void exportAddresses(const CommandLine& line, const platform::CodePage& codePage, DateFormat format, Messages& messages)
{
    std::error_code unknown;
    if (!line.output.empty() && line.output != "-" && fs::equivalent(line.output, line.addressFile, unknown))
        throw std::runtime_error(line.output + ": this is the address file itself; it is not written over");
    const Output output(line.output);
    const common::AddressGrid grid = loadAddressGrid(line.addressFile);
    Exporter exporter(codePage, format, messages);
    const std::vector<ExportedRow> rows = exporter.rows(grid);
    if (line.action != CommandLine::Action::ExportCsv) {
        output.write(exporter.vCards(rows));
        return;
    }
    std::vector<AddressCells> addresses;
    addresses.reserve(rows.size());
    for (const ExportedRow& row : rows)
        addresses.push_back(row.cells);
    output.write(addressCsv(addresses, format, line.csvForm));
}

void exportVdirFolder(const CommandLine& line, const platform::CodePage& codePage, DateFormat format,
                      Messages& messages)
{
    const common::AddressGrid grid = loadAddressGrid(line.addressFile);
    Exporter exporter(codePage, format, messages);
    const std::vector<ExportedRow> rows = exporter.rows(grid);
    VdirSource source;
    source.rows.reserve(rows.size());
    for (const ExportedRow& row : rows)
        source.rows.push_back(row.cells);
    source.photoStamp = [&rows](std::size_t i) { return Exporter::photoStamp(rows[i]); };
    source.card = [&](std::size_t i) { return exporter.card(rows[i]); };
    source.form = exporter.cardForm();
    VdirChanges changes;
    try {
        changes = exportVdir(line.vdirDirectory, source);
    } catch (const platform::EInOutError& error) {
        // The file layer's texts name no file.
        throw std::runtime_error(line.vdirDirectory + ": " + error.what());
    }
    std::cout << line.vdirDirectory << ": " << changes.written << " written, " << changes.removed << " removed, "
              << changes.unchanged << " unchanged\n";
}

} // namespace

int runExportCommand(const std::vector<std::string>& arguments)
{
    Messages messages;
    CommandLine line;
    const platform::CodePage* codePage = nullptr;
    try {
        line = parseCommandLine(arguments);
        if (line.codePage)
            codePage = &platform::codePageNamed(*line.codePage);
    } catch (const std::exception& error) {
        messages.note(error.what());
        std::cerr << "Try '" << commandName << " --help' for more information.\n";
        return 2;
    }
    if (line.action == CommandLine::Action::Help) {
        std::cout << usageText();
        return 0;
    }
    if (line.action == CommandLine::Action::Version) {
        std::cout << commandName << " (Kestrelbook 98) " << KB_VERSION << '\n';
        return 0;
    }
    if (!codePage) {
        platform::chooseAnsiCodePage();
        codePage = &platform::ansiCodePage();
    }
    const DateFormat format = dateFormatBeside(line.addressFile);
    try {
        if (line.action == CommandLine::Action::Import)
            importCards(line, *codePage, format, messages);
        else if (line.action == CommandLine::Action::ExportVdir)
            exportVdirFolder(line, *codePage, format, messages);
        else
            exportAddresses(line, *codePage, format, messages);
    } catch (const std::exception& error) {
        messages.note(error.what());
        return 1;
    }
    return messages.somethingLost() ? 3 : 0;
}

} // namespace kb::exporter
