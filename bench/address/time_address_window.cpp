// Times the address book window on a generated address file: from Show to
// the list painted, paging through the list, and Exit until the file is
// saved. Run under Xvfb or with QT_QPA_PLATFORM=offscreen:
//   time_address_window [address count]      (default 100000)
#include "AddressFileGenerator.h"
#include "MemoryInUse.h"
#include "WindowTiming.h"
#include "address/UAddress.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"
#include "platform/ui/ApplicationSetUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const auto app = kb::platform::setUpApplication(argc, argv, {QStringLiteral("Kestrelbook"), {}, {}});
    const std::size_t count = argc > 1 ? std::stoul(argv[1]) : 100000;

    char pattern[] = "/tmp/kb-window-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::string file = std::string(pattern) + "/Address.csv";
    kb::platform::writeFileReplacing(file, generateAddressFile(count));
    struct stat info {};
    ::stat(file.c_str(), &info);
    std::printf("file: %zu addresses, %.1f MB\n", count, static_cast<double>(info.st_size) / 1e6);

    TfmAddress window([] { return std::make_unique<NoMail>(); });
    auto* grid = window.findChild<QTableView*>(QStringLiteral("Address_Grid"));
    PaintWatch watch;
    grid->viewport()->installEventFilter(&watch);

    const std::size_t residentBefore = residentBytes();
    QElapsedTimer timer;
    timer.start();
    window.Show(file);
    const double shownMs = milliseconds(timer);
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double openMs = milliseconds(timer);
    const std::size_t residentAdded = residentBytes() - residentBefore;
    std::printf("open, list painted : %8.1f ms (Show returned after %.1f ms; rows listed: %d)\n", openMs, shownMs,
                grid->model()->rowCount());
    std::printf("memory added       : %8.1f MB (%.2f x the file)\n", static_cast<double>(residentAdded) / 1e6,
                static_cast<double>(residentAdded) / static_cast<double>(info.st_size));

    // Page down through the list, painting each page, then jump to the end.
    QScrollBar* bar = grid->verticalScrollBar();
    constexpr int pages = 200;
    timer.restart();
    double worstMs = 0;
    for (int i = 0; i < pages; ++i) {
        QElapsedTimer frame;
        frame.start();
        bar->setValue(bar->value() + bar->pageStep() * static_cast<int>(count / 1000 + 1));
        grid->viewport()->repaint();
        worstMs = std::max(worstMs, milliseconds(frame));
    }
    const double pageMs = milliseconds(timer) / pages;
    timer.restart();
    bar->setValue(bar->maximum());
    grid->viewport()->repaint();
    std::printf("scroll, per page   : %8.2f ms (worst %.2f ms), to the end %.2f ms\n", pageMs, worstMs,
                milliseconds(timer));

    auto* exitButton = window.findChild<QAbstractButton*>(QStringLiteral("Address_Exit_Button"));
    timer.restart();
    QTest::mouseClick(exitButton, Qt::LeftButton);
    const double exitMs = milliseconds(timer);
    struct stat saved {};
    ::stat(file.c_str(), &saved);
    std::printf("exit, file saved   : %8.1f ms (window %s, %lld bytes written)\n", exitMs,
                window.isVisible() ? "still open" : "closed", static_cast<long long>(saved.st_size));

    ::unlink(file.c_str());
    ::rmdir(pattern);
    return openMs <= 500 && exitMs <= 500 ? 0 : 1;
}
