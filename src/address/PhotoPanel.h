#pragma once

#include <QLabel>

namespace kb::address {

// The lowered panel that holds an address's photo and shows its caption
// where no photo covers it. A double-click anywhere on it, the photo
// included, asks for another photo.
class PhotoPanel : public QLabel {
    Q_OBJECT
public:
    explicit PhotoPanel(const QString& caption, QWidget* parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace kb::address
