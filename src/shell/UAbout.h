#pragma once

#include "launch/MailSender.h"

#include <QDialog>

#include <memory>

namespace kb::platform {
class CaptionLabel;
class KeyboardTarget;
class PictureBox;
} // namespace kb::platform

// The information window: a borderless picture with the program's name, the
// author's name, which starts a mail to the author, and an "Ok" caption,
// the only thing that closes it. Shown modally with exec().
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    // mailSenders makes the window's mail hand-off at each showing.
    explicit TfmAbout(kb::launch::MailSenderFactory mailSenders, QWidget* parent = nullptr);
    ~TfmAbout() override;

    // The window's own mail hand-off, which lives from each showing to the
    // following close; null while the window is hidden.
    const kb::launch::MailSender* aboutGoToWeb() const { return About_GoToWeb.get(); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void Label1Click();
    void Label4Click();

    kb::platform::PictureBox* Image1;
    kb::platform::CaptionLabel* Label2;
    kb::platform::CaptionLabel* Label3;
    kb::platform::CaptionLabel* Label4;
    kb::platform::CaptionLabel* Label1;
    kb::platform::KeyboardTarget* m_okKey;
    kb::launch::MailSenderFactory m_mailSenders;
    std::unique_ptr<kb::launch::MailSender> About_GoToWeb;
};
