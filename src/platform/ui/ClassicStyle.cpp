#include "ClassicStyle.h"

#include <QImage>
#include <QPainter>

namespace kb::platform {
namespace {

// Two black chevrons, side by side or one above the other, in 16 x 16.
QIcon extensionArrows(bool horizontal)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (const int offset : {4, 8}) {
        for (int step = 0; step < 3; ++step) {
            const QPoint tip = horizontal ? QPoint(offset + 2, 8) : QPoint(8, offset + 2);
            const QPoint across = horizontal ? QPoint(0, step) : QPoint(step, 0);
            const QPoint back = horizontal ? QPoint(-step, 0) : QPoint(0, -step);
            painter.drawPoint(tip + back - across);
            painter.drawPoint(tip + back + across);
        }
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

ClassicStyle::ClassicStyle()
    : QProxyStyle(QStringLiteral("Windows"))
{
}

QIcon ClassicStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    switch (icon) {
    case SP_ToolBarHorizontalExtensionButton: return extensionArrows(true);
    case SP_ToolBarVerticalExtensionButton: return extensionArrows(false);
    default: return QProxyStyle::standardIcon(icon, option, widget);
    }
}

} // namespace kb::platform
