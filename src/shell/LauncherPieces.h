#pragma once

#include "platform/ui/CaptionLabel.h"
#include "platform/ui/PictureBox.h"

#include <QFrame>
#include <QWidget>

#include "shell/LauncherLayout.h"

#include <iterator>

namespace kb::shell::launcher {

// The launcher's captions are Times New Roman, bold, 16 pixels.
QFont captionFont();

QFrame* makePanel(QWidget* parent, const QRect& geometry, QFrame::Shadow shadow);

// Each picture box after the first of its kind gets the first one's
// picture, as far as the button bar reaches.
template <typename Boxes>
void copyFirstPictureToTheRest(const Boxes& boxes)
{
    const QImage source = boxes.front()->picture();
    for (auto box = std::next(boxes.begin()); box != boxes.end(); ++box)
        (*box)->copyOntoCanvas(source, buttonBarSize);
}

// The panel across the top of the central pane: the clock, the time and the
// caption of the tool chosen last.
struct ClockHeader {
    QFrame* panel;
    kb::platform::PictureBox* clockFace;
    kb::platform::CaptionLabel* time;
    kb::platform::CaptionLabel* selected;
};
ClockHeader buildClockHeader(QWidget& pane);

// A one-pixel line across the central pane.
class WhiteLine : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace kb::shell::launcher
