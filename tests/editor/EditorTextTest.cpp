#include "editor/EditorText.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>

namespace {

using kb::editor::memoTextFromFileBytes;

TEST(EditorText, MakesEveryLineBreakCrLf)
{
    using namespace std::string_literals;
    EXPECT_EQ(memoTextFromFileBytes(""), "");
    EXPECT_EQ(memoTextFromFileBytes("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(memoTextFromFileBytes("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(memoTextFromFileBytes("a\rb\r"), "a\r\nb\r\n");
    EXPECT_EQ(memoTextFromFileBytes("a\n\rb"), "a\r\n\r\nb");
    EXPECT_EQ(memoTextFromFileBytes("\r\r\n\n"), "\r\n\r\n\r\n");
    EXPECT_EQ(memoTextFromFileBytes("a\r"s + '\0' + "\nb"), "a\r\n");
}

TEST(EditorText, EndsAtTheFirstZeroByte)
{
    using namespace std::string_literals;
    EXPECT_EQ(memoTextFromFileBytes("abc"s + '\0' + "def"), "abc");
    EXPECT_EQ(memoTextFromFileBytes("\0abc"s), "");
}

TEST(EditorText, CountsTheCapacityInCharactersOfTheShownText)
{
    kb::test::TempDir dir;
    dir.write("eight.txt", "abc\ndef"); // 7 bytes, 8 characters once the break is CR LF
    const auto eight = kb::platform::FileName::native(dir.file("eight.txt"));
    EXPECT_EQ(kb::editor::loadEditorText(eight, "eight.txt", 8).text, "abc\r\ndef");
    EXPECT_THROW(kb::editor::loadEditorText(eight, "eight.txt", 7), kb::editor::EMemoCapacityError);
}

// Sparse files: gigabytes that cost nothing on disk, which a reader that
// takes them whole could neither hold nor read in a test's time.
TEST(EditorText, AHugeFileIsReadOnlyAsFarAsTheTextAreaCanHold)
{
    kb::test::TempDir dir;
    dir.write("huge.txt", std::string(4096, 'a'));
    std::filesystem::resize_file(dir.file("huge.txt"), std::uintmax_t{16} << 30);
    const auto huge = kb::platform::FileName::native(dir.file("huge.txt"));
    EXPECT_THROW(kb::editor::loadEditorText(huge, "huge.txt", 1000), kb::editor::EMemoCapacityError);

    const auto loaded = kb::editor::loadEditorText(huge, "huge.txt", 8192);
    EXPECT_EQ(loaded.text, std::string(4096, 'a'));
    EXPECT_TRUE(loaded.cutAtNul);
}

} // namespace
