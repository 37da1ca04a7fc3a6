#include "TempDir.h"
#include "common/uCommon.h"
#include "platform/files/DosPath.h"
#include "platform/pictures/PictureFile.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using kb::common::AddressGrid;

std::string readBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sample as the run command sets it up: a copy of it on drive C: as
// c:\kb, reached through a Wine prefix of its own.
class SampleInstallation : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* sample = std::getenv("KB_SAMPLE_DIR");
        ASSERT_NE(sample, nullptr);
        m_sample = sample;
        fs::create_directories(m_scratch.path() / "drive_c");
        fs::copy(m_sample, m_scratch.path() / "drive_c/kb", fs::copy_options::recursive);
        fs::create_directories(m_scratch.path() / "wine/dosdevices");
        fs::create_directory_symlink(m_scratch.path() / "drive_c", m_scratch.path() / "wine/dosdevices/c:");
        ::setenv("WINEPREFIX", (m_scratch.path() / "wine").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("WINEPREFIX"); }

    QImage picture(const char* name) const
    {
        return QImage(QString::fromStdString((m_sample / "System" / name).string()), "BMP");
    }

    fs::path m_sample;
    kb::test::TempDir m_scratch;
};

} // namespace

TEST_F(SampleInstallation, SystemPicturesAreSmallBitmapsOfTheSizesTheWindowsUse)
{
    for (const char* name : {"P_hana02.bmp", "P_hana03.bmp", "P_ki01.bmp", "P_ko01.bmp", "P_yama01.bmp"}) {
        const QImage scene = picture(name);
        ASSERT_FALSE(scene.isNull()) << name;
        EXPECT_EQ(scene.width(), 189) << name;
        EXPECT_GE(scene.height(), 248) << name << " reaches the covered bottom of the pane";
        EXPECT_EQ(scene.format(), QImage::Format_Indexed8) << name;
    }
    EXPECT_EQ(picture("U_magic1.bmp").size(), QSize(32, 32));
    EXPECT_EQ(picture("U_pai.bmp").size(), QSize(256, 32));
}

// The game copies rows 1..31 of each 32-pixel cell: tile 0 is the empty
// cell, tiles 1..7 must be told apart by colour.
TEST_F(SampleInstallation, TileStripHoldsAnEmptyCellAndSevenDistinctTiles)
{
    const QImage strip = picture("U_pai.bmp").convertToFormat(QImage::Format_RGB32);
    const QRgb empty = strip.pixel(0, 1);
    for (int y = 1; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(strip.pixel(x, y), empty) << x << "," << y;
    }
    QSet<QRgb> centres;
    for (int tile = 1; tile <= 7; ++tile) {
        const QRgb centre = strip.pixel(tile * 32 + 16, 18);
        EXPECT_NE(centre, empty) << tile;
        centres.insert(centre);
    }
    EXPECT_EQ(centres.size(), 7);
}

TEST_F(SampleInstallation, RurizedIniNamesTheAddressFileOnDriveC)
{
    const std::string ini = readBytes(m_sample / "Data/Rurized.ini");
    const std::string firstLine = "ADDRESS_FILE=C:\\KB\\DATA\\ADDRESS.CSV\r\n";
    EXPECT_EQ(ini.substr(0, firstLine.size()), firstLine);
    EXPECT_EQ(ReadDataFileName("c:\\kb\\Data\\Rurized.ini"), "C:\\KB\\DATA\\ADDRESS.CSV");
}

TEST_F(SampleInstallation, AddressFileIsInTheProgramsOwnFormat)
{
    const std::string bytes = readBytes(m_sample / "Data/Address.csv");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find('\x1a'), std::string::npos);

    AddressGrid grid;
    LoadGridFromFile(ReadDataFileName("c:\\kb\\Data\\Rurized.ini"), grid);
    EXPECT_GE(grid.rowCount(), 18) << "the heading and about twenty addresses";
    EXPECT_EQ(grid.cell(0, 0), "Alias");
    EXPECT_EQ(grid.cell(16, 0), "Photo");
    EXPECT_EQ(grid.cell(20, 0), "Note");
    for (int column = 0; column < AddressGrid::columnCount; ++column)
        EXPECT_EQ(grid.cell(column, grid.rowCount()), "") << "trailer row, column " << column;

    bool noteWithLineBreak = false, valueWithComma = false, valueWithQuote = false;
    for (int row = 1; row < grid.rowCount(); ++row) {
        EXPECT_FALSE(grid.cell(1, row).empty()) << "every address has a name, row " << row;
        noteWithLineBreak = noteWithLineBreak || grid.cell(20, row).find('\n') != std::string_view::npos;
        for (int column = 0; column < AddressGrid::columnCount; ++column) {
            EXPECT_EQ(grid.cell(column, row).find('\r'), std::string_view::npos);
            valueWithComma = valueWithComma || grid.cell(column, row).find(',') != std::string_view::npos;
            valueWithQuote = valueWithQuote || grid.cell(column, row).find('"') != std::string_view::npos;
        }
    }
    EXPECT_TRUE(noteWithLineBreak);
    EXPECT_TRUE(valueWithComma);
    EXPECT_TRUE(valueWithQuote);

    // Written exactly as the program writes it, so a save without changes
    // gives the same bytes.
    const std::string copy = m_scratch.file("Resaved.csv");
    SaveGridToFile(copy, grid);
    EXPECT_EQ(readBytes(copy), bytes);
}

TEST_F(SampleInstallation, PhotosAreThereExceptForOneMissingAndOneAddressWithout)
{
    AddressGrid grid;
    LoadGridFromFile("c:\\kb\\Data\\Address.csv", grid);
    int shown = 0, missing = 0, without = 0;
    for (int row = 1; row < grid.rowCount(); ++row) {
        const std::string photo(grid.cell(16, row));
        if (photo.empty()) {
            ++without;
        } else if (kb::platform::dosFileExists(photo)) {
            ++shown;
            const QImage image = kb::platform::loadPictureFile(photo);
            ASSERT_FALSE(image.isNull()) << photo;
            // The address book shows a photo unscaled in a 193 x 109 panel.
            EXPECT_LE(image.width(), 193) << photo;
            EXPECT_LE(image.height(), 109) << photo;
        } else {
            ++missing;
        }
    }
    EXPECT_GE(shown, 10);
    EXPECT_EQ(missing, 1);
    EXPECT_EQ(without, 1);
}

TEST(SampleSize, WholeSampleStaysWellUnderOneMegabyte)
{
    const char* sample = std::getenv("KB_SAMPLE_DIR");
    ASSERT_NE(sample, nullptr);
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(sample)) {
        if (entry.is_regular_file())
            total += entry.file_size();
    }
    EXPECT_LT(total, 768u * 1024u);
}
