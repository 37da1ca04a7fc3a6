#pragma once

#include <QFrame>
#include <QWidget>

namespace kb::shell::launcher {

// The launcher's captions are Times New Roman, bold, 16 pixels.
QFont captionFont();

QFrame* makePanel(QWidget* parent, const QRect& geometry, QFrame::Shadow shadow);

// The white circle with its black outline behind the clock face.
class ClockCircle : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override;
};

// A one-pixel line across the central pane.
class WhiteLine : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace kb::shell::launcher
