#include "shell/UAbout.h"
#include "RecordingMailSenders.h"
#include "ScriptedPrompter.h"
#include "launch/GoToWeb.h"
#include "platform/ui/PictureBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using kb::launch::MailSender;

class AboutWindowTest : public ::testing::Test {
protected:
    template <typename Control = QLabel>
    Control* control(const char* name)
    {
        auto* found = about.findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void click(const char* name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }

    // Shows the window modally, runs the steps while it is up, then clicks
    // "Ok" unless the steps closed it. Returns the modal result.
    int showModally(const std::function<void()>& whileShown)
    {
        QTimer::singleShot(0, &about, [&] {
            whileShown();
            if (about.isVisible())
                click("Label1");
            if (about.isVisible())
                about.done(-1); // never leave a test waiting
        });
        return about.exec();
    }

    kb::test::PromptScript prompts;
    std::shared_ptr<kb::test::MailRecord> mail = std::make_shared<kb::test::MailRecord>();
    TfmAbout about{kb::test::recordingMailSenders(mail)};
};

TEST_F(AboutWindowTest, ShowsThePictureAndCaptionsOfTheLayout)
{
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Kestrelbook 98 - Information"));
    EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(about.size(), QSize(251, 201));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());

    auto* image = control<kb::platform::PictureBox>("Image1");
    EXPECT_EQ(image->geometry(), QRect(0, 1, 250, 200));
    EXPECT_EQ(image->picture().size(), QSize(250, 200));

    struct Caption {
        const char* name;
        QString text;
        QPoint position;
        int pixelSize;
        bool bold;
        bool italic;
    };
    for (const Caption& expected : {
             Caption{"Label2", "Kestrelbook 98", {80, 150}, 13, true, true},
             Caption{"Label3", "by", {70, 166}, 11, false, false},
             Caption{"Label4", authorName, {86, 172}, 13, false, false},
             Caption{"Label1", "Ok", {212, 178}, 16, true, false},
         }) {
        const QLabel* label = control(expected.name);
        EXPECT_EQ(label->text(), expected.text) << expected.name;
        EXPECT_EQ(label->pos(), expected.position) << expected.name;
        EXPECT_EQ(label->font().pixelSize(), expected.pixelSize) << expected.name;
        EXPECT_EQ(label->font().bold(), expected.bold) << expected.name;
        EXPECT_EQ(label->font().italic(), expected.italic) << expected.name;
        EXPECT_TRUE(image->geometry().contains(label->geometry())) << expected.name << " lies over the picture";
    }
    EXPECT_EQ(control("Label1")->size(), QSize(33, 19));
    EXPECT_TRUE(control("Label1")->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(control("Label4")->toolTip(), QStringLiteral("EMail :") + authorMailAddress);
}

TEST_F(AboutWindowTest, OnlyOkClosesTheWindow)
{
    bool stayedOpen = false;
    const int result = showModally([&] {
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(&about, key);
        click("Label2");
        click("Label3");
        click("Image1");
        stayedOpen = about.isVisible();
        click("Label1");
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutWindowTest, TabWalksTheAuthorAndOkWhichReturnAndSpacePress)
{
    QStringList walked;
    bool stayedOpen = false;
    const int result = showModally([&] {
        QApplication::setActiveWindow(&about);
        const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
        const auto focused = [] { return qobject_cast<QAbstractButton*>(QApplication::focusWidget())->text(); };
        walked << focused();
        press(Qt::Key_Tab);
        walked << focused();
        press(Qt::Key_Return);
        press(Qt::Key_Space);
        press(Qt::Key_Escape);
        press(Qt::Key_Tab);
        walked << focused();
        stayedOpen = about.isVisible();
        press(Qt::Key_Space);
    });
    EXPECT_EQ(walked, (QStringList{"Ok", authorName, "Ok"}));
    EXPECT_EQ(mail->sent, std::vector<std::string>({authorMailAddress, authorMailAddress}));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(AboutWindowTest, EachShowingHasAMailHandOffOfItsOwnUntilItCloses)
{
    EXPECT_EQ(about.aboutGoToWeb(), nullptr);
    for (int showing = 0; showing < 2; ++showing) {
        const MailSender* during = nullptr;
        showModally([&] { during = about.aboutGoToWeb(); });
        EXPECT_NE(during, nullptr) << "showing " << showing;
        EXPECT_EQ(about.aboutGoToWeb(), nullptr) << "freed at closing " << showing;
    }
}

TEST_F(AboutWindowTest, ClickingTheAuthorsNameMailsTheAuthorEveryTime)
{
    const MailSender* first = nullptr;
    const MailSender* second = nullptr;
    bool stayedOpen = false;
    showModally([&] {
        click("Label4");
        first = about.aboutGoToWeb();
        click("Label4");
        second = about.aboutGoToWeb();
        stayedOpen = about.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(first, second);
    EXPECT_EQ(mail->sent, std::vector<std::string>({authorMailAddress, authorMailAddress}));
    EXPECT_EQ(mail->created, 1);
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_F(AboutWindowTest, AMailThatCannotBeHandedOverShowsNothingAndKeepsTheWindowOpen)
{
    mail->result = false;
    bool stayedOpen = false;
    showModally([&] {
        click("Label4");
        stayedOpen = about.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(mail->sent.size(), 1u);
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_TRUE(prompts.results().isEmpty());
}

} // namespace
