#include "LauncherPieces.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Background.h"
#include "platform/ui/Fonts.h"
#include "resources/LauncherArt.h"

#include <QPaintEngine>
#include <QPainter>

namespace kb::shell::launcher {
namespace {

// The white circle with its black outline behind the clock face.
class ClockCircle : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
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
};

} // namespace

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

ClockHeader buildClockHeader(QWidget& pane)
{
    using kb::platform::FontStyle;
    using kb::platform::layoutFont;
    ClockHeader header{};
    header.panel = makePanel(&pane, QRect(0, 0, centralPaneWidth, 72), QFrame::Sunken);
    header.panel->setObjectName(QStringLiteral("Header_Panel"));
    kb::platform::fillBackground(*header.panel, headerColour);

    auto* circle = new ClockCircle(header.panel);
    circle->setObjectName(QStringLiteral("Shape1"));
    circle->setGeometry(16, 16, 25, 21);
    kb::platform::hideFromAccessibility(*circle);

    header.clockFace = new kb::platform::PictureBox(header.panel);
    header.clockFace->setObjectName(QStringLiteral("Clock_Image"));
    header.clockFace->setGeometry(21, 20, 15, 13);
    header.clockFace->setArtwork(kb::resources::clockFace());
    header.clockFace->setAccessibleName(QStringLiteral("Clock"));

    header.time =
        kb::platform::makeCaption(header.panel, QStringLiteral("12:00"),
                                  layoutFont(QStringLiteral("Arial"), 32, FontStyle::Bold), QPoint(84, 4), Qt::black);
    header.time->setObjectName(QStringLiteral("Time_Label"));

    header.selected = kb::platform::makeCaption(header.panel, QString(), captionFont(), QPoint(8, 52), white);
    header.selected->setObjectName(QStringLiteral("Selected_Label"));
    header.selected->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    header.selected->setFixedSize(173, 19);
    return header;
}

void WhiteLine::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::white);
}

} // namespace kb::shell::launcher
