#include "platform/files/TextFile.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileReplacing.h"

#include <gtest/gtest.h>

#include <fcntl.h>
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

namespace {

kb::platform::FileVersion versionOf(const std::string& path, std::string_view bytesRead)
{
    kb::platform::ContentHash hash;
    hash.add(bytesRead.data(), bytesRead.size());
    return {kb::platform::FileByteSource(kb::platform::FileName::native(path)).identity(), bytesRead.size(),
            hash.value()};
}

// Writes bytes in place and puts the modification time back, as a write
// within the clock's grain would leave it.
void rewriteKeepingTime(const kb::test::TempDir& dir, const std::string& name, std::string_view bytes)
{
    struct stat before {};
    ASSERT_EQ(::stat(dir.file(name).c_str(), &before), 0);
    dir.write(name, bytes);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0), 0);
}

} // namespace

TEST(FileVersionTest, OnlyTheSameBytesUnderTheSameTimeAreNoChange)
{
    using kb::platform::FileChange;
    const kb::test::TempDir dir;
    dir.write("a.txt", "Smith,John\rDoe,Jane\r");
    const auto name = kb::platform::FileName::native(dir.file("a.txt"));
    const auto whole = versionOf(dir.file("a.txt"), "Smith,John\rDoe,Jane\r");
    EXPECT_EQ(kb::platform::changeSince(name, whole), FileChange::None);
    // A reader that stopped early is judged on what it read.
    EXPECT_EQ(kb::platform::changeSince(name, versionOf(dir.file("a.txt"), "Smith,John\r")), FileChange::None);

    rewriteKeepingTime(dir, "a.txt", "Smith,Joan\rDoe,Jane\r");
    EXPECT_EQ(kb::platform::changeSince(name, whole), FileChange::Changed);
}
