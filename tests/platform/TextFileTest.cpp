#include "FileErrors.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <vector>

namespace {

using kb::platform::EInOutError;

std::vector<std::string> linesOf(const kb::test::TempDir& dir, std::string_view bytes)
{
    dir.write("t.txt", bytes);
    kb::platform::TextFileReader reader(dir.file("t.txt"));
    std::vector<std::string> lines;
    std::string line;
    while (reader.readLine(line))
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TextFileReaderTest, CarriageReturnsEndLinesAndLoneLineFeedsDoNot)
{
    kb::test::TempDir dir;
    EXPECT_EQ(linesOf(dir, "a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf(dir, "a\rb"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf(dir, "a\nb\n"), (Lines{"a\nb\n"}));
    EXPECT_EQ(linesOf(dir, "a\n\rb"), (Lines{"a\n", "b"}));
    EXPECT_EQ(linesOf(dir, "\r\n\r\nx"), (Lines{"", "", "x"}));
    EXPECT_EQ(linesOf(dir, ""), (Lines{}));
}

TEST(TextFileReaderTest, CtrlZEndsTheText)
{
    kb::test::TempDir dir;
    EXPECT_EQ(linesOf(dir, "a\r\nb\x1a" "c\r\nd"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf(dir, "a\r\n\x1a" "b"), (Lines{"a"}));
}

TEST(TextFileReaderTest, LinesAcrossReadChunksComeWhole)
{
    kb::test::TempDir dir;
    const std::string longLine(200000, 'q');
    // A CR at the very end of a chunk with its LF in the next one.
    const std::string padded(65535, 'p');
    EXPECT_EQ(linesOf(dir, longLine + "\r\n" + padded + "\r\nz"), (Lines{longLine, padded, "z"}));
}

TEST(WriteFileReplacingTest, ReplacesWholeAndKeepsPermissions)
{
    kb::test::TempDir dir;
    dir.write("Target.TXT", "old contents that are longer");
    ::chmod(dir.file("Target.TXT").c_str(), 0640);
    kb::platform::writeFileReplacing(dir.file("target.txt"), "new");
    EXPECT_EQ(dir.read("Target.TXT"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "target.txt"));
    struct stat info {};
    ::stat(dir.file("Target.TXT").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteFileReplacingTest, ReadOnlyFilesAndDirectoriesAreRefusedEvenForRoot)
{
    kb::test::TempDir dir;
    dir.write("ro.txt", "keep");
    ::chmod(dir.file("ro.txt").c_str(), 0444);
    std::filesystem::create_directory(dir.path() / "rodir");
    ::chmod(dir.file("rodir").c_str(), 0555);
    for (const std::string& target : {dir.file("ro.txt"), dir.file("rodir/new.txt")}) {
        try {
            kb::platform::writeFileReplacing(target, "lost");
            ADD_FAILURE() << target << " was written";
        } catch (const EInOutError& error) {
            EXPECT_STREQ(error.what(), "File access denied");
        }
    }
    EXPECT_EQ(dir.read("ro.txt"), "keep");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "rodir/new.txt"));
}

TEST(WriteFileReplacingTest, AMissingDirectoryIsAnInvalidFilename)
{
    kb::test::TempDir dir;
    try {
        kb::platform::writeFileReplacing(dir.file("nodir/x.txt"), "x");
        FAIL();
    } catch (const EInOutError& error) {
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
}

} // namespace
