#include "GameStatusBar.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/PictureBox.h"

#include <QLabel>
#include <QPainter>

#include <string>

namespace kb::game {
namespace {

constexpr int partHeight = 45;
constexpr int panel1Width = 61;

// A status-bar picture, drawn centred in its box.
class CentredPicture : public kb::platform::PictureBox {
public:
    using PictureBox::PictureBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!hasPicture())
            return;
        QPainter painter(this);
        // In device-independent pixels, so that a picture drawn at the
        // screen's ratio is shown whole at every scale.
        const QRect place(QPoint(0, 0), picture().deviceIndependentSize().toSize());
        painter.drawImage(place.translated(rect().center() - place.center()), picture());
    }
};

QWidget* addPanel(QWidget* parent, const QString& name, const QRect& place)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(place);
    return panel;
}

QLabel* addCaption(QWidget* parent, const char* name, const QString& text, const QRect& place, const QColor& color)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(place);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

GameStatusBar::GameStatusBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    resize(468, barHeight);

    // Spacers and boxes from the left, the first spacer 5 wide, the others 3.
    static constexpr const char* spacers[] = {"Panel8", "Panel7", "Panel4", "Panel5", "Panel6", "Panel3"};
    static constexpr const char* boxCaptions[] = {"Label7", "Label6", "Label5", "Label4", "Label3", "Label2"};
    int left = 0;
    for (std::size_t i = 0; i < boxCount; ++i) {
        const int spacerWidth = i == 0 ? 5 : 3;
        addPanel(this, QString::fromLatin1(spacers[i]), {left, 0, spacerWidth, partHeight});
        left += spacerWidth;
        m_boxes[i] = addPanel(this, QStringLiteral("Box_%1").arg(i), {left, 0, 32, partHeight});
        m_boxImages[i] = new CentredPicture(m_boxes[i]);
        m_boxImages[i]->setObjectName(QStringLiteral("Box_Image_%1").arg(i));
        m_boxImages[i]->setAccessibleName(i == 0 ? QStringLiteral("Magic tile") : QStringLiteral("Tile %1").arg(i));
        m_boxImages[i]->setGeometry(0, 0, 32, 32);
        m_boxCaptions[i] = addCaption(m_boxes[i], boxCaptions[i], QStringLiteral("00"), {0, 32, 32, 13}, Qt::white);
        left += 32;
    }

    m_panel1 = addPanel(this, QStringLiteral("Panel1"), {width() - panel1Width, 0, panel1Width, partHeight});
    QLabel* scoreCaption = addCaption(m_panel1, "Label1", QStringLiteral("Score"), {0, 6, panel1Width, 13},
                                      palette().color(QPalette::WindowText));
    kb::platform::hideFromAccessibility(*scoreCaption); // the score itself says "Score"
    m_scoreLabel = addCaption(m_panel1, "Score_Label", QStringLiteral("00000"), {0, 19, panel1Width, 13}, Qt::white);
    m_scoreLabel->setFont(kb::platform::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    addPanel(m_panel1, QStringLiteral("Panel9"), {0, 32, panel1Width, 13});
    m_panel2 = addPanel(this, QStringLiteral("Panel2"), {0, partHeight, width(), 2});
}

void GameStatusBar::FitToClient(QSize client)
{
    setGeometry(0, client.height() - barHeight, client.width(), barHeight);
    m_panel1->move(client.width() - panel1Width, 0);
    m_panel2->resize(client.width(), 2);
    for (QWidget* box : m_boxes)
        box->setVisible(box->geometry().right() < m_panel1->x());
}

void GameStatusBar::SetScoreText(const QString& text)
{
    m_scoreLabel->setText(text);
    m_scoreLabel->setAccessibleName(QStringLiteral("Score: ") + text);
}

void GameStatusBar::SetTileCountNames(const std::array<QString, 8>& namesByColour)
{
    for (std::size_t box = 1; box < m_boxCaptions.size(); ++box)
        m_boxCaptions.at(box)->setAccessibleName(namesByColour.at(box));
}

kb::platform::PictureBox* GameStatusBar::BoxImage(int index) const
{
    return m_boxImages.at(static_cast<std::size_t>(index));
}

} // namespace kb::game
