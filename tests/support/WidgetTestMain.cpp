#include "platform/pictures/MetafileHelper.h"
#include "platform/ui/ApplicationSetUp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

// Widget tests share one application, set up as the program's, on the
// offscreen platform that the tests' environment selects. Listing the tests needs no application, so
// test discovery at build time works without a display.
int main(int argc, char** argv)
{
    bool listingOnly = false;
    for (int i = 1; i < argc; ++i)
        listingOnly = listingOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;

    std::unique_ptr<QApplication> app;
    if (!listingOnly) {
        app = kb::platform::setUpApplication(argc, argv, {QStringLiteral("Kestrelbook"), {}, {}});
        kb::platform::useMetafileHelper(KB_METAFILE_HELPER);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
