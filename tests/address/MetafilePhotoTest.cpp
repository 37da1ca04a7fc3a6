#include "Metafiles.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "address/UAddress.h"
#include "platform/ui/PictureBox.h"

#include <QLabel>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 96 x 48 pixel photo on grey: a green band over the top half, a magenta
// bitmap at the bottom right.
std::string bandedMetafile(MetafileKind kind)
{
    constexpr int twipsPerPixel = 15;
    auto canvas = makeMetafileCanvas(kind, QSize(96, 48) * twipsPerPixel, 96 * twipsPerPixel);
    canvas->setPen(QColor());
    canvas->setBrush(Qt::lightGray);
    canvas->rectangle(QRect(0, 0, 96 * twipsPerPixel, 48 * twipsPerPixel));
    canvas->setBrush(Qt::green);
    canvas->rectangle(QRect(0, 0, 96 * twipsPerPixel, 24 * twipsPerPixel));
    QImage spot(8, 8, QImage::Format_RGB32);
    spot.fill(Qt::magenta);
    canvas->bitmap(QRect(QPoint(80, 32) * twipsPerPixel, QSize(8, 8) * twipsPerPixel), spot);
    return canvas->bytes();
}

class MetafilePhotoTest : public ::testing::TestWithParam<MetafileKind> {
protected:
    std::string save()
    {
        const char* name = GetParam() == MetafileKind::Enhanced ? "FACE.EMF" : "FACE.WMF";
        dir.write(name, bandedMetafile(GetParam()));
        return dir.file(name);
    }
    kb::test::TempDir dir;
    kb::test::PromptScript prompts;
};

TEST_P(MetafilePhotoTest, TheAddressBookShowsItOnTheEditPage)
{
    std::string line = "a1,Ann" + std::string(15, ',') + save() + std::string(5, ',') + "\r\n";
    dir.write("Address.csv", "Alias,Name" + std::string(20, ',') + "\r\n" + line + std::string(21, ',') + "\r\n");
    TfmAddress window([] { return nullptr; });
    window.Show(dir.file("Address.csv"));
    auto* view = window.findChild<QTableView*>("Address_Grid");
    const QPoint at = view->visualRect(view->model()->index(0, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);

    auto* photo = window.findChild<QLabel*>("Photo_Bitmap");
    ASSERT_TRUE(photo->isVisible());
    const QImage shown = photo->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(96, 48));
    EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(84, 36), QColor(Qt::magenta));
    EXPECT_TRUE(prompts.errors().isEmpty());
}

TEST_P(MetafilePhotoTest, APictureControlSizesItselfToIt)
{
    kb::platform::PictureBox centralImage;
    centralImage.setAutoSize(true);
    centralImage.loadFromFile(save());
    EXPECT_EQ(centralImage.size(), QSize(96, 48));
    EXPECT_EQ(centralImage.grab().toImage().pixelColor(84, 36), QColor(Qt::magenta));
}

INSTANTIATE_TEST_SUITE_P(Kinds, MetafilePhotoTest,
                         ::testing::Values(MetafileKind::PlaceableWindows, MetafileKind::Enhanced));

} // namespace
