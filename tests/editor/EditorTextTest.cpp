#include "editor/EditorText.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(kb::editor::loadEditorText(eight, "eight.txt", 8), "abc\r\ndef");
    EXPECT_THROW(kb::editor::loadEditorText(eight, "eight.txt", 7), kb::editor::EMemoCapacityError);
}

} // namespace
