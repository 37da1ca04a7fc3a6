#include "AddressLines.h"
#include "RecordingMailSenders.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "address/AddressTableModel.h"
#include "address/UAddress.h"
#include "common/AddressColumns.h"
#include "platform/files/FileErrors.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace std::string_literals;

using kb::test::commas21;
using kb::test::heading;
using kb::test::line;
using kb::test::MailRecord;

class AddressWindowTest : public ::testing::Test {
protected:
    AddressWindowTest()
        : window(kb::test::recordingMailSenders(mail))
    {
    }

    void open(const std::string& bytes)
    {
        dir.write("Address.csv", bytes);
        window.Show(fileName());
    }

    std::string fileName() const { return dir.file("Address.csv"); }
    std::string fileBytes() const { return dir.read("Address.csv"); }

    template <typename T>
    T* control(const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTableView* grid() { return control<QTableView>("Address_Grid"); }
    QString page() { return control<QStackedWidget>("Address_Notebook")->currentWidget()->objectName(); }
    void click(const char* button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }
    QString field(const char* name) { return control<QLineEdit>(name)->text(); }
    void type(const char* name, const QString& text) { control<QLineEdit>(name)->setText(text); }
    QString listed(int row, int column) { return grid()->model()->index(row, column).data().toString(); }

    void doubleClickListRow(int row)
    {
        QTableView* view = grid();
        const QModelIndex index = view->model()->index(row, 1);
        view->scrollTo(index);
        const QPoint at = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    kb::test::TempDir dir;
    kb::test::PromptScript prompts;
    std::shared_ptr<MailRecord> mail = std::make_shared<MailRecord>();
    TfmAddress window;
};

TEST_F(AddressWindowTest, OpensOnTheListWithTheHeadingAsColumnTitles)
{
    open(heading + line({"a1", "Ann", "Friend"}) + line({"b2", "Bob"}) + commas21 + "\r\n");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Kestrelbook - Address");
    EXPECT_EQ(page(), "Main");
    EXPECT_EQ(mail->alive, 1);

    QTableView* view = grid();
    EXPECT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(view->model()->columnCount(), 21);
    EXPECT_TRUE(view->horizontalHeader()->isVisible());
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(listed(0, 1), "Ann");
    EXPECT_EQ(listed(1, 1), "Bob");
    EXPECT_EQ(view->rowHeight(1), 24);
    EXPECT_EQ(view->columnWidth(0), 2);
    EXPECT_EQ(view->columnWidth(1), 142);
    EXPECT_EQ(view->columnWidth(20), 64);
}

TEST_F(AddressWindowTest, ListsWindows1252TextAsTheWindowsProgramShowedIt)
{
    open(heading + line({"a1", "Ann"}) + line({"b2", "\x80 5 \x93quoted\x94 Inc\x99"}) + commas21 + "\r\n");
    EXPECT_EQ(listed(1, 1), QStringLiteral("\u20AC 5 \u201Cquoted\u201D Inc\u2122"));
}

TEST_F(AddressWindowTest, AnEditedRowIsListedAtOnceAndWrittenOnlyByExit)
{
    const std::string original = heading + line({"a1", "Ann"})
        + line({"b2", "Bob", "", "", "",          "", "",       "", "", "",         "",
                "",   "",    "", "", "bob@x.org", "", "keep17", "", "", "old note", "keep21"})
        + commas21 + "\r\n";
    open(original);
    doubleClickListRow(1);
    ASSERT_EQ(page(), "Edit");
    EXPECT_EQ(field("Name_Edit"), "Bob");
    EXPECT_EQ(field("Email_Edit"), "bob@x.org");
    EXPECT_EQ(control<QPlainTextEdit>("Memo")->toPlainText(), "old note");

    type("Name_Edit", "Bob, Jr.");
    control<QComboBox>("Cat_ComboBox")->setEditText("Work");
    const std::string note = "line one\nline two";
    control<QPlainTextEdit>("Memo")->setPlainText(QString::fromLatin1(note.c_str()));
    click("Address_Edit_Save_Button");
    EXPECT_EQ(page(), "Main");
    EXPECT_EQ(listed(1, 1), "Bob, Jr.");
    EXPECT_EQ(fileBytes(), original);

    click("Address_Exit_Button");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(mail->alive, 0);
    const std::vector<std::string> saved{
        "b2", "\"Bob, Jr.\"", "Work", "",       "", "", "",   "",      "", "", "", "", "", "",
        "",   "bob@x.org",    "",     "keep17", "", "", note, "keep21"};
    EXPECT_EQ(fileBytes(), heading + line({"a1", "Ann"}) + line(saved) + commas21 + "\r\n");
}

TEST_F(AddressWindowTest, EveryByteOfAnAddressSurvivesTheEditPage)
{
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != 26 && b != ',' && b != '"')
            bytes += static_cast<char>(b);
    }
    const std::string original = heading + line({bytes, bytes, bytes})
        + line({"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "x\xa0y\n\tz"})
        + commas21 + "\r\n";
    open(original);
    doubleClickListRow(0);
    click("Address_Edit_Save_Button");
    doubleClickListRow(1);
    click("Address_Edit_Save_Button");
    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(), original);
}

TEST_F(AddressWindowTest, AHugeCellIsShownInPartReadOnlyAndKeptWholeBySave)
{
    const std::string huge(8 << 20, 'x');
    std::vector<std::string> hugeNote(20);
    hugeNote.push_back(huge);
    const std::string original = heading + line({"", "Anna", huge}) + line(hugeNote) + commas21 + "\r\n";
    open(original);
    doubleClickListRow(0);
    auto* category = control<QComboBox>("Cat_ComboBox")->lineEdit();
    EXPECT_TRUE(category->isReadOnly());
    EXPECT_TRUE(category->text().endsWith(QChar(0x2026)));
    EXPECT_LT(category->text().size(), 1 << 20);
    EXPECT_FALSE(control<QLineEdit>("Name_Edit")->isReadOnly());
    type("Name_Edit", "Anna Whitfield");
    click("Address_Edit_Save_Button");
    doubleClickListRow(1);
    EXPECT_TRUE(control<QPlainTextEdit>("Memo")->isReadOnly());
    click("Address_Edit_Save_Button");
    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(), heading + line({"", "Anna Whitfield", huge}) + line(hugeNote) + commas21 + "\r\n");
}

TEST_F(AddressWindowTest, AddThenCancelLeavesABlankRowWrittenAsCommas)
{
    open(heading + line({"a1", "Ann"}) + commas21 + "\r\n");
    doubleClickListRow(0);
    click("ToolButton2");
    click("NewAddress_Button");
    EXPECT_EQ(page(), "Edit");
    EXPECT_EQ(field("Name_Edit"), "");
    EXPECT_EQ(grid()->model()->rowCount(), 2);
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    click("ToolButton2");
    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(), heading + line({"a1", "Ann"}) + commas21 + "\r\n" + commas21 + "\r\n");
}

TEST_F(AddressWindowTest, AddThenSaveFillsTheNewLastRow)
{
    open(heading + line({"a1", "Ann"}) + commas21 + "\r\n");
    click("NewAddress_Button");
    type("Name_Edit", "Cleo");
    type("Tel2_Edit", " 0123 ");
    click("Address_Edit_Save_Button");
    EXPECT_EQ(listed(1, 1), "Cleo");
    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(),
              heading + line({"a1", "Ann"}) + line({"", "Cleo", "", "", "", "", "", "", "", "", "", " 0123 "})
                  + commas21 + "\r\n");
}

TEST_F(AddressWindowTest, DeleteAsksByNameAndRemovesOnlyOnYes)
{
    open(heading + line({"a1", "Ann"}) + line({"n"}) + line({"c3", "Cleo"}) + commas21 + "\r\n");
    doubleClickListRow(0);
    click("ToolButton2");
    prompts.answerNo();
    click("Del_ToolButton");
    EXPECT_EQ(prompts.questions(), QStringList{"Delete Address for \"Ann\" ?"});
    EXPECT_EQ(grid()->model()->rowCount(), 3);

    prompts.answerYes();
    click("Del_ToolButton");
    EXPECT_EQ(grid()->model()->rowCount(), 2);
    EXPECT_EQ(listed(0, 0), "n");

    prompts.answerYes();
    click("Del_ToolButton");
    EXPECT_EQ(prompts.questions().last(), "Delete Address?");
    EXPECT_EQ(listed(0, 1), "Cleo");

    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(), heading + line({"c3", "Cleo"}) + commas21 + "\r\n");
}

TEST_F(AddressWindowTest, DeleteWithoutAHighlightedRowDoesNothing)
{
    open(heading + line({"a1", "Ann"}) + line({"b2", "Bob"}) + commas21 + "\r\n");
    doubleClickListRow(1);
    click("ToolButton2");
    grid()->clearSelection();
    prompts.answerYes();
    click("Del_ToolButton");
    EXPECT_TRUE(prompts.questions().isEmpty());
    EXPECT_EQ(grid()->model()->rowCount(), 2);
}

TEST_F(AddressWindowTest, AltKeysNeverTypeIntoTheEditPage)
{
    const std::string original = heading + line({"a1", "Ann"}) + commas21 + "\r\n";
    open(original);
    doubleClickListRow(0);
    auto* name = control<QLineEdit>("Name_Edit");
    name->setFocus();
    name->selectAll();
    QTest::keyClick(name, Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(name, Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(name->text(), "Ann");
    EXPECT_EQ(page(), "Edit");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(fileBytes(), original);
}

TEST_F(AddressWindowTest, SaveAfterAReloadNeverWritesOverAnotherAddress)
{
    open(heading + line({"a1", "Ann"}) + line({"b2", "Bob"}) + line({"c3", "Cleo"}) + commas21 + "\r\n");
    doubleClickListRow(1);
    // Ann is gone from the file: Bob moved up a row.
    dir.write("Address.csv", heading + line({"b2", "Bob"}) + line({"c3", "Cleo"}) + commas21 + "\r\n");
    window.Show(fileName());
    type("Name_Edit", "Bobby");
    click("Address_Edit_Save_Button");
    EXPECT_EQ(listed(0, 1), "Bobby");
    EXPECT_EQ(listed(1, 1), "Cleo");

    doubleClickListRow(1);
    // Cleo is gone altogether: her edit becomes a new address.
    dir.write("Address.csv", heading + line({"d4", "Dan"}) + commas21 + "\r\n");
    window.Show(fileName());
    type("Name_Edit", "Cleo B.");
    click("Address_Edit_Save_Button");
    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(), heading + line({"d4", "Dan"}) + line({"c3", "Cleo B."}) + commas21 + "\r\n");
}

TEST_F(AddressWindowTest, ExitAsksBeforeWritingOverAFileChangedByAnotherProgram)
{
    const std::string original = heading + line({"a1", "Ann"}) + commas21 + "\r\n";
    open(original);
    // Another program rewrites the file with as many bytes and puts the old
    // time back: only its bytes tell.
    struct stat before {};
    ASSERT_EQ(::stat(fileName().c_str(), &before), 0);
    const std::string outside = heading + line({"a1", "Bob"}) + commas21 + "\r\n";
    dir.write("Address.csv", outside);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, fileName().c_str(), times, 0), 0);

    prompts.answerNo();
    click("Address_Exit_Button");
    EXPECT_EQ(prompts.questions(),
              QStringList{"The address file was changed by another program after it was opened. Overwrite it?"});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(fileBytes(), outside);

    prompts.answerYes();
    click("Address_Exit_Button");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fileBytes(), original);

    // Deleted or renamed meanwhile: written again only when the user says so.
    open(original);
    std::filesystem::rename(fileName(), dir.file("renamed.csv"));
    prompts.answerYes();
    click("Address_Exit_Button");
    EXPECT_EQ(prompts.questions().value(2),
              "The address file was deleted or renamed after it was opened. Write it again under its old name?");
    EXPECT_EQ(fileBytes(), original);
}

TEST_F(AddressWindowTest, ANameThatLeadsToAnotherFileSinceItWasOpenedGetsItsOwnQuestion)
{
    const std::string original = heading + line({"a1", "Ann"}) + commas21 + "\r\n";
    open(original);
    dir.write("someone-else.txt", "theirs");
    std::filesystem::remove(fileName());
    std::filesystem::create_symlink(dir.file("someone-else.txt"), fileName());

    click("Address_Exit_Button"); // answered No
    EXPECT_EQ(prompts.questions(),
              QStringList{QStringLiteral("The address file's name now leads to another file "
                                         "than the one opened: \"%1\". Write the addresses "
                                         "into that file?")
                              .arg(QString::fromStdString(std::filesystem::canonical(dir.file("someone-else.txt"))))});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(dir.read("someone-else.txt"), "theirs");
}

TEST_F(AddressWindowTest, TheCloseBoxWritesNothingAndTheNextOpeningReloads)
{
    const std::string original = heading + line({"a1", "Ann"}) + commas21 + "\r\n";
    open(original);
    doubleClickListRow(0);
    type("Name_Edit", "Changed");
    click("Address_Edit_Save_Button");
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(mail->alive, 0);
    EXPECT_EQ(fileBytes(), original);

    window.Show(fileName());
    EXPECT_EQ(listed(0, 1), "Ann");
    EXPECT_EQ(mail->created, 2);
    EXPECT_EQ(mail->alive, 1);
}

TEST_F(AddressWindowTest, OpeningWhileOpenReloadsKeepingThePageAndTheMailer)
{
    open(heading + line({"a1", "Ann"}) + commas21 + "\r\n");
    doubleClickListRow(0);
    dir.write("Address.csv", heading + line({"a1", "Anna"}) + line({"b2", "Bob"}) + commas21 + "\r\n");
    window.Show(fileName());
    EXPECT_EQ(page(), "Edit");
    EXPECT_EQ(mail->created, 1);
    EXPECT_EQ(listed(0, 1), "Anna");
    EXPECT_EQ(listed(1, 1), "Bob");
}

TEST_F(AddressWindowTest, AFileThatCannotBeReadKeepsTheWindowHidden)
{
    try {
        window.Show(dir.file("missing.csv"));
        FAIL() << "Show must raise";
    } catch (const kb::platform::EInOutError& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(mail->created, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the busy pointer is gone again
}

TEST_F(AddressWindowTest, ExitOnAReadOnlyFileKeepsTheWindowOpenAndTheFileWhole)
{
    const std::string original = heading + line({"a1", "Ann"}) + commas21 + "\r\n";
    open(original);
    doubleClickListRow(0);
    type("Name_Edit", "Changed");
    click("Address_Edit_Save_Button");
    ::chmod(fileName().c_str(), 0444);
    click("Address_Exit_Button");
    EXPECT_EQ(prompts.errors(), QStringList{"File access denied."});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(listed(0, 1), "Changed");
    EXPECT_EQ(fileBytes(), original);
}

TEST_F(AddressWindowTest, AMissingPhotoShowsNoImageAndKeepsItsPath)
{
    const std::string photo = dir.file("gone.bmp");
    const std::string original = heading
        + line({"a1", "Ann", "", "", "", "", "", "", "", "", "", "", "", "", "", "", photo}) + commas21 + "\r\n";
    open(original);
    doubleClickListRow(0);
    EXPECT_FALSE(control<QLabel>("Photo_Bitmap")->isVisible());
    EXPECT_EQ(control<QLabel>("Picture_Panel")->text(), "NoImage");
    EXPECT_TRUE(prompts.errors().isEmpty());
    click("Address_Edit_Save_Button");
    click("Address_Exit_Button");
    EXPECT_EQ(fileBytes(), original);
}

TEST_F(AddressWindowTest, APhotoChosenOnThePanelIsShownAndStoredWithSave)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const std::string photo = dir.file("face\\1.bmp"); // a native name, never a DOS one
    ASSERT_TRUE(picture.save(QString::fromStdString(photo), "BMP"));
    open(heading + line({"a1", "Ann"}) + commas21 + "\r\n");
    doubleClickListRow(0);

    prompts.chooseFile(QString::fromStdString(photo));
    QTest::mouseDClick(control<QWidget>("Picture_Panel"), Qt::LeftButton);
    ASSERT_EQ(prompts.openRequests().size(), 1);
    EXPECT_EQ(prompts.openRequests()[0].title, "Open Photo");
    EXPECT_EQ(prompts.openRequests()[0].defaultSuffix, "bmp");
    EXPECT_TRUE(control<QLabel>("Photo_Bitmap")->isVisible());

    prompts.cancelDialog();
    QTest::mouseDClick(control<QWidget>("Picture_Panel"), Qt::LeftButton);
    EXPECT_EQ(field("Photo_Edit").toStdString(), photo);

    click("Address_Edit_Save_Button");
    EXPECT_FALSE(control<QLabel>("Photo_Bitmap")->isVisible());
    EXPECT_EQ(listed(0, 16).toStdString(), photo);
}

TEST_F(AddressWindowTest, SendHandsTheEmailFieldToTheMailer)
{
    open(heading + line({"a1", "Ann", "", "", "", "", "", "", "", "", "", "", "", "", "", "ann@x.org"}) + commas21
         + "\r\n");
    doubleClickListRow(0);
    click("Send_Email_Button");
    type("Email_Edit", "");
    click("Send_Email_Button");
    EXPECT_EQ(mail->sent, (std::vector<std::string>{"ann@x.org", ""}));
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(AddressWindowTest, ASingleVisibleRowIsListedAndTheHeadingStaysLoose)
{
    open(heading + commas21 + "\r\n");
    EXPECT_FALSE(grid()->horizontalHeader()->isVisible());
    EXPECT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(listed(0, 1), "Name");

    click("Del_ToolButton"); // the heading is never deleted
    EXPECT_TRUE(prompts.questions().isEmpty());

    doubleClickListRow(0);
    EXPECT_EQ(field("Name_Edit"), "Name");

    dir.write("Address.csv", heading + line({"a1", "Ann"}) + commas21 + "\r\n");
    window.Show(fileName());
    EXPECT_FALSE(grid()->horizontalHeader()->isVisible());
    EXPECT_EQ(listed(0, 1), "Name");
    EXPECT_EQ(listed(1, 1), "Ann");
}

TEST_F(AddressWindowTest, ReturnOnARowOpensItLikeADoubleClick)
{
    open(heading + line({"a1", "Ann"}) + line({"b2", "Bob"}) + commas21 + "\r\n");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid()->setFocus();
    grid()->selectRow(1);
    QTest::keyClick(grid(), Qt::Key_Return);
    ASSERT_EQ(page(), "Edit");
    EXPECT_EQ(field("Name_Edit"), "Bob");
}

class AddressKeyboardTest : public AddressWindowTest {
protected:
    void SetUp() override
    {
        open(heading + line({"a1", "Ann"}) + commas21 + "\r\n");
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    // The control that has the focus, by the name of the field or panel it belongs to.
    static QString focused()
    {
        const QWidget* widget = QApplication::focusWidget();
        return widget->objectName().isEmpty() ? widget->parentWidget()->objectName() : widget->objectName();
    }

    QStringList tabWalk(int steps)
    {
        QStringList walked;
        for (int i = 0; i < steps; ++i) {
            press(Qt::Key_Tab);
            walked << focused();
        }
        return walked;
    }
};

TEST_F(AddressKeyboardTest, AnAddressIsAddedEditedAndWrittenByKeysAlone)
{
    EXPECT_EQ(focused(), "Address_Grid");
    EXPECT_EQ(tabWalk(4), (QStringList{"NewAddress_Button", "Del_ToolButton", "Address_Exit_Button", "Address_Grid"}));
    press(Qt::Key_Tab);
    press(Qt::Key_Return); // "&Add"
    ASSERT_EQ(page(), "Edit");
    EXPECT_EQ(focused(), "Name_Edit");
    QTest::keyClicks(QApplication::focusWidget(), "Bob");
    press(Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), "Pal");
    EXPECT_EQ(
        tabWalk(19),
        (QStringList{"Alias_Edit", "Tel1_Edit", "Fax1_Edit", "Addr1_Edit", "DOB_Edit", "Zip1_Edit", "Office_Edit",
                     "Post_Edit", "Tel2_Edit", "Fax2_Edit", "Zip2_Edit", "Addr2_Edit", "Memo", "Email_Edit",
                     "Station_Edit", "Picture_Panel", "Send_Email_Button", "Address_Edit_Save_Button", "ToolButton2"}));
    press(Qt::Key_Backtab);
    press(Qt::Key_Backtab);
    press(Qt::Key_Return); // "Send"
    EXPECT_EQ(mail->sent, std::vector<std::string>{""});
    press(Qt::Key_Backtab);
    prompts.cancelDialog();
    press(Qt::Key_Space); // the photo panel
    EXPECT_EQ(prompts.openRequests().size(), 1U);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Return); // "S&ave"
    ASSERT_EQ(page(), "Main");
    EXPECT_EQ(focused(), "Address_Grid");
    EXPECT_EQ(listed(1, 1), "Bob");
    EXPECT_EQ(listed(1, 2), "Pal");

    press(Qt::Key_Return); // opens the row
    ASSERT_EQ(page(), "Edit");
    EXPECT_EQ(focused(), "Name_Edit");
    QTest::keyClicks(QApplication::focusWidget(), "by");
    prompts.answerNo();
    press(Qt::Key_Escape); // "&Cancel", once the typed text may go
    EXPECT_EQ(prompts.questionsDefaultingToNo(), QStringList{"Discard the changes to this address?"});
    EXPECT_EQ(page(), "Edit");
    prompts.answerYes();
    press(Qt::Key_Escape);
    EXPECT_EQ(page(), "Main");
    EXPECT_EQ(listed(1, 1), "Bob");
    press(Qt::Key_Return);
    press(Qt::Key_Escape); // nothing typed, nothing asked
    EXPECT_EQ(page(), "Main");
    EXPECT_EQ(prompts.questions().size(), 2U);

    press(Qt::Key_Backtab);
    press(Qt::Key_Return); // "E&xit"
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fileBytes(), heading + line({"a1", "Ann"}) + line({"", "Bob", "Pal"}) + commas21 + "\r\n");
}

TEST_F(AddressKeyboardTest, ASharedAltLetterGoesRoundItsControlsAndPressesNoButton)
{
    press(Qt::Key_Return);
    const auto visits = [this](Qt::Key letter, int times) {
        QStringList walked;
        for (int i = 0; i < times; ++i) {
            press(letter, Qt::AltModifier);
            walked << focused();
        }
        return walked;
    };
    EXPECT_EQ(visits(Qt::Key_A, 4),
              (QStringList{"Addr1_Edit", "Addr2_Edit", "Address_Edit_Save_Button", "Addr1_Edit"}));
    EXPECT_EQ(visits(Qt::Key_C, 3), (QStringList{"Cat_ComboBox", "ToolButton2", "Cat_ComboBox"}));
    EXPECT_EQ(visits(Qt::Key_E, 2), (QStringList{"Tel1_Edit", "Tel2_Edit"}));
    EXPECT_EQ(visits(Qt::Key_B, 2), (QStringList{"DOB_Edit", "DOB_Edit"}));
    EXPECT_EQ(page(), "Edit");
    EXPECT_EQ(field("Addr1_Edit"), "");
}

} // namespace

TEST_F(AddressWindowTest, AScreenReaderTellsTheFieldsApartAndReadsRowsByName)
{
    open("Alias,Name,Tel\r\nann,Ann,1\r\n\r\n");
    EXPECT_EQ(grid()->accessibleName(), "Addresses");
    EXPECT_EQ(grid()->currentIndex().column(), kb::common::NameColumn);
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_EQ(control<QWidget>("Edit")->accessibleName(), "Edit address");
    QStringList names;
    for (const char* name : {"Tel1_Edit", "Tel2_Edit", "Fax1_Edit", "Fax2_Edit", "Zip1_Edit", "Zip2_Edit", "Addr1_Edit",
                             "Addr2_Edit", "Cat_ComboBox"})
        names << QAccessible::queryAccessibleInterface(control<QWidget>(name))->text(QAccessible::Name);
    EXPECT_EQ(names,
              (QStringList{"Tel", "Office Tel", "Fax", "Office Fax", "Zip", "Office Zip", "Address", "Office Address",
                           "Category"}));
    EXPECT_EQ(control<QWidget>("Picture_Panel")->findChild<QAbstractButton*>()->accessibleDescription(),
              "No photo shown. Press to choose a photo file.");
}
