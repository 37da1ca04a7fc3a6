// The floor of bench_startup: an empty Qt window of the launcher's size,
// timed the same way from process start to first paint.
#include "FirstPaint.h"
#include "platform/ui/WindowingPlatform.h"

#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    const auto app = kb::platform::makeApplication(argc, argv);
    QWidget window;
    window.setFixedSize(631, 387); // the launcher's client size
    kb::bench::FirstPaintWatcher watcher;
    window.installEventFilter(&watcher);
    QTimer::singleShot(0, &window, [&window] { window.show(); });
    return app->exec();
}
