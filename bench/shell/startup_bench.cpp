// Measures the time from the start of the process to the launcher's first
// paint, the way a user waits for it. Run it in a working directory prepared
// like scripts/run's (with a Kestrelbook.Ini), under a real display or Xvfb:
//
//   bench_startup            prints "start-up to first paint: N ms"
//
// compare_startup.py runs it side by side with bench_empty_window.
#include "FirstPaint.h"
#include "launch/GoToWeb.h"
#include "shell/Kestrelbook.h"
#include "shell/uKestrelbook.h"

#include <QTimer>

int main(int argc, char** argv)
{
    const auto app = kb::shell::startApplication(argc, argv);
    Kestrelbook program(kb::launch::goToWebFactory());
    kb::bench::FirstPaintWatcher watcher;
    program.launcher().installEventFilter(&watcher);
    QTimer::singleShot(0, &program.launcher(), [&program] { program.launcher().show(); });
    return app->exec();
}
