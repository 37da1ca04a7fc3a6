#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <optional>

namespace kb::platform {
namespace {

// The window's frame as the desktop has it now. The widget's own idea of it
// is updated only when the window moves, and a window manager that frames a
// window where it stands does not move it.
QRect frameOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? window.geometry().marginsAdded(handle->frameMargins()) : window.frameGeometry();
}

bool isFramed(const QWidget& window)
{
    return frameOf(window) != window.geometry();
}

// A box stands over the window that owns it while that one is shown, as Qt
// places it; anything else over the screen.
const QWidget* shownOwnerOf(const QWidget& box)
{
    const QWidget* owner = box.parentWidget() ? box.parentWidget()->window() : nullptr;
    return owner && owner->isVisible() ? owner : nullptr;
}

// Where the frame's top left goes for the window to stand centred over the
// owner, or else on its screen; none without a screen.
std::optional<QPoint> centredFrameTopLeft(const QWidget& window, const QWidget* owner = nullptr)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!owner && !screen)
        return std::nullopt;
    QRect frame = frameOf(window);
    frame.moveCenter(owner ? frameOf(*owner).center() : screen->availableGeometry().center());
    return frame.topLeft();
}

// Centres a window once more when the desktop has given it its frame, and a
// box also as it is shown and sized; the window is left where the user puts
// it after that. Without a desktop that frames windows the last step never
// comes.
class CentringUntilFramed final : public QObject {
public:
    CentringUntilFramed(QWidget& window, bool isBox)
        : QObject(&window)
        , m_window(window)
        , m_isBox(isBox)
    {
        window.installEventFilter(this);
        watchExposure();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == &m_window && (type == QEvent::Show || type == QEvent::Resize)) {
            if (m_isBox) {
                if (const auto topLeft = centredFrameTopLeft(m_window, shownOwnerOf(m_window)))
                    m_window.move(*topLeft);
            }
            if (type == QEvent::Show)
                watchExposure();
        } else if (watched != &m_window && type == QEvent::Expose) {
            if (isFramed(m_window)) {
                watched->removeEventFilter(this);
                m_window.removeEventFilter(this);
                deleteLater();
                // Placed by its frame: the widget's own move would take the
                // place for its client area's, as it has not seen the frame.
                if (const auto topLeft = centredFrameTopLeft(m_window, m_isBox ? shownOwnerOf(m_window) : nullptr))
                    m_window.windowHandle()->setFramePosition(*topLeft);
            }
        }
        return false;
    }

private:
    // The desktop frames the window before it first shows its content.
    void watchExposure()
    {
        if (m_window.windowHandle())
            m_window.windowHandle()->installEventFilter(this);
    }

    QWidget& m_window;
    bool m_isBox;
};

} // namespace

void centreOnScreen(QWidget& window)
{
    if (const auto topLeft = centredFrameTopLeft(window))
        window.move(*topLeft);
}

void centreAtFirstShow(QWidget& window, const QShowEvent& event)
{
    // A spontaneous show is the desktop restoring the window, not a showing.
    static constexpr char placed[] = "kbCentredAtFirstShow";
    if (event.spontaneous() || window.property(placed).toBool())
        return;
    window.setProperty(placed, true);
    centreOnScreen(window);
    new CentringUntilFramed(window, false);
}

void centreBox(QWidget& box)
{
    new CentringUntilFramed(box, true);
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
