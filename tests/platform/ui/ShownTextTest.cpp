#include "platform/text/LongTime.h"
#include "platform/ui/CaptionLabel.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/WindowScaling.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

using kb::platform::CaptionLabel;

TEST(CaptionScalingTest, AFittedItalicCaptionShowsItsWholeTextAtEveryScale)
{
    QWidget window;
    window.setFixedSize(631, 387);
    const QString text = QStringLiteral("Kestrelbook 98");
    auto* caption = new CaptionLabel(text, &window);
    caption->setFont(
        kb::platform::layoutFont(QStringLiteral("Times New Roman"), 21, kb::platform::FontStyle::BoldItalic));
    caption->adjustSize();
    caption->move(62 + 427, 352);
    window.show();

    const auto inkFits = [&] {
        const QRect ink = QFontMetrics(caption->font()).boundingRect(text);
        return caption->width() > ink.right() && caption->height() >= ink.height();
    };
    EXPECT_TRUE(inkFits());
    kb::platform::scaleWindow(window, 75, 100);
    EXPECT_TRUE(inkFits()) << "at 75%";
    kb::platform::scaleWindow(window, 125, 100);
    EXPECT_TRUE(inkFits()) << "scaled back";
}

TEST(LongTimeTest, TheLocalesLongTimeLeavesOutTheTimeZone)
{
    const QTime time(9, 7, 33);
    EXPECT_EQ(kb::platform::longTimeText(QLocale(QStringLiteral("en_US")), time), "9:07:33 AM");
    EXPECT_EQ(kb::platform::longTimeText(QLocale(QStringLiteral("de_DE")), time), "09:07:33");
    EXPECT_EQ(kb::platform::longTimeText(QLocale(QStringLiteral("zh_CN")), time), "09:07:33");
    EXPECT_EQ(kb::platform::longTimeText(QLocale(QStringLiteral("ko_KR")), time),
              QString::fromUtf8("\xEC\x98\xA4\xEC\xA0\x84 9\xEC\x8B\x9C 7\xEB\xB6\x84 33\xEC\xB4\x88"));
    EXPECT_EQ(kb::platform::longTimeText(QLocale(QStringLiteral("es_ES")), time), "9:07:33");
}

} // namespace
