// Times the address book on a file whose one cell is huge (default 1 GB):
// the load, the first paint of the list after it, opening the row on the
// Edit page, and Exit until the file is saved. Run under Xvfb or with
// QT_QPA_PLATFORM=offscreen:
//   time_huge_cell [cell megabytes]      (default 1024)
#include "WindowTiming.h"
#include "address/UAddress.h"
#include "platform/ui/ApplicationSetUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Heading, one address whose Name is the huge cell, and the blank trailer.
void writeFile(const std::string& name, std::size_t cellBytes)
{
    std::ofstream out(name, std::ios::binary);
    out << "Alias,Name" << std::string(20, ',') << "\r\nanna,";
    const std::string chunk(1 << 20, 'x');
    for (std::size_t written = 0; written < cellBytes; written += chunk.size())
        out.write(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), cellBytes - written)));
    out << std::string(20, ',') << "\r\n" << std::string(21, ',') << "\r\n";
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = kb::platform::setUpApplication(argc, argv, {QStringLiteral("Kestrelbook"), {}, {}});
    const std::size_t megabytes = argc > 1 ? std::stoul(argv[1]) : 1024;

    char pattern[] = "/tmp/kb-huge-cell-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::string file = std::string(pattern) + "/Address.csv";
    writeFile(file, megabytes << 20);

    TfmAddress window([] { return std::make_unique<NoMail>(); });
    auto* grid = window.findChild<QTableView*>(QStringLiteral("Address_Grid"));
    PaintWatch listPaint;
    grid->viewport()->installEventFilter(&listPaint);
    QElapsedTimer timer;
    timer.start();
    window.Show(file);
    const double loadMs = milliseconds(timer);
    const double listMs = waitForPaint(listPaint, timer);
    std::printf("cell of %zu MB: Show (load) %.0f ms, then the list painted after %.1f ms\n", megabytes, loadMs,
                listMs);

    PaintWatch editPaint;
    window.findChild<QWidget*>(QStringLiteral("Name_Edit"))->installEventFilter(&editPaint);
    grid->setFocus();
    grid->selectRow(0);
    QTest::keyClick(grid, Qt::Key_Return);
    const double editMs = waitForPaint(editPaint, timer);
    std::printf("row opened, Edit page painted after %.1f ms\n", editMs);
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("Address_Edit_Save_Button")), Qt::LeftButton);

    timer.restart();
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("Address_Exit_Button")), Qt::LeftButton);
    struct stat saved {};
    ::stat(file.c_str(), &saved);
    std::printf("Save, Exit: file saved after %.0f ms (%lld bytes)\n", milliseconds(timer),
                static_cast<long long>(saved.st_size));
    ::unlink(file.c_str());
    ::rmdir(pattern);
    return listMs <= 200 && editMs <= 200 ? 0 : 1;
}
