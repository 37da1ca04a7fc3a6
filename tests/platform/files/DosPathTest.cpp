#include "platform/files/DosPath.h"
#include "FileErrorText.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileName.h"
#include "platform/files/TextFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using kb::platform::resolveDosPath;

class DosPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "prefix/dosdevices");
        std::filesystem::create_directory_symlink(dir.path() / "drive", dir.path() / "prefix/dosdevices/c:");
        dir.write("drive/KB/Data/Address.csv", "x");
        dir.write("drive/KB/Kestrelbook.Ini", "DataFileName=c:\\kb\r\n");
        setenv("WINEPREFIX", (dir.path() / "prefix").c_str(), 1);
    }
    void TearDown() override { unsetenv("WINEPREFIX"); }

    kb::test::TempDir dir;
};

TEST_F(DosPathTest, DriveLettersBackslashesAndCaseFindTheFile)
{
    const std::string expected = (dir.path() / "prefix/dosdevices/c:/KB/Data/Address.csv").string();
    EXPECT_EQ(resolveDosPath("C:\\KB\\DATA\\ADDRESS.CSV"), expected);
    EXPECT_EQ(resolveDosPath("c:\\kb\\data\\address.csv"), expected);
    EXPECT_EQ(resolveDosPath("c:/kb//Data\\\\address.csv"), expected);
    EXPECT_TRUE(kb::platform::dosFileExists("c:\\kb\\kestrelbook.ini"));
    EXPECT_FALSE(kb::platform::dosFileExists("c:\\kb\\data"));
}

TEST_F(DosPathTest, RelativeNamesAndTheHomeDirectory)
{
    kb::test::WorkingDirectory cwd(dir.path() / "drive/KB");
    EXPECT_EQ(resolveDosPath("kestrelbook.ini"), "Kestrelbook.Ini");
    EXPECT_EQ(resolveDosPath("data\\ADDRESS.csv"), "Data/Address.csv");
    const std::string home = std::getenv("HOME");
    setenv("HOME", (dir.path() / "drive").c_str(), 1);
    EXPECT_EQ(resolveDosPath("~\\kb\\DATA"), (dir.path() / "drive/KB/Data").string());
    setenv("HOME", home.c_str(), 1);
}

TEST_F(DosPathTest, OpeningErrorsTellWhichPartIsMissing)
{
    EXPECT_EQ(errorOf([] { kb::platform::TextFileReader("c:\\kb\\data\\none.csv"); }), "File not found");
    EXPECT_EQ(errorOf([] { kb::platform::TextFileReader("c:\\kb\\nodir\\none.csv"); }), "Invalid filename");
    EXPECT_EQ(errorOf([] { kb::platform::TextFileReader("d:\\kb\\Kestrelbook.Ini"); }), "Invalid filename");
    EXPECT_EQ(errorOf([] { kb::platform::TextFileReader(""); }), "Invalid filename");
    EXPECT_EQ(errorOf([] { kb::platform::TextFileReader("c:\\kb\\Kestrelbook.Ini\\x"); }), "Invalid filename");
    EXPECT_EQ(errorOf([] { kb::platform::TextFileReader("c:\\kb\\data"); }), "File access denied");
}

TEST_F(DosPathTest, ChosenFilesUnderADriveGetTheirDosForm)
{
    using kb::platform::dosFormOf;
    const std::string throughLink = (dir.path() / "prefix/dosdevices/c:/KB/Data/Address.csv").string();
    const std::string throughTarget = (dir.path() / "drive/KB/Data/Address.csv").string();
    EXPECT_EQ(dosFormOf(throughLink), "C:\\KB\\Data\\Address.csv");
    EXPECT_EQ(dosFormOf(throughTarget), "C:\\KB\\Data\\Address.csv");
    EXPECT_EQ(dosFormOf("/elsewhere/Anna.bmp"), "/elsewhere/Anna.bmp");

    // A drive for the whole disk, as Wine makes "Z:", yields to the deeper "C:".
    std::filesystem::create_directory_symlink("/", dir.path() / "prefix/dosdevices/z:");
    EXPECT_EQ(dosFormOf("/elsewhere/Anna.bmp"), "Z:\\elsewhere\\Anna.bmp");
    EXPECT_EQ(dosFormOf(throughTarget), "C:\\KB\\Data\\Address.csv");
    EXPECT_EQ(dosFormOf("/elsewhere/back\\slash.bmp"), "/elsewhere/back\\slash.bmp");
}

TEST(FileErrorTextTest, MapsErrnoToTheDosWording)
{
    using kb::platform::fileErrorText;
    EXPECT_EQ(fileErrorText(EACCES, "/x"), "File access denied");
    EXPECT_EQ(fileErrorText(EROFS, "/x"), "File access denied");
    EXPECT_EQ(fileErrorText(ENOSPC, "/x"), "Disk full");
    EXPECT_EQ(fileErrorText(EMFILE, "/x"), "Too many open files");
    EXPECT_EQ(fileErrorText(ENOTDIR, "/x"), "Invalid filename");
    EXPECT_EQ(fileErrorText(EIO, "/x"), "I/O error " + std::to_string(EIO));
}

} // namespace
