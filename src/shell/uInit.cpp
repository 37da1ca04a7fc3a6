#include "uInit.h"

#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/CaptionLabel.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/WindowPlacement.h"
#include "resources/ArtworkIcon.h"
#include "resources/LauncherArt.h"

#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

using kb::platform::FontStyle;
using kb::platform::layoutFont;

namespace {

QLabel* makeText(QWidget* parent, const QString& text, const QFont& font, const QPoint& at)
{
    auto* label = new kb::platform::CaptionLabel(text, parent);
    label->setFont(font);
    label->adjustSize();
    label->move(at);
    return label;
}

} // namespace

Tfminit::Tfminit(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fminit"));
    setWindowTitle(QStringLiteral("Kestrelbook - Initialisation"));
    setFont(layoutFont(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(271, 157);
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(rect());

    const QString serif = QStringLiteral("Times New Roman");
    makeText(panel, QStringLiteral("Welcome to "), layoutFont(serif, 16, FontStyle::Bold), QPoint(14, 14));
    makeText(panel, QStringLiteral("Kestrelbook 98"), layoutFont(serif, 21, FontStyle::BoldItalic), QPoint(106, 22));
    auto* rule = new QFrame(panel);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setGeometry(10, 55, 249, 2);
    makeText(panel, QStringLiteral("Where will I find your Kestrelbook for DOS?"), layoutFont(serif, 13),
             QPoint(14, 70));

    m_dirEdit = new QLineEdit(QStringLiteral("c:\\kb"), panel);
    m_dirEdit->setObjectName(QStringLiteral("KB_Dir_Edit"));
    m_dirEdit->setGeometry(16, 92, 237, 21);
    m_dirEdit->setAccessibleName(QStringLiteral("Where will I find your Kestrelbook for DOS?"));

    m_continueButton = new QPushButton(QStringLiteral("&Continue"), panel);
    m_continueButton->setObjectName(QStringLiteral("BitBtn1"));
    m_continueButton->setGeometry(164, 120, 87, 25);
    m_continueButton->setIcon(
        kb::resources::artworkIcon(kb::resources::continueArrow(true), kb::resources::continueArrow(false)));
    m_continueButton->setIconSize(QSize(16, 16));
    m_continueButton->setLayoutDirection(Qt::RightToLeft); // the arrow stands right of the text
    m_continueButton->setAutoDefault(false);
    m_continueButton->setDefault(false);
    kb::platform::connectGuarded(m_continueButton, &QPushButton::clicked, this, &Tfminit::BitBtn1Click);

    setTabOrder(m_dirEdit, m_continueButton);
    m_dirEdit->setFocus();
}

void Tfminit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Placed by the program, so the toolkit does not place it by itself:
    // before any window is on the screen it would allow for a guessed title
    // bar and sit well above the centre.
    kb::platform::centreAtFirstShow(*this, *event);
}

void Tfminit::BitBtn1Click()
{
    const std::string directory = kb::platform::bytesFromText(m_dirEdit->text());
    kb::platform::writeFileReplacing("Kestrelbook.Ini", "DataFileName=" + directory + "\r\n");
    accept();
}

void Tfminit::keyPressEvent(QKeyEvent* event)
{
    // Neither Enter nor Escape presses a button of this dialog; only the
    // title bar's close box closes it without writing.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->ignore(); return;
    default: QDialog::keyPressEvent(event);
    }
}
