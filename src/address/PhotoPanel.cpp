#include "PhotoPanel.h"

#include "platform/ui/KeyboardTarget.h"
#include "platform/ui/PictureBox.h"

#include <QMouseEvent>

namespace kb::address {

PhotoPanel::PhotoPanel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
    , m_photo(new QLabel(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);

    m_photo->setObjectName(QStringLiteral("Photo_Bitmap"));
    m_photo->setAlignment(Qt::AlignCenter);
    m_photo->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_photo->hide();

    // Above the photo, so that its focus mark shows over it.
    m_key = new kb::platform::KeyboardTarget(QStringLiteral("Photo"), 0, this);
    connect(m_key, &kb::platform::KeyboardTarget::clicked, this, &PhotoPanel::anotherPhotoAsked);
    describe();
}

void PhotoPanel::showPhoto(const QImage& photo)
{
    m_photo->setPixmap(kb::platform::pixmapAtRatio(photo, m_photo->devicePixelRatioF()));
    m_photo->show();
    describe();
}

void PhotoPanel::hidePhoto()
{
    m_photo->hide();
    describe();
}

QWidget* PhotoPanel::keyboardTarget() const
{
    return m_key;
}

void PhotoPanel::describe()
{
    m_key->setAccessibleDescription(m_photo->isHidden()
                                        ? QStringLiteral("No photo shown. Press to choose a photo file.")
                                        : QStringLiteral("Photo shown. Press to choose another photo file."));
}

void PhotoPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit anotherPhotoAsked();
    QLabel::mouseDoubleClickEvent(event);
}

void PhotoPanel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    m_photo->setGeometry(contentsRect());
    m_key->setGeometry(rect());
}

} // namespace kb::address
