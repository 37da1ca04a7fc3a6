#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace kb::bench {

// Milliseconds since this process started, from the kernel's start time.
inline double millisecondsSinceProcessStart()
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

// Prints the time from process start to the watched window's first paint,
// then ends the program.
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

} // namespace kb::bench
