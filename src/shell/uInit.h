#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The first-run dialog: asks where the DOS installation lies and writes
// "Kestrelbook.Ini" in the working directory.
class Tfminit : public QDialog {
    Q_OBJECT
public:
    explicit Tfminit(QWidget* parent = nullptr);

    void BitBtn1Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_dirEdit = nullptr;
    QPushButton* m_continueButton = nullptr;
};
