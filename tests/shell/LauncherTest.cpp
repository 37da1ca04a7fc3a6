#include "DosInstallation.h"
#include "RecordingMailSenders.h"
#include "ScriptedPrompter.h"
#include "address/UAddress.h"
#include "common/uCommon.h"
#include "editor/uEditor.h"
#include "game/Game_Main.h"
#include "platform/ui/PictureBox.h"
#include "shell/Kestrelbook.h"
#include "shell/UAbout.h"
#include "shell/uInit.h"
#include "shell/uKestrelbook.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using kb::platform::PictureBox;

class LauncherTest : public ::testing::Test {
protected:
    Tkb_form& launcher() { return program.launcher(); }

    template <typename T = QWidget>
    T* control(const char* name)
    {
        auto* found = launcher().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QString selected() { return control<QLabel>("Selected_Label")->text(); }
    QColor centralColour() { return control<PictureBox>("Central_Image")->picture().pixelColor(5, 5); }
    static QColor colourOf(const char* file) { return kb::test::DosInstallation::pictureColours().at(file); }

    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton, {}, QPoint(5, 5)); }

    // Clicks "Ok" in the modal information window once it is up.
    void closeInformationWindowOnceOpen()
    {
        QTimer::singleShot(0, &program.informationWindow(), [this] {
            QTest::mouseClick(program.informationWindow().findChild<QWidget*>(QStringLiteral("Label1")), Qt::LeftButton,
                              {}, QPoint(5, 5));
        });
    }

    // Answers the first-run dialog once it is up, from inside its modal loop.
    void whenFirstRunDialogOpens(std::function<void(Tfminit&)> answer)
    {
        QTimer::singleShot(0, &program.firstRunDialog(), [this, answer] { answer(program.firstRunDialog()); });
    }

    kb::test::DosInstallation install;
    kb::test::WorkingDirectory cwd{install.workDir()};
    kb::test::PromptScript prompts;
    std::shared_ptr<kb::test::MailRecord> mail = std::make_shared<kb::test::MailRecord>();
    Kestrelbook program{kb::test::recordingMailSenders(mail)};
};

TEST_F(LauncherTest, ShowingReadsTheConfigurationAndFillsTheWindow)
{
    launcher().setLongTimeSource([] { return QStringLiteral("14:07:33"); });
    launcher().show();
    EXPECT_TRUE(prompts.errors().isEmpty()) << prompts.errors().join(' ').toStdString();
    EXPECT_EQ(launcher().Dos_Dir(), "c:\\kb");
    EXPECT_EQ(launcher().Data_Dir(), "c:\\kb\\Data");
    EXPECT_EQ(launcher().System_Dir(), "c:\\kb\\System");
    EXPECT_EQ(launcher().Address_File(), "C:\\KB\\DATA\\ADDRESS.CSV");
    EXPECT_EQ(control<QLineEdit>("ZAVEVO_Edit")->text(), "c:\\kb");
    EXPECT_EQ(control<QLabel>("Time_Label")->text(), "14:07");
    EXPECT_EQ(centralColour(), colourOf("P_hana02.bmp"));
    EXPECT_EQ(launcher().windowTitle(), "Kestrelbook 98");
    EXPECT_EQ(launcher().size(), QSize(631, 387));

    const QImage bar = control<PictureBox>("kb_button_image_1")->picture().convertToFormat(QImage::Format_RGB32);
    for (int n = 2; n <= 14; ++n) {
        const QByteArray name = QStringLiteral("kb_button_image_%1").arg(n).toLatin1();
        EXPECT_TRUE(control<PictureBox>(name)->picture().convertToFormat(QImage::Format_RGB32) == bar) << n;
    }
    const QImage texture = control<PictureBox>("Background_Image_1")->picture();
    for (const auto& [name, size] :
         {std::pair{"Background_Image_2", QSize(190, 39)}, std::pair{"Background_Image_3", QSize(189, 33)},
          std::pair{"Background_Image_4", QSize(217, 27)}}) {
        const QImage copy = control<PictureBox>(name)->picture();
        EXPECT_TRUE(copy.convertToFormat(QImage::Format_RGB32)
                    == texture.copy(QRect(QPoint(0, 0), size)).convertToFormat(QImage::Format_RGB32))
            << name;
    }
}

TEST_F(LauncherTest, TheDirectoryShowsWindows1252Text)
{
    install.writeIni("DataFileName=c:\\kb \x80 \x93x\x94 \x99\r\n");
    launcher().show();
    EXPECT_EQ(control<QLineEdit>("ZAVEVO_Edit")->text(), QStringLiteral("c:\\kb \u20AC \u201Cx\u201D \u2122"));
}

TEST_F(LauncherTest, TheClockShowsTheFirstFiveCharactersWhateverTheyAre)
{
    launcher().setLongTimeSource([] { return QStringLiteral("9:07:33 AM"); });
    launcher().show();
    EXPECT_EQ(control<QLabel>("Time_Label")->text(), "9:07:");
    launcher().setLongTimeSource([] { return QStringLiteral("23:59:01"); });
    launcher().ClockTimerTimer();
    EXPECT_EQ(control<QLabel>("Time_Label")->text(), "23:59");
}

TEST_F(LauncherTest, EveryButtonLoadsItsPictureAndOnlyTheToolsSetTheLabel)
{
    launcher().show();
    struct Expectation {
        const char* control;
        const char* picture;
        const char* label; // nullptr: unchanged
    };
    const Expectation plain[] = {
        {"kb_button_image_1", "P_hana02.bmp", nullptr},
        {"Label12", "P_hana03.bmp", nullptr},
        {"kb_button_image_3", "P_ki01.bmp", nullptr},
        {"Label35", "P_yama01.bmp", nullptr},
        {"kb_button_image_6", "P_hana02.bmp", nullptr},
        {"kb_button_image_8", "P_ki01.bmp", nullptr},
        {"Label6", "P_ko01.bmp", nullptr},
        {"kb_button_image_11", "P_hana02.bmp", nullptr},
        {"Label45", "P_ki01.bmp", nullptr},
    };
    for (const Expectation& e : plain) {
        click(e.control);
        EXPECT_EQ(centralColour(), colourOf(e.picture)) << e.control;
        EXPECT_EQ(selected(), "") << e.control;
    }
    const Expectation tools[] = {
        {"kb_button_image_4", "P_ko01.bmp", "Address"},
        {"Edit_Button_Label", "P_yama01.bmp", "Editor"},
        {"kb_button_image_12", "P_hana03.bmp", "Game"},
        {"Image9", "P_ki01.bmp", "Information"},
    };
    for (const Expectation& e : tools) {
        if (std::string(e.control) == "Image9")
            closeInformationWindowOnceOpen();
        click(e.control);
        EXPECT_EQ(centralColour(), colourOf(e.picture)) << e.control;
        EXPECT_EQ(selected(), e.label) << e.control;
    }
    click("kb_button_image_9");
    EXPECT_EQ(selected(), "Information");
    EXPECT_TRUE(prompts.errors().isEmpty()) << prompts.errors().join(' ').toStdString();
    EXPECT_TRUE(program.addressBook().isVisible());
    EXPECT_TRUE(program.editor().isVisible());
    EXPECT_TRUE(program.gameWindow().isVisible());
    EXPECT_EQ(program.gameWindow().PictureDir(), "c:\\kb\\System");
}

TEST_F(LauncherTest, AnAddressFileThatCannotBeReadKeepsTheAddressBookHidden)
{
    std::filesystem::remove(install.root() / "Data/Address.csv");
    launcher().show();
    click("Label14");
    click("Address_Button_Label");
    EXPECT_EQ(prompts.errors(), QStringList{"File not found."});
    EXPECT_FALSE(program.addressBook().isVisible());
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(centralColour(), colourOf("P_ko01.bmp"));
}

TEST(LauncherStartErrorTest, TheErrorBoxOfTheStartComesUpCentredOnTheScreen)
{
    kb::test::DosInstallation install;
    std::filesystem::remove(install.root() / "System/P_hana02.bmp");
    kb::test::WorkingDirectory cwd{install.workDir()};
    Kestrelbook program{kb::test::recordingMailSenders(std::make_shared<kb::test::MailRecord>())};
    // The real box, not the scripted one: its place is what is tested.
    std::optional<QPoint> boxCentre;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxCentre = box->frameGeometry().center();
            box->accept();
        }
    });
    poll.start(10);
    program.launcher().show();
    const QPoint screenCentre = program.launcher().screen()->availableGeometry().center();
    ASSERT_TRUE(boxCentre);
    EXPECT_LE((*boxCentre - screenCentre).manhattanLength(), 2);
    EXPECT_LE((program.launcher().frameGeometry().center() - screenCentre).manhattanLength(), 2);
}

TEST_F(LauncherTest, SetupShowsThePageAndItsExitReturns)
{
    launcher().show();
    auto* pages = control<QStackedWidget>("PageControl1");
    click("Label39");
    EXPECT_EQ(centralColour(), colourOf("P_hana03.bmp"));
    EXPECT_EQ(pages->currentWidget()->objectName(), "Setup_Main");
    control<QLineEdit>("ZAVEVO_Edit")->setText(QStringLiteral("d:\\elsewhere"));
    control<QToolButton>("ToolButton3")->click();
    EXPECT_EQ(pages->currentWidget()->objectName(), "Kb_Main");
    EXPECT_EQ(launcher().Dos_Dir(), "c:\\kb");
    EXPECT_EQ(install.readWorkFile("Kestrelbook.Ini"), "DataFileName=c:\\kb\r\n");
}

TEST_F(LauncherTest, AMissingPictureStopsTheClickWithTheErrorBox)
{
    std::filesystem::remove(install.root() / "System/P_ko01.bmp");
    launcher().show();
    for (const char* button : {"kb_button_image_4", "Label6", "Exit_ButtonLabel"}) {
        prompts.clear();
        click(button);
        EXPECT_EQ(prompts.errors(), QStringList{"Cannot open file c:\\kb\\System\\P_ko01.bmp."}) << button;
        EXPECT_EQ(centralColour(), colourOf("P_hana02.bmp")) << button;
        EXPECT_EQ(selected(), "") << button;
    }
    click("kb_button_image_12");
    EXPECT_EQ(selected(), "Game");
}

TEST_F(LauncherTest, APictureThatIsNotABitmapIsReported)
{
    install.writeFile(install.root() / "System/P_ki01.bmp", "GIF89a not a bitmap");
    launcher().show();
    click("Image9");
    EXPECT_EQ(prompts.errors(), QStringList{"Bitmap image is not valid."});
    EXPECT_EQ(selected(), "");
}

TEST_F(LauncherTest, ScalingDownAndUpLeavesFifteenSixteenths)
{
    launcher().show();
    auto* menu = launcher().findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    auto* scale75 = menu->findChild<QAction*>(QStringLiteral("Scale_75"));
    auto* scale100 = menu->findChild<QAction*>(QStringLiteral("Scale_100"));
    ASSERT_TRUE(scale75 && scale100);
    EXPECT_TRUE(scale75->isVisible());
    EXPECT_FALSE(scale100->isVisible());

    scale75->trigger();
    EXPECT_EQ(launcher().size(), QSize(473, 290));
    EXPECT_FALSE(scale75->isVisible());
    EXPECT_TRUE(scale100->isVisible());
    EXPECT_TRUE(launcher().isVisible());

    scale100->trigger();
    EXPECT_EQ(launcher().size(), QSize(591, 363));
    EXPECT_EQ(control("kb_button_image_8")->parentWidget()->width(), 204);
    EXPECT_EQ(control<QLabel>("Time_Label")->font().pixelSize(), 30);
    EXPECT_TRUE(scale75->isVisible());
}

TEST_F(LauncherTest, IniNameMatchesWithoutRegardToCase)
{
    std::filesystem::remove(install.workDir() / "Kestrelbook.Ini");
    install.writeFile(install.workDir() / "KESTRELBOOK.INI", "DataFileName=C:\\KB\r\n");
    launcher().show();
    EXPECT_EQ(launcher().Dos_Dir(), "C:\\KB");
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(LauncherTest, EMailHandsOnAnEmptyAddress)
{
    launcher().show();
    ASSERT_NE(launcher().launcherGoToWeb(), nullptr);
    click("Label35");
    EXPECT_EQ(centralColour(), colourOf("P_yama01.bmp"));
    EXPECT_EQ(mail->sent, std::vector<std::string>{""});
    EXPECT_EQ(selected(), "");
    EXPECT_TRUE(prompts.errors().isEmpty());

    launcher().close();
    EXPECT_EQ(launcher().launcherGoToWeb(), nullptr);
    EXPECT_EQ(mail->alive, 0);
}

TEST_F(LauncherTest, EMailWithoutAMailHandOffDoesNothingMore)
{
    std::filesystem::remove(install.root() / "System/P_hana02.bmp");
    launcher().show();
    EXPECT_EQ(prompts.errors(), QStringList{"Cannot open file c:\\kb\\System\\P_hana02.bmp."});
    EXPECT_EQ(launcher().launcherGoToWeb(), nullptr);
    prompts.clear();
    click("kb_button_image_5");
    EXPECT_EQ(centralColour(), colourOf("P_yama01.bmp"));
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_TRUE(mail->sent.empty());
}

TEST_F(LauncherTest, TheInformationPictureOpensTheInformationWindowModally)
{
    launcher().show();
    bool sawWindow = false;
    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(0, &program.informationWindow(), [&] {
            TfmAbout& about = program.informationWindow();
            sawWindow = about.isVisible() && about.isModal();
            EXPECT_EQ(selected(), "Information");
            QTest::mouseClick(about.findChild<QWidget*>(QStringLiteral("Label1")), Qt::LeftButton, {}, QPoint(5, 5));
        });
        click("Image9");
        EXPECT_TRUE(sawWindow);
        EXPECT_FALSE(program.informationWindow().isVisible());
    }
    EXPECT_EQ(centralColour(), colourOf("P_ki01.bmp"));
}

TEST_F(LauncherTest, WindowTitlesAreExactlyTheDesignedCaptions)
{
    kb::shell::identifyApplication();
    EXPECT_EQ(QApplication::applicationName(), "Kestrelbook") << "the task bar's title";
    const std::pair<QWidget*, const char*> windows[] = {
        {&launcher(), "Kestrelbook 98"},
        {&program.gameWindow(), "Kestrelbook 98 - Game"},
        {program.gameWindow().findChild<QDialog*>(QStringLiteral("SettingsForm")), "Settings"},
        {&program.addressBook(), "Kestrelbook - Address"},
        {&program.firstRunDialog(), "Kestrelbook - Initialisation"},
        {&program.editor(), "Kestrelbook 98 - Editor"},
        {&program.informationWindow(), "Kestrelbook 98 - Information"},
    };
    for (const auto& [window, title] : windows) {
        ASSERT_NE(window, nullptr) << title;
        EXPECT_EQ(window->windowTitle(), title);
    }
    // Qt on Linux appends a display name to every title only when one was
    // set; unset, it follows the application name.
    QApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QApplication::applicationDisplayName(), "probe");
    QApplication::setApplicationName(QStringLiteral("Kestrelbook"));
}

TEST_F(LauncherTest, TheDesktopEntryIsNamedByTheDesktopFileName)
{
    kb::shell::identifyApplication();
    const QString id = QApplication::desktopFileName();
    EXPECT_TRUE(id.startsWith("org.")) << id.toStdString();
    const QString entryPath = QStringLiteral(KB_DATA_DIR "/") + id + QStringLiteral(".desktop");
    ASSERT_TRUE(QFile::exists(entryPath)) << entryPath.toStdString();
    QSettings entry(entryPath, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString(), id);
    EXPECT_EQ(entry.value(QStringLiteral("Name")).toString(), "Kestrelbook 98");
}

class LauncherKeyboardTest : public LauncherTest {
protected:
    void SetUp() override
    {
        launcher().show();
        QApplication::setActiveWindow(&launcher());
    }

    QString focused()
    {
        auto* button = qobject_cast<QAbstractButton*>(launcher().focusWidget());
        return button ? button->text() : QString();
    }

    void press(Qt::Key key) { QTest::keyClick(launcher().focusWidget(), key); }

    QAbstractButton* target(const QString& caption)
    {
        for (auto* button : control("Kb_Main")->findChildren<QAbstractButton*>())
            if (button->text() == caption)
                return button;
        ADD_FAILURE() << caption.toStdString();
        return nullptr;
    }

    const QStringList tabOrder{"Schedule", "ToDo List", "Notebook",    "Address",     "E-Mail",
                               "Fax",      "Setup",     "Information", "World Clock", "Calculator",
                               "Editor",   "Draw Memo", "Game",        "Personal",    "Exit"};
};

TEST_F(LauncherKeyboardTest, TabAndShiftTabWalkTheFifteenTargetsWithAVisibleMark)
{
    EXPECT_EQ(focused(), tabOrder.front()) << "the first button has the focus when the window opens";
    QStringList visited{focused()};
    for (int i = 1; i < tabOrder.size(); ++i) {
        press(Qt::Key_Tab);
        visited << focused();
    }
    EXPECT_EQ(visited, tabOrder);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), tabOrder.front()) << "round to the first again";
    press(Qt::Key_Backtab);
    EXPECT_EQ(focused(), tabOrder.back());

    QWidget* exitButton = launcher().focusWidget();
    const QImage marked = exitButton->grab().toImage();
    press(Qt::Key_Backtab);
    EXPECT_NE(exitButton->grab().toImage(), marked) << "the mark leaves with the focus";
}

TEST_F(LauncherKeyboardTest, ReturnAndSpacePressTheFocusedTargetLikeAClick)
{
    target(QStringLiteral("Notebook"))->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(centralColour(), colourOf("P_ki01.bmp"));

    target(QStringLiteral("Editor"))->setFocus();
    press(Qt::Key_Space);
    EXPECT_EQ(centralColour(), colourOf("P_yama01.bmp"));
    EXPECT_EQ(selected(), "Editor");
    EXPECT_TRUE(program.editor().isVisible());

    target(QStringLiteral("E-Mail"))->setFocus();
    press(Qt::Key_Enter);
    EXPECT_EQ(mail->sent, std::vector<std::string>{""});
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(LauncherKeyboardTest, ScreenReadersFindFifteenNamedPushButtonsTheyCanPress)
{
    QStringList names;
    for (auto* button : control("Kb_Main")->findChildren<QAbstractButton*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::Button);
        ASSERT_NE(accessible->actionInterface(), nullptr);
        EXPECT_TRUE(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        names << accessible->text(QAccessible::Name);
    }
    EXPECT_EQ(names, tabOrder);

    QAccessible::queryAccessibleInterface(target(QStringLiteral("Setup")))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    auto* pages = control<QStackedWidget>("PageControl1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return pages->currentWidget()->objectName() == "Setup_Main"; }));

    for (const char* picture : {"Central_Image", "Clock_Image"})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(control(picture))->text(QAccessible::Name).isEmpty())
            << picture;
}

TEST_F(LauncherKeyboardTest, TheSetupPageIsOpenedWalkedAndLeftByKeys)
{
    auto* pages = control<QStackedWidget>("PageControl1");
    while (focused() != "Setup")
        press(Qt::Key_Tab);
    press(Qt::Key_Return);
    ASSERT_EQ(pages->currentWidget()->objectName(), "Setup_Main");
    EXPECT_EQ(launcher().focusWidget()->objectName(), "ZAVEVO_Edit");
    press(Qt::Key_Escape);
    EXPECT_EQ(pages->currentWidget()->objectName(), "Kb_Main");
    EXPECT_FALSE(focused().isEmpty()) << "the focus is back on a button of the main page";

    while (focused() != "Setup")
        press(Qt::Key_Tab);
    press(Qt::Key_Space);
    press(Qt::Key_Tab);
    EXPECT_EQ(launcher().focusWidget()->objectName(), "ToolButton3");
    press(Qt::Key_Return);
    EXPECT_EQ(pages->currentWidget()->objectName(), "Kb_Main");
}

TEST_F(LauncherKeyboardTest, TheMenuKeyAndShiftF10OpenTheScalingMenuAtTheFocusedButton)
{
    auto* menu = control<QMenu>("PopupMenu1");
    while (focused() != "Game")
        press(Qt::Key_Tab);
    QTest::keyClick(launcher().focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(QRect(target(QStringLiteral("Game"))->mapToGlobal(QPoint()), target(QStringLiteral("Game"))->size())
                    .contains(menu->pos()));
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(launcher().size(), QSize(473, 290));

    QApplication::setActiveWindow(&launcher());
    QTest::keyClick(&launcher(), Qt::Key_Menu);
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(launcher().size(), QSize(591, 363));
}

TEST_F(LauncherKeyboardTest, AMouseClickTakesTheFocusMarkFromTheButtonItLeaves)
{
    press(Qt::Key_Tab);
    QWidget* marked = launcher().focusWidget();
    const QImage withMark = marked->grab().toImage();
    click("kb_button_image_8");
    EXPECT_FALSE(marked->hasFocus());
    EXPECT_NE(marked->grab().toImage(), withMark);
    EXPECT_EQ(centralColour(), colourOf("P_ki01.bmp"));
}

class FirstRunTest : public LauncherTest {
protected:
    void SetUp() override { std::filesystem::remove(install.workDir() / "Kestrelbook.Ini"); }
};

TEST_F(FirstRunTest, ContinueWritesTheIniAndTheLauncherGoesOn)
{
    whenFirstRunDialogOpens([this](Tfminit& dialog) {
        EXPECT_FALSE(launcher().windowHandle()->isVisible()) << "the dialog comes up alone";
        EXPECT_EQ(dialog.windowTitle(), "Kestrelbook - Initialisation");
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("KB_Dir_Edit"));
        EXPECT_EQ(edit->text(), "c:\\kb");
        EXPECT_TRUE(edit->hasFocus() || !dialog.isActiveWindow());
        dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    });
    launcher().show();
    EXPECT_EQ(install.readWorkFile("Kestrelbook.Ini"), "DataFileName=c:\\kb\r\n");
    EXPECT_EQ(launcher().System_Dir(), "c:\\kb\\System");
    EXPECT_EQ(centralColour(), colourOf("P_hana02.bmp"));
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(FirstRunTest, TheKeyboardAnswersTheDialogWhereEnterAndEscapeDoNothing)
{
    bool openAfterEnterAndEscape = false;
    whenFirstRunDialogOpens([&](Tfminit& dialog) {
        QApplication::setActiveWindow(&dialog);
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "c:\\KB");
        press(Qt::Key_Return);
        press(Qt::Key_Tab);
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
        openAfterEnterAndEscape = dialog.isVisible();
        press(Qt::Key_Space);
        if (dialog.isVisible())
            dialog.reject(); // never leave the test waiting
    });
    launcher().show();
    EXPECT_TRUE(openAfterEnterAndEscape);
    EXPECT_EQ(install.readWorkFile("Kestrelbook.Ini"), "DataFileName=c:\\KB\r\n");
}

TEST_F(FirstRunTest, AnEmptyDirectoryWritesTheKeyAlone)
{
    whenFirstRunDialogOpens([](Tfminit& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("KB_Dir_Edit"))->clear();
        dialog.BitBtn1Click();
    });
    launcher().show();
    EXPECT_EQ(install.readWorkFile("Kestrelbook.Ini"), "DataFileName=\r\n");
    EXPECT_EQ(launcher().Data_Dir(), "\\Data");
    EXPECT_EQ(prompts.errors(), QStringList{"Invalid filename."});
}

TEST_F(FirstRunTest, ClosingWithoutContinueStopsTheShowHandlerAtTheRead)
{
    whenFirstRunDialogOpens([](Tfminit& dialog) { dialog.close(); });
    launcher().show();
    EXPECT_FALSE(std::filesystem::exists(install.workDir() / "Kestrelbook.Ini"));
    EXPECT_EQ(prompts.errors(), QStringList{"File not found."});
    EXPECT_TRUE(launcher().isVisible());
    EXPECT_EQ(control<QLineEdit>("ZAVEVO_Edit")->text(), "c:\\kb");
    EXPECT_EQ(control<QLabel>("Time_Label")->text(), "12:00");
    EXPECT_FALSE(control<PictureBox>("Central_Image")->hasPicture());
    EXPECT_FALSE(control<PictureBox>("kb_button_image_2")->hasPicture());
}

TEST_F(FirstRunTest, AReadOnlyWorkingDirectoryKeepsTheDialogOpen)
{
    ::chmod(install.workDir().c_str(), 0555);
    whenFirstRunDialogOpens([this](Tfminit& dialog) {
        auto* button = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        button->click();
        EXPECT_EQ(prompts.errors(), QStringList{"File access denied."});
        EXPECT_TRUE(dialog.isVisible());
        ::chmod(install.workDir().c_str(), 0755);
        button->click();
    });
    launcher().show();
    EXPECT_EQ(install.readWorkFile("Kestrelbook.Ini"), "DataFileName=c:\\kb\r\n");
    EXPECT_EQ(prompts.errors().size(), 1);
}

TEST_F(FirstRunTest, AMistypedDirectoryIsAcceptedAndFailsAtTheAddressPointer)
{
    whenFirstRunDialogOpens([](Tfminit& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("KB_Dir_Edit"))->setText(QStringLiteral("c:\\kbb"));
        dialog.BitBtn1Click();
    });
    launcher().show();
    EXPECT_EQ(install.readWorkFile("Kestrelbook.Ini"), "DataFileName=c:\\kbb\r\n");
    EXPECT_EQ(prompts.errors(), QStringList{"Invalid filename."});
    EXPECT_EQ(launcher().Address_File(), "");
    EXPECT_EQ(control<QLabel>("Time_Label")->text(), "12:00");
    // The pictures were copied before the failing step.
    EXPECT_TRUE(control<PictureBox>("kb_button_image_14")->hasPicture());
}

class BadConfigurationTest : public LauncherTest {};

TEST_F(BadConfigurationTest, BinaryOrHugeIniGivesWhatTheFirstLineSays)
{
    install.writeIni(std::string("\x00\x01\xff\xfe\x1a\r\n", 6) + "junk");
    launcher().show();
    EXPECT_EQ(launcher().Dos_Dir(), "");
    EXPECT_EQ(prompts.errors(), QStringList{"Invalid filename."});
}

TEST_F(BadConfigurationTest, AHugeSingleLineIsReadOnlyAtItsStartAndFailsAsAPath)
{
    install.writeIni("DataFileName=" + std::string(100 * 1024 * 1024, 'a'));
    launcher().show();
    EXPECT_EQ(launcher().Dos_Dir().size(), maxDataFileNameBytes - 13);
    EXPECT_EQ(prompts.errors().size(), 1);
    EXPECT_TRUE(launcher().isVisible());
}

TEST_F(BadConfigurationTest, DirectoriesWhereFilesBelongAreRefused)
{
    std::filesystem::remove(install.root() / "Data/Rurized.ini");
    std::filesystem::create_directory(install.root() / "Data/Rurized.ini");
    launcher().show();
    EXPECT_EQ(prompts.errors(), QStringList{"File access denied."});
    EXPECT_EQ(launcher().Address_File(), "");
}

TEST_F(BadConfigurationTest, AMissingAddressPointerIsFileNotFound)
{
    std::filesystem::remove(install.root() / "Data/Rurized.ini");
    launcher().show();
    EXPECT_EQ(prompts.errors(), QStringList{"File not found."});
    EXPECT_FALSE(control<PictureBox>("Central_Image")->hasPicture());
}

} // namespace

TEST_F(LauncherTest, AScreenReaderFindsAWindowOfFifteenButtonsAndNoDecoration)
{
    launcher().show();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&launcher());
    EXPECT_EQ(window->role(), QAccessible::Window);
    QStringList buttons;
    int captions = 0;
    int frames = 0;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (child->role() == QAccessible::Button)
                buttons << child->text(QAccessible::Name);
            captions += child->role() == QAccessible::StaticText && child->text(QAccessible::Name) == "Schedule";
            frames += child->role() == QAccessible::Border || child->role() == QAccessible::Window;
            walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(control("Kb_Main")));
    EXPECT_EQ(buttons,
              (QStringList{"Schedule", "ToDo List", "Notebook", "Address", "E-Mail", "Fax", "Setup", "Information",
                           "World Clock", "Calculator", "Editor", "Draw Memo", "Game", "Personal", "Exit"}));
    EXPECT_EQ(captions, 0) << "the shadow and face captions are decoration";
    EXPECT_EQ(frames, 0) << "no container passes for a window";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control("ZAVEVO_Edit"))->text(QAccessible::Name),
              "Kestrelbook Directory");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control("ToolBar1"))->role(), QAccessible::ToolBar);
}
