#pragma once

#include <QDialog>

class QLineEdit;

namespace kb::game {
// Text read as a signed decimal integer, or the default when it is not one
// (empty text included).
int NumberOrDefault(const QString& text, int defaultValue);
} // namespace kb::game

// The custom board size dialog: columns, rows and the number of tile
// colours ("Objects"). It checks nothing; the game window reads the fields.
class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);

    QLineEdit* WidthBox() const { return m_widthBox; }
    QLineEdit* HeightBox() const { return m_heightBox; }
    QLineEdit* ColorsBox() const { return m_colorsBox; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QLineEdit* m_widthBox;
    QLineEdit* m_heightBox;
    QLineEdit* m_colorsBox;
};
