#include "platform/pictures/MetafileHelper.h"
#include "Metafiles.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/pictures/PictureFile.h"

#include <QImage>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

using kb::platform::EInvalidGraphic;
using kb::platform::PictureFormat;

// The program's pictures go to a helper whose decoder crashes, loops or tries
// to get out of its sandbox when a file asks it to.
class HostileMetafileTest : public ::testing::Test {
protected:
    void SetUp() override { kb::platform::useMetafileHelper(KB_HOSTILE_METAFILE_HELPER); }
    void TearDown() override { kb::platform::useMetafileHelper(KB_METAFILE_HELPER); }

    QImage load(const std::string& name, const std::string& bytes)
    {
        dir.write(name, bytes);
        return kb::platform::loadPictureFile(dir.file(name));
    }

    static std::string redSquare(MetafileKind kind)
    {
        auto canvas = makeMetafileCanvas(kind, QSize(1440, 1440), 1440);
        canvas->setPen(QColor());
        canvas->setBrush(Qt::red);
        canvas->rectangle(QRect(0, 0, 1440, 1440));
        return canvas->bytes();
    }

    kb::test::TempDir dir;
};

TEST_F(HostileMetafileTest, ADecoderThatCrashesOrHangsCostsOnlyThatPicture)
{
    for (const char* hostile : {"crash", "loop"}) {
        const auto start = std::chrono::steady_clock::now();
        try {
            load("hostile.wmf", hostile);
            ADD_FAILURE() << hostile;
        } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Metafile is not valid");
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000)) << hostile;
        // The next photo is drawn as if nothing had happened.
        const QImage next = load("next.emf", redSquare(MetafileKind::Enhanced));
        ASSERT_EQ(next.size(), QSize(96, 96)) << hostile;
        EXPECT_EQ(next.pixelColor(48, 48), QColor(Qt::red));
    }
}

TEST_F(HostileMetafileTest, ADecoderCannotOpenFilesUseTheNetworkOrStartProcesses)
{
    std::filesystem::remove("/tmp/kestrelbook-escaped");
    for (const char* escape : {"open", "create", "network", "process", "program"}) {
        try {
            const QImage escaped = load("escape.emf", escape);
            ADD_FAILURE() << escape << " got out";
        } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Metafile is not valid");
        }
    }
    EXPECT_FALSE(std::filesystem::exists("/tmp/kestrelbook-escaped"));
    EXPECT_EQ(load("next.wmf", redSquare(MetafileKind::PlaceableWindows)).pixelColor(48, 48), QColor(Qt::red));
}

} // namespace
