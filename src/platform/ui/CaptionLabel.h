#pragma once

#include <QColor>
#include <QLabel>

#include <optional>

namespace kb::platform {

// A transparent caption that reports clicks, like the labels the layouts
// place over pictures. Fitted to its text, it shows every pixel of it, also
// the overhang of an italic last letter.
class CaptionLabel : public QLabel {
    Q_OBJECT
public:
    explicit CaptionLabel(const QString& text = {}, QWidget* parent = nullptr);

    QSize sizeHint() const override;

signals:
    void clicked();
};

// A caption fitted to its text at a layout position, in the parent's text
// colour unless one is given.
CaptionLabel* makeCaption(QWidget* parent, const QString& text, const QFont& font, QPoint at,
                          std::optional<QColor> colour = {});

} // namespace kb::platform
