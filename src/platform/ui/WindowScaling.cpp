#include "WindowScaling.h"

#include "platform/ui/CaptionLabel.h"

#include <QFont>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace kb::platform {
namespace {

void scaleFont(QWidget& widget, int m, int d)
{
    if (!widget.testAttribute(Qt::WA_SetFont))
        return;
    QFont font = widget.font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, scaledEdge(font.pixelSize(), m, d)));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * m / d);
    widget.setFont(font);
}

void scaleChildren(QWidget& parent, int m, int d)
{
    for (QObject* object : parent.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        const QRect g = child->geometry();
        const int left = scaledEdge(g.left(), m, d);
        const int top = scaledEdge(g.top(), m, d);
        const int right = scaledEdge(g.left() + g.width(), m, d);
        const int bottom = scaledEdge(g.top() + g.height(), m, d);
        const QSize size(right - left, bottom - top);
        const bool fixedSize = child->minimumSize() == child->maximumSize();
        // A caption fitted to its text stays fitted to it in the scaled font,
        // as rounded edges could otherwise cut off its last letter.
        const bool fittedCaption = qobject_cast<CaptionLabel*>(child) && !fixedSize && g.size() == child->sizeHint();
        if (fixedSize)
            child->setFixedSize(size);
        child->setGeometry(left, top, size.width(), size.height());
        scaleFont(*child, m, d);
        if (fittedCaption)
            child->resize(child->sizeHint());
        scaleChildren(*child, m, d);
    }
}

} // namespace

int scaledEdge(int value, int m, int d)
{
    return static_cast<int>(std::lround(static_cast<double>(value) * m / d));
}

void scaleWindow(QWidget& window, int m, int d)
{
    const bool wasVisible = window.isVisible();
    const QPoint topLeft = window.pos();
    window.hide();
    scaleChildren(window, m, d);
    scaleFont(window, m, d);
    const QSize client(scaledEdge(window.width(), m, d), scaledEdge(window.height(), m, d));
    if (window.minimumSize() == window.maximumSize())
        window.setFixedSize(client);
    else
        window.resize(client);
    window.move(topLeft);
    if (wasVisible)
        window.show();
}

bool smoothAt(qreal scale)
{
    return scale != std::floor(scale);
}

void smoothUnlessWhole(QPainter& painter, qreal scale)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothAt(scale));
}

} // namespace kb::platform
