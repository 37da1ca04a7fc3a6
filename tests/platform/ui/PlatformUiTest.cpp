#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/ui/FocusMarks.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/WindowScaling.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace {

using kb::platform::PictureBox;

TEST(ApplicationLookTest, ButtonsAreSilverWithAWhiteBevelAsTheProgramShowsThem)
{
    QPushButton button(QStringLiteral("OK"));
    button.resize(75, 23);
    const QImage shown = button.grab().toImage();
    // Qt's own look would give a light grey face and no white edge.
    EXPECT_EQ(shown.pixelColor(37, 3), QColor(192, 192, 192));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::white));
}

TEST(HandlerGuardTest, AFailureStopsTheHandlerAndShowsTheErrorBoxOnce)
{
    kb::test::PromptScript prompts;
    int steps = 0;
    const bool ok = kb::platform::guarded(nullptr, [&] {
        ++steps;
        throw std::runtime_error("File not found");
        ++steps;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(prompts.errors(), QStringList{"File not found."});

    kb::platform::guarded(nullptr, [] { throw std::runtime_error("Index out of bounds."); });
    EXPECT_EQ(prompts.errors().last(), "Index out of bounds.");
    EXPECT_TRUE(kb::platform::guarded(nullptr, [] {}));
    EXPECT_EQ(prompts.errors().size(), 2);
}

std::unique_ptr<QMessageBox> errorBox(const QString& text, QWidget* owner = nullptr)
{
    return kb::platform::createMessageBox(QMessageBox::Critical, QStringLiteral("Kestrelbook"), text, QMessageBox::Ok,
                                          owner);
}

TEST(MessageBoxTest, ShowsMarkupAsPlainTextAndShortensAHugeName)
{
    auto box = errorBox(QStringLiteral("Delete <b>Bold</b> &amp; Co?"));
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Delete <b>Bold</b> &amp; Co?");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);

    const QString name = QStringLiteral("/home/") + QString(1 << 20, QLatin1Char('x')) + QStringLiteral("/end.txt");
    box = errorBox(kb::platform::errorBoxText(QStringLiteral("Cannot open file ") + name));
    QString shown = box->text();
    shown.remove(QChar(0x200B)); // where the long name may wrap
    EXPECT_LT(shown.size(), 4096);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Cannot open file /home/xxx")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("xxx/end.txt.")));
    box->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(box.get()));
}

TEST(MessageBoxTest, ComesUpCentredOnItsVisibleOwnerOrElseOnTheScreen)
{
    QWidget owner;
    owner.setGeometry(420, 320, 360, 260); // away from the screen's centre
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    auto box = errorBox(QStringLiteral("File not found"), &owner);
    box->show();
    EXPECT_LE((box->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);

    owner.hide();
    box = errorBox(QStringLiteral("File not found"), &owner);
    box->show();
    const QPoint screenCentre = box->screen()->availableGeometry().center();
    EXPECT_LE((box->frameGeometry().center() - screenCentre).manhattanLength(), 2);
}

class PictureBoxTest : public ::testing::Test {
protected:
    std::string saveBitmap(const char* name, QColor colour, QSize size = {20, 10})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(QString::fromStdString(dir.file(name)), "BMP");
        return dir.file(name);
    }

    kb::test::TempDir dir;
    PictureBox box;
};

TEST_F(PictureBoxTest, LoadsABitmapAndSizesItselfToIt)
{
    box.setAutoSize(true);
    box.loadFromFile(saveBitmap("Red.BMP", Qt::red));
    EXPECT_EQ(box.size(), QSize(20, 10));
    EXPECT_EQ(box.picture().pixelColor(3, 3), QColor(Qt::red));
}

TEST_F(PictureBoxTest, FailuresKeepTheFormerPictureAndSayWhy)
{
    box.loadFromFile(saveBitmap("red.bmp", Qt::red));
    const std::string missing = dir.file("missing.bmp");
    try {
        box.loadFromFile(missing);
        FAIL();
    } catch (const kb::platform::EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing);
    }
    dir.write("text.bmp", "this is not a bitmap");
    EXPECT_THROW(box.loadFromFile(dir.file("text.bmp")), kb::platform::EInvalidGraphic);
    dir.write("picture.wmf", "metafile");
    EXPECT_THROW(box.loadFromFile(dir.file("picture.wmf")), kb::platform::EInvalidGraphic);
    std::filesystem::create_directory(dir.path() / "folder.bmp");
    EXPECT_THROW(box.loadFromFile(dir.file("folder.bmp")), kb::platform::EFOpenError);
    EXPECT_EQ(box.picture().pixelColor(0, 0), QColor(Qt::red));
}

TEST_F(PictureBoxTest, TheCanvasOfAnEmptyControlIsItsCurrentSize)
{
    box.resize(190, 39);
    box.paintOnCanvas([](QPainter&) {});
    EXPECT_EQ(box.picture().size(), QSize(190, 39));
}

TEST(FocusMarkTest, StandsOutWithoutGapsOnBlackWhiteGreyAndSpeckledBackgrounds)
{
    QImage black(40, 20, QImage::Format_RGB32);
    black.fill(Qt::black);
    QImage white = black;
    white.fill(Qt::white);
    QImage grey = black;
    grey.fill(QColor(128, 128, 128));
    QImage speckled = black;
    QRandomGenerator specks(7);
    for (int y = 0; y < speckled.height(); ++y)
        for (int x = 0; x < speckled.width(); ++x)
            speckled.setPixel(x, y, specks.bounded(2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));

    for (const QImage& background : {black, white, grey, speckled}) {
        QImage marked = background;
        QPainter painter(&marked);
        kb::platform::drawFocusMark(painter, marked.rect());
        painter.end();
        const auto changed = [&](int x, int y) {
            return std::abs(qGray(marked.pixel(x, y)) - qGray(background.pixel(x, y))) >= 96;
        };
        for (int x = 0; x + 1 < marked.width(); ++x)
            EXPECT_TRUE(changed(x, 0) || changed(x + 1, 0)) << "top edge at " << x;
        for (int y = 0; y + 1 < marked.height(); ++y)
            EXPECT_TRUE(changed(0, y) || changed(0, y + 1)) << "left edge at " << y;
    }
}

TEST(WindowScalingTest, ScalesEveryEdgeAndOwnFontAndRoundsEachStep)
{
    QWidget window;
    window.setFixedSize(631, 387);
    auto* child = new QLabel(QStringLiteral("x"), &window);
    child->setGeometry(71, 19, 146, 31);
    QFont font = child->font();
    font.setPixelSize(16);
    child->setFont(font);

    kb::platform::scaleWindow(window, 75, 100);
    EXPECT_EQ(window.size(), QSize(473, 290));
    EXPECT_EQ(child->geometry(), QRect(QPoint(53, 14), QPoint(163 - 1, 38 - 1)));
    EXPECT_EQ(child->font().pixelSize(), 12);

    kb::platform::scaleWindow(window, 125, 100);
    EXPECT_EQ(window.size(), QSize(591, 363));
    EXPECT_EQ(child->font().pixelSize(), 15);
    EXPECT_EQ(kb::platform::scaledEdge(5, 1, 2), 3);
}

} // namespace
