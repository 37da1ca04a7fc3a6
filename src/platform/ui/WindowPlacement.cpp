#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QVariant>
#include <QWidget>

namespace kb::platform {

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void centreAtFirstShow(QWidget& window, const QShowEvent& event)
{
    // A spontaneous show is the desktop restoring the window, not a showing.
    static constexpr char placed[] = "kbCentredAtFirstShow";
    if (event.spontaneous() || window.property(placed).toBool())
        return;
    window.setProperty(placed, true);
    centreOnScreen(window);
}

void bringToFront(QWidget& window)
{
    if (window.isMinimized())
        window.showNormal();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace kb::platform
