#include "Fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widget tests share one QApplication on the offscreen platform.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrelbook"));
    kb::platform::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
