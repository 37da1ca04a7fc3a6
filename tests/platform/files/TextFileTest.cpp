#include "platform/files/TextFile.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileReplacing.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

using kb::platform::EInOutError;

using Lines = std::vector<std::string>;

Lines linesOf(std::string_view bytes, std::size_t pieceSize)
{
    kb::platform::TextFileReader reader(std::make_unique<kb::platform::MemoryByteSource>(bytes, pieceSize));
    Lines lines;
    std::string line;
    while (reader.readLine(line))
        lines.push_back(line);
    return lines;
}

// The lines whatever pieces the bytes arrive in: a line end may fall on any
// boundary between two reads.
Lines linesOf(std::string_view bytes)
{
    const Lines whole = linesOf(bytes, bytes.size());
    for (const std::size_t pieceSize : {1, 2, 3})
        EXPECT_EQ(linesOf(bytes, pieceSize), whole) << "in pieces of " << pieceSize;
    return whole;
}

TEST(TextFileReaderTest, CarriageReturnsEndLinesAndLoneLineFeedsDoNot)
{
    EXPECT_EQ(linesOf("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\rb"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\nb\n"), (Lines{"a\nb\n"}));
    EXPECT_EQ(linesOf("a\n\rb"), (Lines{"a\n", "b"}));
    EXPECT_EQ(linesOf("\r\n\r\nx"), (Lines{"", "", "x"}));
    EXPECT_EQ(linesOf(""), (Lines{}));
}

TEST(TextFileReaderTest, CtrlZEndsTheText)
{
    EXPECT_EQ(linesOf("a\r\nb\x1a"
                      "c\r\nd"),
              (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\r\n\x1a"
                      "b"),
              (Lines{"a"}));
}

TEST(TextFileReaderTest, LinesAcrossReadChunksComeWhole)
{
    // Longer than any chunk the reader asks for.
    const std::string longLine(200000, 'q');
    const std::string padded(65535, 'p');
    EXPECT_EQ(linesOf(longLine + "\r\n" + padded + "\r\nz"), (Lines{longLine, padded, "z"}));
}

TEST(TextFileReaderTest, ReadsAFile)
{
    kb::test::TempDir dir;
    dir.write("t.txt", "a\r\nb");
    kb::platform::TextFileReader reader(dir.file("t.txt"));
    std::string line;
    EXPECT_TRUE(reader.readLine(line) && line == "a");
    EXPECT_TRUE(reader.readLine(line) && line == "b");
    EXPECT_FALSE(reader.readLine(line));
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
