// Measures the time from the start of the process to the launcher's first
// paint, the way a user waits for it. Run it in a working directory prepared
// like scripts/run's (with a Kestrelbook.Ini), under a real display or Xvfb:
//
//   bench_startup            prints "start-up to first paint: N ms"
//
// Repeat it a few times (hyperfine or a shell loop); the first run also pays
// for a cold disk cache.
#include "launch/GoToWeb.h"
#include "shell/Kestrelbook.h"
#include "shell/uKestrelbook.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

// Milliseconds since this process started, from the kernel's start time.
double millisecondsSinceProcessStart()
{
    std::ifstream statFile("/proc/self/stat");
    std::string contents((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // Field 22 (starttime, in clock ticks since boot) follows the command in parentheses.
    std::istringstream fields(contents.substr(contents.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i)
        fields >> field;
    unsigned long long startTicks = 0;
    fields >> startTicks;
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - static_cast<double>(startTicks) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

class FirstPaintWatcher : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::printf("start-up to first paint: %.0f ms\n", millisecondsSinceProcessStart());
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kb::shell::initialiseApplication();
    Kestrelbook program(kb::launch::goToWebFactory());
    FirstPaintWatcher watcher;
    program.launcher().installEventFilter(&watcher);
    QTimer::singleShot(0, &program.launcher(), [&program] { program.launcher().show(); });
    return app.exec();
}
