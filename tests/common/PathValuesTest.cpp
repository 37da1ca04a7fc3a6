#include "common/PathValues.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(PathValuesTest, DirectoriesAreJoinedByPlainConcatenation)
{
    EXPECT_EQ(kb::common::dataDirOf("c:\\kb"), "c:\\kb\\Data");
    EXPECT_EQ(kb::common::systemDirOf("c:\\kb"), "c:\\kb\\System");
    EXPECT_EQ(kb::common::dataDirOf("c:\\kb\\"), "c:\\kb\\\\Data");
    EXPECT_EQ(kb::common::systemDirOf(""), "\\System");
}

TEST(PathValuesTest, TheDosDirAndTheAddressFileAreReadFromTheirSettingFiles)
{
    kb::test::TempDir dir;
    kb::test::WorkingDirectory inDir(dir.path());
    std::filesystem::create_directory(dir.path() / "kb");
    std::filesystem::create_directory(dir.path() / "kb" / "DATA");
    dir.write("KESTRELBOOK.INI", "DataFileName=kb\r\n");
    dir.write("kb/DATA/Rurized.ini", "DataFileName=c:\\kb\\data\\address.csv\r\n");

    const std::string dosDir = kb::common::readDosDir();
    EXPECT_EQ(dosDir, "kb");
    EXPECT_EQ(kb::common::readAddressFile(kb::common::dataDirOf(dosDir)), "c:\\kb\\data\\address.csv");
}

} // namespace
