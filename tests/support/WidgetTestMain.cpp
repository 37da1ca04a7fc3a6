#include "platform/pictures/MetafileHelper.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/FocusMarks.h"
#include "platform/ui/Fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

// Widget tests share one QApplication on the offscreen platform, which the
// tests' environment selects. Listing the tests needs no application, so
// test discovery at build time works without a display.
int main(int argc, char** argv)
{
    bool listingOnly = false;
    for (int i = 1; i < argc; ++i)
        listingOnly = listingOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;

    std::optional<QApplication> app;
    if (!listingOnly) {
        app.emplace(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Kestrelbook"));
        QApplication::setQuitOnLastWindowClosed(false);
        kb::platform::installFontSubstitutions();
        kb::platform::dropButtonFocusOnMouseClicks();
        kb::platform::installAccessibleInterfaces();
        kb::platform::useMetafileHelper(KB_METAFILE_HELPER);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
