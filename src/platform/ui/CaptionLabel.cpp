#include "CaptionLabel.h"

#include "platform/ui/ClickTracker.h"

#include <QFontMetrics>

#include <algorithm>

namespace kb::platform {

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    new ClickTracker(*this, [this] { emit clicked(); });
}

QSize CaptionLabel::sizeHint() const
{
    QSize hint = QLabel::sizeHint();
    if (textFormat() == Qt::RichText || text().contains(QLatin1Char('\n')))
        return hint;
    const QFontMetrics metrics(font());
    const QString shown = QString(text()).remove(QLatin1Char('&'));
    const int overhang = metrics.boundingRect(shown).right() + 1 - metrics.horizontalAdvance(shown);
    hint.rwidth() += std::max(0, overhang);
    return hint;
}

CaptionLabel* makeCaption(QWidget* parent, const QString& text, const QFont& font, QPoint at,
                          std::optional<QColor> colour)
{
    auto* label = new CaptionLabel(text, parent);
    label->setFont(font);
    if (colour) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, *colour);
        label->setPalette(palette);
    }
    label->adjustSize();
    label->move(at);
    return label;
}

} // namespace kb::platform
