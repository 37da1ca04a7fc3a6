#include "resources/LauncherArt.h"
#include "resources/Palette16.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace kb::resources;

namespace {

double luminance(QRgb c)
{
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

int opaqueHeight(const QImage& image, int x)
{
    int height = 0;
    for (int y = 0; y < image.height(); ++y)
        height += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return height;
}

} // namespace

TEST(LauncherArt, PicturesHaveTheLayoutSizes)
{
    EXPECT_EQ(launcherButtonBar()(1).size(), QSize(223, 50));
    EXPECT_EQ(speckledTexture()(1).size(), QSize(223, 50));
    EXPECT_EQ(informationPlate()(1).size(), QSize(114, 35));
    EXPECT_EQ(clockFace()(1).size(), QSize(15, 13));
    EXPECT_EQ(continueArrow(true)(1).size(), QSize(16, 16));
    EXPECT_EQ(continueArrow(false)(1).size(), QSize(16, 16));
    const QList<QSize> iconSizes = applicationIcon().availableSizes();
    for (const int size : {16, 32, 48, 64, 128, 256})
        EXPECT_TRUE(iconSizes.contains(QSize(size, size))) << size;
}

TEST(LauncherArt, TheInstalledIconsShowTheWindowIconsPixels)
{
    const QImage small = applicationIconImage(16);
    const QImage large = applicationIconImage(32);
    EXPECT_EQ(applicationIconImage(48).pixel(47, 47), small.pixel(15, 15));
    EXPECT_EQ(applicationIconImage(48).pixel(20, 20), small.pixel(6, 6));
    EXPECT_EQ(applicationIconImage(256).pixel(100, 60), large.pixel(12, 7));

    // The scalable icon, drawn back square by square, is the 32 x 32 picture.
    QImage drawn(32, 32, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    const QRegularExpression rect(
        QStringLiteral(R"re(<rect x="(\d+)" y="(\d+)" width="(\d+)" height="1" fill="(#[0-9a-f]{6})"/>)re"));
    for (const auto& match : rect.globalMatch(QString::fromLatin1(applicationIconSvg())))
        painter.fillRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), 1,
                         QColor(match.captured(4)));
    painter.end();
    EXPECT_EQ(drawn, large.convertToFormat(QImage::Format_ARGB32));
}

TEST(LauncherArt, TextureIsSpeckledInVgaColoursOnly)
{
    const QSet<QRgb> vgaColours = {
        vga::black.rgb(), vga::maroon.rgb(),  vga::green.rgb(), vga::olive.rgb(), vga::navy.rgb(), vga::purple.rgb(),
        vga::teal.rgb(),  vga::silver.rgb(),  vga::grey.rgb(),  vga::red.rgb(),   vga::lime.rgb(), vga::yellow.rgb(),
        vga::blue.rgb(),  vga::fuchsia.rgb(), vga::aqua.rgb(),  vga::white.rgb(),
    };
    const QImage texture = speckledTexture()(1);
    QSet<QRgb> used;
    double total = 0;
    for (int y = 0; y < texture.height(); ++y) {
        for (int x = 0; x < texture.width(); ++x) {
            const QRgb c = texture.pixel(x, y) | 0xff000000u;
            ASSERT_TRUE(vgaColours.contains(c)) << x << "," << y;
            used.insert(c);
            total += luminance(c);
        }
    }
    EXPECT_GE(used.size(), 2) << "a texture, not a flat fill";
    const double mean = total / (texture.width() * texture.height());
    EXPECT_LT(mean, 80) << "white captions sit on it";
}

// The teal and white captions at (71, 19) must stand out from the bar.
TEST(LauncherArt, ButtonBarIsDarkBehindTheCaptions)
{
    const QImage bar = launcherButtonBar()(1);
    const double teal = luminance(vga::teal.rgb());
    for (int y = 19; y < 40; ++y) {
        for (int x = 71; x < 215; ++x)
            ASSERT_LT(luminance(bar.pixel(x, y)), teal * 0.75) << x << "," << y;
    }
}

TEST(LauncherArt, ContinueArrowIsRedAndPointsRightAndGreyWhenDisabled)
{
    const QImage enabled = continueArrow(true)(1);
    const QImage disabled = continueArrow(false)(1);
    bool hasRed = false;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb c = enabled.pixel(x, y);
            hasRed = hasRed || (qAlpha(c) == 255 && qRed(c) == 255 && qGreen(c) == 0 && qBlue(c) == 0);
            const QRgb d = disabled.pixel(x, y);
            if (qAlpha(d) > 0) {
                ASSERT_TRUE(qRed(d) == qGreen(d) && qGreen(d) == qBlue(d)) << "disabled is grey";
            }
        }
    }
    EXPECT_TRUE(hasRed);
    // The head, tallest part of the arrow, is on the right; the shaft on the left.
    EXPECT_GE(opaqueHeight(enabled, 10), opaqueHeight(enabled, 4) + 4);
    // The disabled arrow is an outline: its inside is clear.
    EXPECT_EQ(qAlpha(disabled.pixel(6, 7)), 0);
}

TEST(LauncherArt, ClockFaceIsRoundAndPlateIsBlackWithWhiteMarks)
{
    const QImage clock = clockFace()(1);
    EXPECT_EQ(qAlpha(clock.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(clock.pixel(14, 12)), 0);
    EXPECT_EQ(qAlpha(clock.pixel(7, 6)), 255);

    const QImage plate = informationPlate()(1);
    EXPECT_EQ(plate.pixel(20, 1) | 0xff000000u, vga::black.rgb());
    int whiteInCircle = 0, whiteInWord = 0;
    for (int y = 0; y < plate.height(); ++y) {
        for (int x = 0; x < plate.width(); ++x) {
            if (plate.pixel(x, y) != vga::white.rgb())
                continue;
            (x < 34 ? whiteInCircle : whiteInWord) += 1;
        }
    }
    EXPECT_GT(whiteInCircle, 60);
    EXPECT_GT(whiteInWord, 150);
}
