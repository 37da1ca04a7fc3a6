#include "shell/uInit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Placed before it is shown, so no platform's guess at a title bar it cannot
// know yet moves it; it stays there when shown before any other window. The
// frame, known only once shown, may shift it by its own width.
TEST(FirstRunDialogTest, ComesUpCentredOnTheScreen)
{
    Tfminit dialog;
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint offCentre = dialog.frameGeometry().center() - screenCentre;
    EXPECT_LE(std::abs(offCentre.x()), 3);
    EXPECT_LE(std::abs(offCentre.y()), 3);
}

} // namespace
