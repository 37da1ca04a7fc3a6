#include "platform/pictures/PictureFile.h"
#include "Metafiles.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafilePlayer.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <utility>

namespace {

using kb::platform::EFOpenError;
using kb::platform::EInvalidGraphic;
using kb::platform::loadPictureFile;
using kb::platform::PictureFormat;

// Four plain quarters, so that a test can tell where each pixel came from.
QImage quarters()
{
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            picture.setPixelColor(x, y, Qt::blue);
            picture.setPixelColor(x + 16, y + 16, Qt::green);
        }
    }
    return picture;
}

// A 2 x 1 inch picture: a red square on the left, an outlined magenta ellipse
// beside it, the quarters on the right drawn one to one at 96 pixels an inch.
std::string drawnMetafile(MetafileKind kind)
{
    constexpr int unitsPerInch = 1440;
    constexpr int unitsPerPixel = unitsPerInch / 96;
    auto canvas = makeMetafileCanvas(kind, QSize(2 * unitsPerInch, unitsPerInch), unitsPerInch);
    canvas->setPen(QColor());
    canvas->setBrush(Qt::white);
    canvas->rectangle(QRect(0, 0, 2 * unitsPerInch, unitsPerInch));
    canvas->setBrush(Qt::red);
    canvas->rectangle(QRect(0, 0, unitsPerInch / 2, unitsPerInch / 2));
    canvas->setPen(Qt::black, unitsPerPixel);
    canvas->line(QPoint(0, 1000), QPoint(2800, 1000));
    canvas->setBrush(Qt::magenta);
    canvas->ellipse(QRect(60 * unitsPerPixel, 30 * unitsPerPixel, 40 * unitsPerPixel, 24 * unitsPerPixel));
    canvas->setFont(12 * unitsPerPixel, "Arial");
    canvas->text(QPoint(20, 1100), "Kestrel");
    canvas->bitmap(QRect(120 * unitsPerPixel, 20 * unitsPerPixel, 32 * unitsPerPixel, 32 * unitsPerPixel), quarters());
    return canvas->bytes();
}

struct Format {
    MetafileKind kind;
    const char* name;
};

class MetafileTest : public ::testing::TestWithParam<Format> {
protected:
    std::string save(const std::string& bytes, const char* name = nullptr)
    {
        const std::string file = name ? name : GetParam().name;
        dir.write(file, bytes);
        return dir.file(file);
    }
    kb::test::TempDir dir;
};

TEST_P(MetafileTest, ShowsAtItsOwnSizeWithItsShapesAndBitmap)
{
    const QImage picture = loadPictureFile(save(drawnMetafile(GetParam().kind)));
    ASSERT_EQ(picture.size(), QSize(192, 96));
    EXPECT_EQ(picture.pixelColor(20, 20), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(80, 20), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(80, 42), QColor(Qt::magenta));
    EXPECT_EQ(picture.pixelColor(64, 42), QColor(Qt::magenta));
    EXPECT_EQ(picture.pixelColor(124, 24), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(148, 24), QColor(Qt::yellow));
    EXPECT_EQ(picture.pixelColor(148, 48), QColor(Qt::green));
}

TEST_P(MetafileTest, ASmallShapeKeepsItsPlaceInTheFrame)
{
    // Nothing is drawn near the frame's edges, so a picture fitted to its
    // drawing rather than to its frame would show the square stretched.
    auto canvas = makeMetafileCanvas(GetParam().kind, QSize(2880, 1440), 1440);
    canvas->setPen(QColor());
    canvas->setBrush(Qt::red);
    canvas->rectangle(QRect(720, 360, 720, 360));
    const QImage picture = loadPictureFile(save(canvas->bytes()));
    ASSERT_EQ(picture.size(), QSize(192, 96));
    EXPECT_EQ(picture.pixelColor(50, 26), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(94, 46), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(44, 30), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(100, 30), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(60, 52), QColor(Qt::white));
}

TEST_P(MetafileTest, DamagedFilesAreNotValid)
{
    const std::string whole = drawnMetafile(GetParam().kind);
    for (const std::string& bytes :
         {std::string(), std::string("metafile"), whole.substr(0, whole.size() / 2), std::string(4000, '\xff')}) {
        try {
            loadPictureFile(save(bytes));
            ADD_FAILURE() << bytes.size();
        } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Metafile is not valid");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, MetafileTest,
                         ::testing::Values(Format{MetafileKind::PlaceableWindows, "Photo.WMF"},
                                           Format{MetafileKind::Windows, "bare.wmf"},
                                           Format{MetafileKind::Enhanced, "Photo.Emf"}),
                         [](const auto& info) {
                             switch (info.param.kind) {
                             case MetafileKind::Windows: return "Bare";
                             case MetafileKind::PlaceableWindows: return "Placeable";
                             case MetafileKind::Enhanced: break;
                             }
                             return "Enhanced";
                         });

TEST_P(MetafileTest, ABitmapPromisingMoreThanItHoldsIsRefusedAtOnce)
{
    std::string bytes = drawnMetafile(GetParam().kind);
    const std::string header("\x28\0\0\0\x20\0\0\0\x20\0\0\0", 12);
    const std::size_t at = bytes.find(header);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at + 8, 4, "\xff\xff\xff\x0f");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(loadPictureFile(save(bytes)), EInvalidGraphic);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// How far right the dark pixels of the rows below the line reach: the caption.
int captionRight(const QImage& picture)
{
    int right = -1;
    for (int y = 70; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) < 128)
                right = std::max(right, x);
        }
    }
    return right;
}

TEST(MetafileTextTest, AWindowsMetafileWritesItsTextAsWideAsAnEnhancedOne)
{
    // The picture is twice as wide as high, which once stretched the text.
    const auto decoded = [](MetafileKind kind, PictureFormat format) {
        return kb::platform::playMetafile(drawnMetafile(kind), format);
    };
    const int enhanced = captionRight(decoded(MetafileKind::Enhanced, PictureFormat::EnhancedMetafile));
    ASSERT_GT(enhanced, 10);
    for (const auto kind : {MetafileKind::PlaceableWindows, MetafileKind::Windows})
        EXPECT_NEAR(captionRight(decoded(kind, PictureFormat::WindowsMetafile)), enhanced, 3);
}

TEST(MetafileHelperTest, DrawsTheSamePixelsAsThePlayersInThisProcess)
{
    for (const auto& [kind, format] : {std::pair(MetafileKind::PlaceableWindows, PictureFormat::WindowsMetafile),
                                       std::pair(MetafileKind::Windows, PictureFormat::WindowsMetafile),
                                       std::pair(MetafileKind::Enhanced, PictureFormat::EnhancedMetafile)}) {
        const std::string bytes = drawnMetafile(kind);
        const QImage fromHelper = kb::platform::decodePicture(bytes, format);
        EXPECT_GT(captionRight(fromHelper), 10);
        EXPECT_EQ(fromHelper, kb::platform::playMetafile(bytes, format));
    }
}

TEST(MetafileLimitsTest, AHugeDeclaredSizeIsScaledDownToTheLimit)
{
    kb::test::TempDir dir;
    auto canvas = makeMetafileCanvas(MetafileKind::PlaceableWindows, QSize(32000, 16000), 96);
    canvas->setBrush(Qt::red);
    canvas->rectangle(QRect(0, 0, 32000, 16000));
    dir.write("huge.wmf", canvas->bytes());
    EXPECT_EQ(loadPictureFile(dir.file("huge.wmf")).size(), QSize(4096, 2048));
}

TEST(MetafileLimitsTest, AThickLineReachingFarPastThePictureIsDrawnInTime)
{
    for (const auto& [kind, format] : {std::pair(MetafileKind::PlaceableWindows, PictureFormat::WindowsMetafile),
                                       std::pair(MetafileKind::Enhanced, PictureFormat::EnhancedMetafile)}) {
        // Half an inch wide, it leaves the 3072 x 1536 picture and runs on
        // for a million and a half pixels.
        auto canvas = makeMetafileCanvas(kind, QSize(64, 32), 2);
        canvas->setPen(Qt::black, 1);
        canvas->line(QPoint(2, 2), QPoint(16000, 32000));
        const auto start = std::chrono::steady_clock::now();
        const QImage picture = kb::platform::playMetafile(canvas->bytes(), format);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        ASSERT_EQ(picture.size(), QSize(3072, 1536));
        EXPECT_EQ(picture.pixelColor(400, 704), QColor(Qt::black));
        EXPECT_EQ(picture.pixelColor(400, 500), QColor(Qt::white));
    }
}

TEST(MetafileLimitsTest, HostileFilesFoundByFuzzingAreDrawnOrRefused)
{
    for (const auto& entry : std::filesystem::directory_iterator(KB_PICTURE_FUZZ_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        for (const auto format : {PictureFormat::WindowsMetafile, PictureFormat::EnhancedMetafile}) {
            const auto start = std::chrono::steady_clock::now();
            try {
                const QImage picture = kb::platform::decodePicture(bytes, format);
                EXPECT_LE(std::max(picture.width(), picture.height()), kb::platform::MetafileLimits::maxSide);
            } catch (const EInvalidGraphic&) {
            }
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << entry.path();
        }
    }
}

TEST(PictureFileTest, OnlyRegularFilesOfASaneSizeAreRead)
{
    kb::test::TempDir dir;
    const std::string fifo = dir.file("pipe.wmf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = dir.file("huge.emf");
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, kb::platform::maxPictureFileBytes + 1);

    const auto start = std::chrono::steady_clock::now();
    for (const std::string& name : {fifo, std::string("/dev/zero.bmp"), huge}) {
        try {
            loadPictureFile(kb::platform::FileName::native(name));
            ADD_FAILURE() << name;
        } catch (const EFOpenError& error) {
            EXPECT_EQ(error.what(), "Cannot open file " + name);
        }
    }
    ::symlink("/dev/zero", dir.file("zero.bmp").c_str());
    EXPECT_THROW(loadPictureFile(kb::platform::FileName::native(dir.file("zero.bmp"))), EFOpenError);
    // The extension is looked at before the file is opened.
    ::rename(fifo.c_str(), dir.file("pipe.gif").c_str());
    EXPECT_THROW(loadPictureFile(kb::platform::FileName::native(dir.file("pipe.gif"))), EInvalidGraphic);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
