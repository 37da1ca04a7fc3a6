#include "DosInstallation.h"

#include <QImage>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace kb::test {

DosInstallation::DosInstallation()
{
    std::filesystem::create_directories(root() / "System");
    std::filesystem::create_directories(root() / "Data");
    std::filesystem::create_directories(workDir());
    std::filesystem::create_directories(m_dir.path() / "wine/dosdevices");
    std::filesystem::create_directory_symlink(m_dir.path() / "drive_c", m_dir.path() / "wine/dosdevices/c:");

    for (const auto& [name, colour] : pictureColours()) {
        QImage picture(189, 250, QImage::Format_RGB32);
        picture.fill(colour);
        picture.save(QString::fromStdString((root() / "System" / name).string()), "BMP");
    }
    // The game's tile strip (empty cell and seven colours) and its emblem.
    QImage strip(256, 32, QImage::Format_RGB32);
    for (int tile = 0; tile < 8; ++tile)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                strip.setPixelColor(tile * 32 + x, y, QColor::fromHsv(tile * 45, 200, tile ? 220 : 0));
    strip.save(QString::fromStdString((root() / "System/U_pai.bmp").string()), "BMP");
    QImage emblem(32, 32, QImage::Format_RGB32);
    emblem.fill(Qt::yellow);
    emblem.save(QString::fromStdString((root() / "System/U_magic1.bmp").string()), "BMP");

    writeFile(root() / "Data/Rurized.ini", "ADDRESS_FILE=C:\\KB\\DATA\\ADDRESS.CSV\r\nOTHER=1\r\n");
    writeFile(root() / "Data/Address.csv",
              "Alias,Name" + std::string(20, ',')
                  + "\r\n"
                    "ann,Ann Example"
                  + std::string(20, ',') + "\r\n" + std::string(21, ',') + "\r\n");
    writeIni("DataFileName=c:\\kb\r\n");

    if (const char* prefix = std::getenv("WINEPREFIX")) {
        m_hadPrefix = true;
        m_previousPrefix = prefix;
    }
    ::setenv("WINEPREFIX", (m_dir.path() / "wine").c_str(), 1);
}

DosInstallation::~DosInstallation()
{
    if (m_hadPrefix)
        ::setenv("WINEPREFIX", m_previousPrefix.c_str(), 1);
    else
        ::unsetenv("WINEPREFIX");
}

const std::map<std::string, QColor>& DosInstallation::pictureColours()
{
    static const std::map<std::string, QColor> colours{
        {"P_hana02.bmp", QColor(200, 0, 0)}, {"P_hana03.bmp", QColor(0, 200, 0)},   {"P_ki01.bmp", QColor(0, 0, 200)},
        {"P_ko01.bmp", QColor(200, 200, 0)}, {"P_yama01.bmp", QColor(0, 200, 200)},
    };
    return colours;
}

std::string DosInstallation::readWorkFile(std::string_view name) const
{
    std::ifstream in(workDir() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DosInstallation::writeIni(std::string_view bytes) const
{
    writeFile(workDir() / "Kestrelbook.Ini", bytes);
}

void DosInstallation::writeFile(const std::filesystem::path& path, std::string_view bytes) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace kb::test
