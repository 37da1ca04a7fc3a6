#pragma once

#include <QLabel>

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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace kb::platform
