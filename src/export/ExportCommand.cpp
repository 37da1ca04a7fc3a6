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

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>

namespace kb::exporter {

namespace {

constexpr char commandName[] = "kestrelbook-export";
// More than any settings file of the DOS product holds.
constexpr std::size_t maxSettingsBytes = 64 * 1024;

void report(const std::string& message)
{
    std::cerr << commandName << ": " << message << '\n';
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

common::AddressGrid readAddressFile(const std::string& path)
{
    common::AddressGrid grid;
    LoadGridFromFile(platform::FileName::native(path), grid);
    return grid;
}

class StringSink final : public platform::ByteSink {
public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

void writeOutput(const std::string& output, const std::string& text)
{
    if (!output.empty() && output != "-") {
        platform::writeFileReplacing(platform::FileName::native(output), text);
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw std::runtime_error("standard output: cannot write");
}

class Exporter {
public:
    Exporter(const platform::CodePage& codePage, DateFormat format)
        : m_codePage(codePage)
        , m_format(format)
    {
    }

    std::vector<AddressCells> addresses(const common::AddressGrid& grid)
    {
        std::vector<AddressCells> rows;
        // The trailer row too: a file whose last line holds an address keeps it there.
        for (int row = 1; row <= grid.rowCount(); ++row) {
            AddressCells cells;
            for (int c = 0; c < addressColumnCount; ++c)
                cells[c] = text(grid.cell(c, row), row, c);
            if (!isEmptyAddress(cells)) {
                rows.push_back(std::move(cells));
                m_rowNumbers.push_back(row);
                m_photoPaths.emplace_back(grid.cell(common::PhotoColumn, row));
            }
        }
        return rows;
    }

    std::string vCards(const std::vector<AddressCells>& rows)
    {
        std::string text;
        for (std::size_t i = 0; i < rows.size(); ++i)
            text += vCardText(cardOfAddress(rows[i], m_format, photo(i)));
        return text;
    }

    VCard card(const AddressCells& cells, std::size_t index) { return cardOfAddress(cells, m_format, photo(index)); }

    // The photo's path and how its file stands, which change whenever its
    // picture may have.
    std::string photoStamp(std::size_t index) const
    {
        const std::string& path = m_photoPaths[index];
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
            if ((code < 0x20 && code != '\t' && code != '\n') || code == 0x7F) {
                char name[8];
                std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned int>(code));
                report("address " + std::to_string(row) + ", " + columnLabel(c) + ": control character " + name
                       + " written as U+FFFD");
                character = QChar(0xFFFD);
            }
        }
        return cell.toStdString();
    }

    std::optional<std::string> photo(std::size_t index)
    {
        const std::string& path = m_photoPaths[index];
        if (path.empty())
            return std::nullopt;
        try {
            const QImage image = platform::loadPictureFile(platform::FileName(path));
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                throw std::runtime_error("cannot be written as PNG");
            return std::string(png.constData(), static_cast<std::size_t>(png.size()));
        } catch (const std::exception& error) {
            report("address " + std::to_string(m_rowNumbers[index]) + ": photo left out: " + error.what());
            return std::nullopt;
        }
    }

    const platform::CodePage& m_codePage;
    DateFormat m_format;
    std::vector<int> m_rowNumbers;
    std::vector<std::string> m_photoPaths; // as the file holds them: DOS names in the file's bytes
};

std::string readCardFile(const std::string& path)
{
    if (path != "-")
        return platform::readFileBytes(platform::FileName::native(path));
    std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    if (std::cin.bad())
        throw std::runtime_error("standard input: cannot read");
    return text;
}

// The cell's bytes in the code page, one '?' for each character it cannot
// hold, and which characters those were.
std::string bytesOf(const std::string& text, const platform::CodePage& codePage, std::string& unheld)
{
    const QString characters = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::string bytes;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const qsizetype length = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        const QStringView character = QStringView(characters).mid(i, length);
        const std::string byte = length == 1 ? codePage.bytesFromText(character) : "?";
        if (byte == "?" && character != QLatin1Char('?')) {
            unheld += unheld.empty() ? "" : ", ";
            unheld += '"' + character.toString().toStdString() + '"';
        }
        bytes += byte;
        i += length - 1;
    }
    return bytes;
}

void importCards(const CommandLine& line, const platform::CodePage& codePage, DateFormat format)
{
    std::vector<VCard> cards;
    try {
        cards = readVCards(readCardFile(line.cardFile));
    } catch (const VCardSyntaxError& error) {
        throw std::runtime_error(line.cardFile + ": " + error.what());
    }
    common::AddressGrid grid = readAddressFile(line.addressFile);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const ImportedAddress address = addressOfCard(cards[i], format);
        const std::string cardName = "card " + std::to_string(i + 1) + " (" + address.cells[common::NameColumn] + ")";
        for (const std::string& leftOut : address.leftOut)
            report(cardName + ": not imported, no column for " + leftOut);
        if (isEmptyAddress(address.cells)) {
            report(cardName + ": nothing the address file can hold, skipped");
            continue;
        }
        // New rows go before the trailer row, as the address book adds them.
        const int row = grid.rowCount();
        grid.insertRow(row);
        for (int c = 0; c < addressColumnCount; ++c) {
            std::string unheld;
            grid.setCell(c, row, bytesOf(address.cells[c], codePage, unheld));
            if (!unheld.empty())
                report(cardName + ", " + columnLabel(c) + ": " + unheld + " stored as \"?\"");
        }
    }
    SaveGridToFile(platform::FileName::native(line.addressFile), grid);
}

void exportAddresses(const CommandLine& line, const platform::CodePage& codePage, DateFormat format)
{
    std::error_code unknown;
    if (!line.output.empty() && line.output != "-"
        && std::filesystem::equivalent(line.output, line.addressFile, unknown))
        throw std::runtime_error(line.output + ": this is the address file itself; it is not written over");
    const common::AddressGrid grid = readAddressFile(line.addressFile);
    Exporter exporter(codePage, format);
    const std::vector<AddressCells> rows = exporter.addresses(grid);
    writeOutput(line.output,
                line.action == CommandLine::Action::ExportCsv ? addressCsv(rows, format) : exporter.vCards(rows));
}

void exportVdirFolder(const CommandLine& line, const platform::CodePage& codePage, DateFormat format)
{
    const common::AddressGrid grid = readAddressFile(line.addressFile);
    Exporter exporter(codePage, format);
    VdirSource source;
    source.rows = exporter.addresses(grid);
    source.photoStamp = [&exporter](std::size_t i) { return exporter.photoStamp(i); };
    source.card = [&](std::size_t i) { return exporter.card(source.rows[i], i); };
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
    CommandLine line;
    const platform::CodePage* codePage = nullptr;
    try {
        line = parseCommandLine(arguments);
        if (line.codePage)
            codePage = &platform::codePageNamed(*line.codePage);
    } catch (const std::exception& error) {
        report(error.what());
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
            importCards(line, *codePage, format);
        else if (line.action == CommandLine::Action::ExportVdir)
            exportVdirFolder(line, *codePage, format);
        else
            exportAddresses(line, *codePage, format);
    } catch (const std::exception& error) {
        report(error.what());
        return 1;
    }
    return 0;
}

} // namespace kb::exporter
