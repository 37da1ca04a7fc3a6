#include "LauncherPieces.h"

#include "platform/ui/Fonts.h"

#include <QPaintEngine>
#include <QPainter>

namespace kb::shell::launcher {

QFont captionFont()
{
    return kb::platform::layoutFont(QStringLiteral("Times New Roman"), 16, kb::platform::FontStyle::Bold);
}

QFrame* makePanel(QWidget* parent, const QRect& geometry, QFrame::Shadow shadow)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | shadow);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

void ClockCircle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // On a scaled screen the rim is smoothed, on the pixels it covers at 1.
    if (painter.paintEngine()->paintDevice()->devicePixelRatioF() != 1) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0.5, 0.5);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
}

void WhiteLine::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::white);
}

} // namespace kb::shell::launcher
