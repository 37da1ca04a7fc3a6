#include "Metafiles.h"
#include "RecordingMailSenders.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "platform/ui/PictureBox.h"
#include "shell/uKestrelbook.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// A 150 x 90 pixel picture on white: a yellow sun on the left, a dark blue
// bar on the right.
std::string sunAndBar(MetafileKind kind)
{
    auto canvas = makeMetafileCanvas(kind, QSize(150, 90), 96);
    canvas->setPen(QColor());
    canvas->setBrush(Qt::white);
    canvas->rectangle(QRect(0, 0, 150, 90));
    canvas->setBrush(Qt::yellow);
    canvas->ellipse(QRect(10, 10, 70, 70));
    canvas->setBrush(Qt::darkBlue);
    canvas->rectangle(QRect(100, 10, 40, 70));
    return canvas->bytes();
}

TEST(LauncherMetafileTest, TheCentralPictureShowsMetafilesAtTheirOwnSize)
{
    kb::test::TempDir dir;
    kb::test::PromptScript prompts;
    Tkb_form launcher(kb::test::recordingMailSenders(std::make_shared<kb::test::MailRecord>()));
    auto* centralImage = launcher.findChild<kb::platform::PictureBox*>(QStringLiteral("Central_Image"));
    ASSERT_NE(centralImage, nullptr);

    for (const auto& [kind, name] :
         {std::pair(MetafileKind::PlaceableWindows, "P_SUN.WMF"), std::pair(MetafileKind::Enhanced, "P_SUN.EMF")}) {
        dir.write(name, sunAndBar(kind));
        centralImage->loadFromFile(dir.file(name));
        EXPECT_EQ(centralImage->size(), QSize(150, 90)) << name;
        const QImage shown = centralImage->grab().toImage();
        EXPECT_EQ(shown.pixelColor(45, 45), QColor(Qt::yellow)) << name;
        EXPECT_EQ(shown.pixelColor(120, 45), QColor(Qt::darkBlue)) << name;
        EXPECT_EQ(shown.pixelColor(90, 45), QColor(Qt::white)) << name;
    }
    EXPECT_TRUE(prompts.errors().isEmpty());
}

} // namespace
