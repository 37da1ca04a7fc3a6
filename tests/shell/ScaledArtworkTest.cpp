// The windows on a screen scaled by 2: a window's grab there against the
// same window painted at a ratio of 1.
#include "DosInstallation.h"
#include "RecordingMailSenders.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "game/Game_Main.h"
#include "game/Settings.h"
#include "shell/Kestrelbook.h"
#include "shell/UAbout.h"
#include "shell/uKestrelbook.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace {

// Set before main makes the application, which reads it once.
const bool screenScaledByTwo = qputenv("QT_SCALE_FACTOR", "2");

QImage paintedAt(QWidget& window, qreal ratio)
{
    QImage image(window.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    window.render(&image);
    return image;
}

// The share of the 2 x 2 blocks of the area (in device-independent pixels)
// that are not one colour: none when the picture at 1 was just blown up.
double blocksWithDetail(const QImage& atTwo, const QRect& area)
{
    int detailed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb corner = atTwo.pixel(2 * x, 2 * y);
            detailed += atTwo.pixel(2 * x + 1, 2 * y) != corner || atTwo.pixel(2 * x, 2 * y + 1) != corner
                || atTwo.pixel(2 * x + 1, 2 * y + 1) != corner;
        }
    }
    return double(detailed) / (area.width() * area.height());
}

// The mean colour of an area at either ratio, channel by channel.
QColor meanColour(const QImage& image, const QRect& area)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels(area.topLeft() * ratio, area.size() * ratio);
    double r = 0, g = 0, b = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    }
    const double count = double(pixels.width()) * pixels.height();
    return QColor(int(r / count + 0.5), int(g / count + 0.5), int(b / count + 0.5));
}

void expectSameColours(const QColor& atOne, const QColor& atTwo, const std::string& what)
{
    constexpr int tolerance = 8;
    EXPECT_NEAR(atOne.red(), atTwo.red(), tolerance) << what;
    EXPECT_NEAR(atOne.green(), atTwo.green(), tolerance) << what;
    EXPECT_NEAR(atOne.blue(), atTwo.blue(), tolerance) << what;
}

QRect areaIn(QWidget& window, const char* name)
{
    const auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control ? QRect(control->mapTo(&window, QPoint(0, 0)), control->size()) : QRect();
}

TEST(ScaledScreen, TheLaunchersArtworkIsDrawnAtTheScreensRatioInItsOwnColours)
{
    kb::test::DosInstallation install;
    kb::test::WorkingDirectory cwd{install.workDir()};
    kb::test::PromptScript prompts;
    Kestrelbook program{kb::test::recordingMailSenders(std::make_shared<kb::test::MailRecord>())};
    Tkb_form& launcher = program.launcher();
    launcher.show();
    ASSERT_TRUE(screenScaledByTwo);
    ASSERT_EQ(launcher.devicePixelRatioF(), 2.0);

    const QImage atTwo = launcher.grab().toImage();
    ASSERT_EQ(atTwo.size(), launcher.size() * 2);
    const QImage atOne = paintedAt(launcher, 1);
    // The first button's knob, the Information plate, the clock face.
    const QRect bar = areaIn(launcher, "kb_button_image_1");
    for (const QRect& area : {QRect(bar.topLeft() + QPoint(19, 10), QSize(29, 30)), areaIn(launcher, "Image9"),
                              areaIn(launcher, "Clock_Image")}) {
        const std::string where = std::to_string(area.x()) + "," + std::to_string(area.y());
        EXPECT_GT(blocksWithDetail(atTwo, area), 0.05) << where;
        expectSameColours(meanColour(atOne, area), meanColour(atTwo, area), where);
    }
}

TEST(ScaledScreen, TheInformationPictureIsDrawnAtTheScreensRatioInItsOwnColours)
{
    kb::test::PromptScript prompts;
    TfmAbout about{kb::test::recordingMailSenders(std::make_shared<kb::test::MailRecord>())};
    about.show();

    const QImage atTwo = about.grab().toImage();
    ASSERT_EQ(atTwo.size(), about.size() * 2);
    const QImage atOne = paintedAt(about, 1);
    // The tab with its ring and word, the framed photograph, the plain plate.
    for (const QRect& area : {QRect(56, 1, 138, 26), QRect(68, 45, 120, 96), QRect(5, 60, 40, 60)}) {
        const std::string where = std::to_string(area.x()) + "," + std::to_string(area.y());
        if (area.x() != 5) {
            EXPECT_GT(blocksWithDetail(atTwo, area), 0.05) << where;
        }
        expectSameColours(meanColour(atOne, area), meanColour(atTwo, area), where);
    }
    EXPECT_EQ(atTwo.pixelColor(20, 200), QColor(214, 188, 146)) << "the tan of the plate";
}

TEST(ScaledScreen, TheGamesStatusBarShowsEachTileWhole)
{
    // Tiles framed in white, so that a tile blown up past its box loses its frame.
    kb::test::TempDir pictures;
    QImage strip(192, 64, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter(&strip).fillRect(QRect(4, 4, 24, 24), Qt::red);
    for (int tile = 1; tile < 6; ++tile)
        QPainter(&strip).drawImage(32 * tile, 0, strip.copy(0, 0, 32, 64));
    strip.save(QString::fromStdString(pictures.file("U_pai.bmp")), "BMP");
    strip.copy(0, 0, 32, 32).save(QString::fromStdString(pictures.file("U_magic1.bmp")), "BMP");
    kb::test::PromptScript prompts;
    TGameForm game;
    game.Show(pictures.path().string());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game));

    for (const char* name : {"Box_Image_0", "Box_Image_1", "Box_Image_5"}) {
        auto* tile = game.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(tile, nullptr) << name;
        const QImage shown = tile->grab().toImage();
        ASSERT_EQ(shown.size(), QSize(64, 64)) << name;
        EXPECT_EQ(shown.pixelColor(2, 2), QColor(Qt::white)) << name << ": the frame's corner";
        EXPECT_EQ(shown.pixelColor(61, 61), QColor(Qt::white)) << name << ": the frame's far corner";
        EXPECT_EQ(shown.pixelColor(32, 32), QColor(Qt::red)) << name << ": the middle";
    }
}

TEST(ScaledScreen, TheCustomSizeDialogsCaptionsKeepOffItsEdge)
{
    TSettingsForm dialog;
    const QImage look = dialog.grab().toImage();
    const QRect columns = dialog.findChild<QLabel*>("Label1")->geometry();
    // Nothing of "Columns" in the four pixels next to the dialog's left edge.
    for (int y = 2 * columns.top(); y <= 2 * columns.bottom() + 1; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(look.pixel(x, y), look.pixel(0, 0)) << x << "," << y;
}

} // namespace
