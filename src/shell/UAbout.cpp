#include "UAbout.h"

#include "launch/GoToWeb.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/CaptionLabel.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/KeyboardTarget.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/ShowHandler.h"
#include "platform/ui/WindowPlacement.h"
#include "resources/AboutArt.h"

#include <QKeyEvent>

using kb::platform::CaptionLabel;
using kb::platform::FontStyle;
using kb::platform::KeyboardTarget;
using kb::platform::layoutFont;

namespace {

// The keyboard's way to a caption that acts on a click.
KeyboardTarget* keyFor(CaptionLabel& label)
{
    return kb::platform::keyboardTargetOver(label, label.text(), 0);
}

CaptionLabel* caption(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint position)
{
    CaptionLabel* label = kb::platform::makeCaption(parent, text, font, position);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

TfmAbout::TfmAbout(kb::launch::MailSenderFactory mailSenders, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_mailSenders(std::move(mailSenders))
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("Kestrelbook 98 - Information"));
    setFixedSize(251, 201);
    kb::platform::setWindowFont(*this, layoutFont(QStringLiteral("Arial"), 11));

    // The picture first, so that the captions lie over it.
    Image1 = new kb::platform::PictureBox(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 1, 250, 200);
    Image1->setAutoSize(true);
    Image1->setArtwork(kb::resources::aboutPicture());

    Label2 = caption(this, "Label2", QStringLiteral("Kestrelbook 98"),
                     layoutFont(QStringLiteral("Arial"), 13, FontStyle::BoldItalic), {80, 150});
    Label3 = caption(this, "Label3", QStringLiteral("by"), layoutFont(QStringLiteral("Arial"), 11), {70, 166});
    Label4 = caption(this, "Label4", kb::platform::textFromBytes(authorName), layoutFont(QStringLiteral("Arial"), 13),
                     {86, 172});
    Label4->setToolTip(QStringLiteral("EMail :") + kb::platform::textFromBytes(authorMailAddress));

    Label1 = caption(this, "Label1", QStringLiteral("Ok"), layoutFont(QStringLiteral("Arial"), 16, FontStyle::Bold),
                     {212, 178});
    Label1->setGeometry(212, 178, 33, 19);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    kb::platform::connectGuarded(Label1, &CaptionLabel::clicked, this, &TfmAbout::Label1Click);
    kb::platform::connectGuarded(Label4, &CaptionLabel::clicked, this, &TfmAbout::Label4Click);
    // Tab walks the author's line and "Ok"; "Ok" has the focus at each showing.
    KeyboardTarget* authorKey = keyFor(*Label4);
    m_okKey = keyFor(*Label1);
    kb::platform::connectGuarded(m_okKey, &KeyboardTarget::clicked, this, &TfmAbout::Label1Click);
    kb::platform::connectGuarded(authorKey, &KeyboardTarget::clicked, this, &TfmAbout::Label4Click);
    // The button says what the label's tip shows to the mouse: it sends mail.
    authorKey->setAccessibleDescription(QStringLiteral("Sends mail to ")
                                        + kb::platform::textFromBytes(authorMailAddress));
    authorKey->setToolTip(Label4->toolTip());
}

TfmAbout::~TfmAbout() = default;

void TfmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    kb::platform::centreAtFirstShow(*this, *event);
    m_okKey->setFocus(Qt::OtherFocusReason);
    kb::platform::runShowHandler(*this, *event, [this] { FormShow(); });
}

void TfmAbout::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfmAbout::keyPressEvent(QKeyEvent* event)
{
    // Only "Ok" closes the window; Return presses the focused caption.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void TfmAbout::FormShow()
{
    About_GoToWeb = m_mailSenders();
}

void TfmAbout::FormClose()
{
    About_GoToWeb.reset();
}

void TfmAbout::Label1Click()
{
    reject();
}

void TfmAbout::Label4Click()
{
    if (!About_GoToWeb)
        return;
    About_GoToWeb->SetMail(authorMailAddress);
    // A mail that cannot be handed over tells the user nothing.
    About_GoToWeb->SendMail();
}
