#pragma once

// What the address book's window benchmarks share: a mailer that sends
// nothing, a watch for a widget's paint, and timer readings in milliseconds.
#include "launch/MailSender.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <string>

class NoMail final : public kb::launch::MailSender {
public:
    void SetMail(const std::string&) override {}
    bool SendMail() override { return false; }
};

// Notes the first paint of a widget.
class PaintWatch final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

inline double milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Runs the events until the watched widget has painted; the time it took.
inline double waitForPaint(PaintWatch& watch, QElapsedTimer& timer)
{
    timer.restart();
    watch.painted = false;
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return milliseconds(timer);
}
