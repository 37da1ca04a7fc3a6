#include "TempDir.h"
#include "common/uCommon.h"
#include "platform/files/FileErrors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ReadDataFileNameTest : public ::testing::Test {
protected:
    std::string readWith(std::string_view bytes)
    {
        dir.write("Kestrelbook.Ini", bytes);
        return ReadDataFileName(dir.file("Kestrelbook.ini"));
    }

    kb::test::TempDir dir;
};

TEST_F(ReadDataFileNameTest, DropsTheFirstThirteenCharactersWithoutComparingThem)
{
    EXPECT_EQ(readWith("DataFileName=c:\\kb\r\n"), "c:\\kb");
    EXPECT_EQ(readWith("datafilename=c:\\kb\r\n"), "c:\\kb");
    EXPECT_EQ(readWith("DataFileName =c:\\kb\r\n"), "=c:\\kb");
    EXPECT_EQ(readWith("DataFileName=c:\\kb   \r\n"), "c:\\kb   ");
}

TEST_F(ReadDataFileNameTest, ShortLinesAndEmptyFilesGiveTheEmptyString)
{
    EXPECT_EQ(readWith(""), "");
    EXPECT_EQ(readWith("DataFileName=\r\n"), "");
    EXPECT_EQ(readWith("DataFileName"), "");
    EXPECT_EQ(readWith("\r\nDataFileName=c:\\kb\r\n"), "");
}

TEST_F(ReadDataFileNameTest, ReadsOnlyTheFirstLineByTheDosLineRules)
{
    EXPECT_EQ(readWith("DataFileName=c:\\kb\r\nDataFileName=d:\\other\r\n"), "c:\\kb");
    EXPECT_EQ(readWith("DataFileName=c:\\kb\rsecond"), "c:\\kb");
    EXPECT_EQ(readWith("DataFileName=c:\\kb\nd:\\x\n"), "c:\\kb\nd:\\x\n");
    EXPECT_EQ(readWith("DataFileName=c:\\kb\x1a"
                       "after\r\n"),
              "c:\\kb");
    EXPECT_EQ(readWith("DataFileName=c:\\kb"), "c:\\kb");
}

TEST_F(ReadDataFileNameTest, KeepsEveryByteOfTheValue)
{
    const std::string value = "\x01\x7f\x80\xe9\xff\t\n";
    EXPECT_EQ(readWith("DataFileName=" + value + "\r\n"), value);
}

TEST_F(ReadDataFileNameTest, ReadsOnlyTheStartOfAHugeSingleLine)
{
    const std::string value(20 * 1024 * 1024 + 7, 'x');
    EXPECT_EQ(readWith("DataFileName=" + value), value.substr(0, maxDataFileNameBytes - 13));
}

TEST_F(ReadDataFileNameTest, RaisesTheFileErrorWhenTheFileCannotBeOpened)
{
    try {
        ReadDataFileName(dir.file("Kestrelbook.ini"));
        FAIL() << "no error for a missing file";
    } catch (const kb::platform::EInOutError& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
    try {
        ReadDataFileName(dir.file("NoSuchDir\\Rurized.ini"));
        FAIL() << "no error for a missing directory";
    } catch (const kb::platform::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
    std::filesystem::create_directory(dir.path() / "Kestrelbook.Ini");
    EXPECT_THROW(ReadDataFileName(dir.file("Kestrelbook.ini")), kb::platform::EInOutError);
}

} // namespace
