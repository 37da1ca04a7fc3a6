#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "editor/uEditor.h"
#include "platform/text/AnsiText.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

using namespace std::string_literals;

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override { showEditor(); }

    void showEditor()
    {
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    }

    QToolButton* button(const char* name) const
    {
        auto* found = editor->findChild<QToolButton*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPlainTextEdit* memo() const { return editor->findChild<QPlainTextEdit*>(QStringLiteral("Memo")); }
    QString filenameLabel() const { return editor->findChild<QLabel*>(QStringLiteral("Filename_Label"))->text(); }
    QStringList memoLines() const
    {
        QStringList lines;
        for (QTextBlock block = memo()->document()->begin(); block.isValid(); block = block.next())
            lines << block.text();
        return lines;
    }

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QString path(std::string_view name) const { return QString::fromStdString(dir.file(name)); }

    void open(std::string_view name)
    {
        prompts.chooseFile(path(name));
        click("ToolButton1");
    }
    void openWith(std::string_view name, std::string_view bytes)
    {
        dir.write(name, bytes);
        open(name);
    }
    std::string saveAs(std::string_view name)
    {
        prompts.chooseFile(path(name));
        click("SaveButton");
        return dir.read(name);
    }
    void type(const QString& text)
    {
        memo()->setFocus();
        memo()->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo(), text);
    }

    kb::test::PromptScript prompts;
    kb::test::TempDir dir;
    std::unique_ptr<TfmEdit> editor = std::make_unique<TfmEdit>();
};

TEST_F(EditorWindowTest, OpensWithItsLayout)
{
    EXPECT_EQ(editor->windowTitle(), "Kestrelbook 98 - Editor");
    EXPECT_EQ(editor->size(), QSize(497, 331));
    EXPECT_FALSE(editor->windowIcon().isNull());
    EXPECT_EQ(editor->findChild<QWidget*>("Panel1")->geometry(), QRect(0, 0, 497, 25));
    EXPECT_EQ(editor->findChild<QWidget*>("Image12")->geometry(), QRect(0, 0, 223, 25));
    EXPECT_EQ(editor->findChild<QWidget*>("Image14")->geometry(), QRect(223, 0, 274, 25));
    EXPECT_EQ(editor->findChild<QLabel*>("Label1")->text(), "Editor");
    EXPECT_EQ(filenameLabel(), "Filename.Ext");
    EXPECT_EQ(memo()->geometry(), QRect(0, 25, 497, 282));
    EXPECT_TRUE(memo()->document()->isEmpty());
    EXPECT_EQ(memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(editor->findChild<QWidget*>("ToolBar1")->geometry(), QRect(0, 307, 497, 24));
    EXPECT_NE(editor->findChild<QObject*>("FindDialog1"), nullptr);

    const struct {
        const char* name;
        const char* caption;
        bool enabled;
    } buttons[] = {{"ToolButton1", "Open", true},    {"ToolButton2", "Cancel", true}, {"SaveButton", "Save", true},
                   {"ToolButton4", "Search", false}, {"ToolButton5", "PgUp", false},  {"ToolButton6", "PgDn", false},
                   {"ToolButton7", "E&xit", true}};
    int left = 0;
    for (const auto& expected : buttons) {
        QToolButton* b = button(expected.name);
        EXPECT_EQ(b->text(), expected.caption);
        EXPECT_EQ(b->isEnabled(), expected.enabled) << expected.name;
        EXPECT_EQ(b->geometry(), QRect(left, 2, 71, 22)) << expected.name;
        left += 71;
    }
}

TEST_F(EditorWindowTest, SearchAndPageButtonsNeverReact)
{
    openWith("a.txt", "text");
    prompts.clear();
    for (const char* name : {"ToolButton4", "ToolButton5", "ToolButton6"})
        click(name);
    EXPECT_TRUE(prompts.questions().isEmpty());
    EXPECT_TRUE(prompts.openRequests().isEmpty());
    EXPECT_TRUE(prompts.saveRequests().isEmpty());
    EXPECT_EQ(memoLines(), QStringList{"text"});
    EXPECT_TRUE(editor->isVisible());
}

struct LineBreakCase {
    const char* description;
    std::string file;
    QStringList shownLines;
    std::string saved;
};

void PrintTo(const LineBreakCase& lineBreakCase, std::ostream* out)
{
    *out << lineBreakCase.description;
}

class EditorLineBreakTest : public EditorWindowTest, public ::testing::WithParamInterface<LineBreakCase> {};

TEST_P(EditorLineBreakTest, ShowsTheLinesAndSavesThemWithCrLf)
{
    openWith("in.txt", GetParam().file);
    EXPECT_EQ(memoLines(), GetParam().shownLines);
    EXPECT_EQ(saveAs("out.txt"), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, EditorLineBreakTest,
    ::testing::Values(LineBreakCase{"lf", "one\ntwo\n", {"one", "two", ""}, "one\r\ntwo\r\n"},
                      LineBreakCase{"cr", "one\rtwo", {"one", "two"}, "one\r\ntwo"},
                      LineBreakCase{"crlf", "one\r\ntwo\r\n", {"one", "two", ""}, "one\r\ntwo\r\n"},
                      LineBreakCase{"lfcr", "one\n\rtwo", {"one", "", "two"}, "one\r\n\r\ntwo"},
                      LineBreakCase{"mixed", "a\r\n\nb\r\rc", {"a", "", "b", "", "c"}, "a\r\n\r\nb\r\n\r\nc"},
                      LineBreakCase{"zero", "abc\ndef\0ghi\nj"s, {"abc", "def"}, "abc\r\ndef"},
                      LineBreakCase{"empty", "", {""}, ""}),
    [](const auto& info) { return std::string(info.param.description); });

TEST_F(EditorWindowTest, EveryByteButZeroSurvivesAnOpenAndASave)
{
    std::string bytes;
    for (int b = 1; b <= 255; ++b)
        bytes += static_cast<char>(b);
    openWith("all.bin", bytes);

    std::string expected = bytes;
    expected.replace(expected.find('\r'), 1, "\r\n"); // 13 is followed by 14
    expected.replace(expected.find('\n'), 1, "\r\n"); // 10 follows 9
    EXPECT_EQ(saveAs("all-saved.bin"), expected);
}

TEST_F(EditorWindowTest, SavesTypedTextWithoutAddingAFinalLineBreak)
{
    type("first");
    QTest::keyClick(memo(), Qt::Key_Return);
    type("second");
    EXPECT_EQ(saveAs("typed.txt"), "first\r\nsecond");

    // Shift+Enter starts a new line as well; a character beyond the code page
    // can only be a '?' in a byte file.
    QTest::keyClick(memo(), Qt::Key_Return, Qt::ShiftModifier);
    memo()->insertPlainText(QString(QChar(0x0416)));
    EXPECT_EQ(saveAs("typed.txt"), "first\r\nsecond\r\n?");
}

TEST_F(EditorWindowTest, ShowsAndSavesTextInTheCodePageOfTheUsersLanguage)
{
    openWith("ansi.txt", "\x80 5 \x93quoted\x94 \x99");
    EXPECT_EQ(memoLines(), QStringList{QStringLiteral("\u20AC 5 \u201Cquoted\u201D \u2122")});

    const kb::platform::CodePage& western = kb::platform::ansiCodePage();
    memo()->clear();
    // Characters beyond ASCII come with their text alone, as from an input method.
    for (const QChar typed : {QChar(0x20AC), QChar(0x00E9)}) {
        QTest::sendKeyEvent(QTest::Press, memo(), Qt::Key_unknown, QString(typed), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, memo(), Qt::Key_unknown, QString(typed), Qt::NoModifier);
    }
    EXPECT_EQ(saveAs("typed.txt"), "\x80\xE9");
    // Windows-1251 has the euro sign elsewhere and no accented Latin letters.
    kb::platform::useAnsiCodePage(kb::platform::ansiCodePageOfLocale("ru_RU.UTF-8"));
    EXPECT_EQ(saveAs("typed.txt"), "\x88?");
    kb::platform::useAnsiCodePage(western);
}

TEST_F(EditorWindowTest, SaveReplacesAnExistingFileWithoutAskingAndKeepsItsPermissions)
{
    dir.write("old.txt", "a much longer text that was there before");
    std::filesystem::permissions(dir.path() / "old.txt", std::filesystem::perms(0640));
    type("new");
    EXPECT_EQ(saveAs("old.txt"), "new");
    EXPECT_TRUE(prompts.questions().isEmpty());
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_EQ(std::filesystem::status(dir.path() / "old.txt").permissions(), std::filesystem::perms(0640));
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(EditorWindowTest, DialogsOfferTheNameLastChosen)
{
    openWith("first.txt", "text");
    EXPECT_TRUE(prompts.openRequests().at(0).title.isEmpty());
    EXPECT_EQ(filenameLabel(), path("first.txt"));

    prompts.cancelDialog();
    click("SaveButton");
    EXPECT_EQ(prompts.saveRequests().at(0).fileName, path("first.txt"));
    EXPECT_TRUE(prompts.saveRequests().at(0).title.isEmpty());

    saveAs("second.txt");
    prompts.cancelDialog();
    click("SaveButton");
    EXPECT_EQ(prompts.saveRequests().at(2).fileName, path("second.txt"));
    EXPECT_EQ(filenameLabel(), path("first.txt")) << "the label names the file opened last";
}

TEST_F(EditorWindowTest, CancelledOpenChangesNothing)
{
    openWith("a.txt", "kept");
    prompts.cancelDialog();
    click("ToolButton1");
    EXPECT_EQ(memoLines(), QStringList{"kept"});
    EXPECT_EQ(filenameLabel(), path("a.txt"));
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(EditorWindowTest, ExitWithYesThenCancelledDialogStaysOpenWithItsText)
{
    type("unsaved");
    prompts.answerYes();
    prompts.cancelDialog();
    click("ToolButton7");
    EXPECT_EQ(prompts.questions(), QStringList{"Save file before Exiting?"});
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(memoLines(), QStringList{"unsaved"});
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(EditorWindowTest, ExitWithYesSavesAndHides)
{
    type("saved");
    prompts.answerYes();
    prompts.chooseFile(path("exit.txt"));
    click("ToolButton7");
    EXPECT_EQ(dir.read("exit.txt"), "saved");
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorWindowTest, ExitWithNoHidesAndKeepsTheTextForTheNextOpening)
{
    openWith("a.txt", "still here");
    prompts.answerNo();
    click("ToolButton7");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(prompts.saveRequests().isEmpty());

    showEditor();
    EXPECT_EQ(memoLines(), QStringList{"still here"});
    EXPECT_EQ(filenameLabel(), path("a.txt"));
}

TEST_F(EditorWindowTest, AltXIsTheExitButton)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    prompts.answerNo();
    QTest::keyClick(editor.get(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !editor->isVisible(); }, 1000));
    EXPECT_EQ(prompts.questions(), QStringList{"Save file before Exiting?"});
}

TEST_F(EditorWindowTest, CtrlOAndCtrlSOpenAndSaveLikeTheButtons)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    dir.write("keys.txt", "opened");
    prompts.chooseFile(path("keys.txt"));
    QTest::keyClick(memo(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(memoLines(), QStringList{"opened"});

    type(" and saved");
    prompts.chooseFile(path("saved.txt"));
    QTest::keyClick(memo(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dir.read("saved.txt"), "opened and saved");
}

TEST_F(EditorWindowTest, TheKeyboardAloneReachesEveryCommandAndAltNeverTypes)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    const auto focused = [] { return QApplication::focusWidget()->objectName(); };
    type("text");
    for (const auto key : {Qt::Key_O, Qt::Key_S, Qt::Key_C, Qt::Key_Q})
        press(key, Qt::AltModifier);
    press(Qt::Key_Tab);
    EXPECT_EQ(memoLines(), QStringList{"text\t"}) << "Alt keys type nothing; Tab types a tab";

    press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(focused(), "ToolButton1");
    QStringList walked;
    for (int i = 0; i < 4; ++i) {
        press(Qt::Key_Tab);
        walked << focused();
    }
    EXPECT_EQ(walked, (QStringList{"ToolButton2", "SaveButton", "ToolButton7", "Memo"}));
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(focused(), "ToolButton7");

    press(Qt::Key_Backtab);
    prompts.chooseFile(path("saved.txt"));
    press(Qt::Key_Return);
    EXPECT_EQ(dir.read("saved.txt"), "text\t");
    press(Qt::Key_Backtab);
    prompts.answerNo();
    press(Qt::Key_Space);
    prompts.answerNo();
    press(Qt::Key_Escape);
    EXPECT_EQ(prompts.questions(), (QStringList{"Exit Editor?", "Exit Editor?"}));
    // Escape then Return must never throw the text away.
    EXPECT_EQ(prompts.questionsDefaultingToNo(), QStringList{"Exit Editor?"});
    EXPECT_TRUE(editor->isVisible());

    QStringList tips;
    for (const char* name : {"ToolButton1", "ToolButton2", "SaveButton", "ToolButton7"})
        tips << button(name)->toolTip();
    EXPECT_EQ(tips, (QStringList{"Open (Ctrl+O)", "Cancel (Esc)", "Save (Ctrl+S)", "Exit (Alt+X)"}));
}

TEST_F(EditorWindowTest, CloseBoxHidesWithoutAQuestion)
{
    type("kept");
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(prompts.questions().isEmpty());
    showEditor();
    EXPECT_EQ(memoLines(), QStringList{"kept"});
}

TEST_F(EditorWindowTest, CancelWithNoDoesNothing)
{
    type("kept");
    prompts.answerNo();
    click("ToolButton2");
    EXPECT_EQ(prompts.questions(), QStringList{"Exit Editor?"});
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(memoLines(), QStringList{"kept"});
}

TEST_F(EditorWindowTest, CancelWithYesEmptiesTheTextButKeepsTheFileName)
{
    openWith("a.txt", "gone");
    prompts.answerYes();
    click("ToolButton2");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(memo()->document()->isEmpty());
    EXPECT_EQ(filenameLabel(), path("a.txt"));
    EXPECT_EQ(dir.read("a.txt"), "gone");

    showEditor();
    prompts.cancelDialog();
    click("SaveButton");
    EXPECT_EQ(prompts.saveRequests().at(0).fileName, path("a.txt"));
}

TEST_F(EditorWindowTest, FileThatCannotBeOpenedReportsAndChangesNothing)
{
    openWith("a.txt", "kept");
    prompts.clear();
    open("missing.txt");
    EXPECT_EQ(prompts.errors(), QStringList{"Cannot open file " + path("missing.txt") + "."});
    std::filesystem::create_directory(dir.path() / "folder");
    open("folder");
    EXPECT_EQ(prompts.errors().size(), 2);
    EXPECT_EQ(memoLines(), QStringList{"kept"});
    EXPECT_EQ(filenameLabel(), path("a.txt"));
    prompts.cancelDialog();
    click("SaveButton");
    EXPECT_EQ(prompts.saveRequests().at(0).fileName, path("a.txt"));
}

TEST_F(EditorWindowTest, TextBeyondTheCapacityReportsAndChangesNothing)
{
    editor = std::make_unique<TfmEdit>(nullptr, 8);
    showEditor();
    openWith("fits.txt", "abc\ndef"); // exactly eight characters
    EXPECT_EQ(memoLines(), (QStringList{"abc", "def"}));
    openWith("big.txt", "abc\ndef\n");
    EXPECT_EQ(prompts.errors(), QStringList{"Text exceeds memo capacity."});
    EXPECT_EQ(memoLines(), (QStringList{"abc", "def"}));
    EXPECT_EQ(filenameLabel(), path("fits.txt"));
    prompts.cancelDialog();
    click("SaveButton");
    EXPECT_EQ(prompts.saveRequests().at(0).fileName, path("fits.txt"));
}

TEST_F(EditorWindowTest, AFileCutAtANulIsReportedAndSavingOverItAsks)
{
    openWith("cut.txt", "abc\0def"s);
    EXPECT_EQ(memoLines(), QStringList{"abc"});
    EXPECT_EQ(prompts.results(), QStringList{"The file contains a NUL character; the text after it is not shown."});

    EXPECT_EQ(saveAs("cut.txt"), "abc\0def"s); // answered No
    EXPECT_EQ(prompts.questions().size(), 1);
    EXPECT_EQ(saveAs("elsewhere.txt"), "abc"); // another file loses nothing
    prompts.answerYes();
    EXPECT_EQ(saveAs("cut.txt"), "abc");
}

TEST_F(EditorWindowTest, FileThatCannotBeCreatedReportsAndUnderExitStaysOpen)
{
    type("text");
    saveAs("no-such-dir/out.txt");
    EXPECT_EQ(prompts.errors(), QStringList{"Cannot create file " + path("no-such-dir/out.txt") + "."});

    std::filesystem::create_directory(dir.path() / "folder");
    prompts.answerYes();
    prompts.chooseFile(path("folder"));
    click("ToolButton7");
    EXPECT_EQ(prompts.errors().size(), 2);
    EXPECT_EQ(prompts.errors().at(1), "Cannot create file " + path("folder") + ".");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(memoLines(), QStringList{"text"});
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder"));
}

TEST_F(EditorWindowTest, NamesFromTheDialogsAreUsedExactlyAsChosen)
{
    dir.write("notes.txt", "lower");
    type("upper");
    EXPECT_EQ(saveAs("Notes.txt"), "upper");
    EXPECT_EQ(dir.read("notes.txt"), "lower");

    // A backslash is part of a Linux name, not a separator.
    dir.write("a/b.txt", "in a folder");
    EXPECT_EQ(saveAs("a\\b.txt"), "upper");
    EXPECT_EQ(dir.read("a/b.txt"), "in a folder");
    openWith("c\\d.txt", "backslash");
    EXPECT_EQ(memoLines(), QStringList{"backslash"});
    EXPECT_TRUE(prompts.errors().isEmpty());
}

} // namespace
