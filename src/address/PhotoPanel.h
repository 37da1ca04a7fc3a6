#pragma once

#include <QLabel>

namespace kb::platform {
class KeyboardTarget;
}

namespace kb::address {

// The lowered panel that holds an address's photo and shows its caption
// where no photo covers it. A double-click anywhere on it, the photo
// included, or the keyboard's press on it asks for another photo.
class PhotoPanel : public QLabel {
    Q_OBJECT
public:
    explicit PhotoPanel(const QString& caption, QWidget* parent = nullptr);

    // The photo over the caption, scaled to the panel's ratio unless it was
    // drawn at it.
    void showPhoto(const QImage& photo);
    void hidePhoto();
    // What the keyboard reaches the panel by.
    QWidget* keyboardTarget() const;

signals:
    void anotherPhotoAsked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void describe();

    QLabel* m_photo;
    kb::platform::KeyboardTarget* m_key;
};

} // namespace kb::address
