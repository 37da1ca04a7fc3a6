#include "FileErrors.h"
#include "HandlerGuard.h"
#include "PictureBox.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "WindowScaling.h"

#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using kb::platform::PictureBox;

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
