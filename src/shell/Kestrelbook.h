#pragma once

#include "launch/MailSender.h"
#include "platform/ui/ApplicationSetUp.h"

#include <memory>

class Tkb_form;
class Tfminit;
class TfmAbout;
class TGameForm;
class TfmAddress;
class TfmEdit;

// The program's windows, created once in their order and kept to the end.
class Kestrelbook {
public:
    // mailSenders makes the mail hand-off of every window that sends mail.
    explicit Kestrelbook(const kb::launch::MailSenderFactory& mailSenders);
    ~Kestrelbook();
    Kestrelbook(const Kestrelbook&) = delete;
    Kestrelbook& operator=(const Kestrelbook&) = delete;

    Tkb_form& launcher() { return *m_launcher; }
    Tfminit& firstRunDialog() { return *m_firstRunDialog; }
    TGameForm& gameWindow() { return *m_gameWindow; }
    TfmAddress& addressBook() { return *m_addressBook; }
    TfmEdit& editor() { return *m_editor; }
    TfmAbout& informationWindow() { return *m_informationWindow; }

private:
    std::unique_ptr<Tkb_form> m_launcher;
    // In the order of their creation; the game window makes its own
    // custom-size dialog.
    std::unique_ptr<TGameForm> m_gameWindow;
    std::unique_ptr<TfmAddress> m_addressBook;
    std::unique_ptr<Tfminit> m_firstRunDialog;
    std::unique_ptr<TfmEdit> m_editor;
    std::unique_ptr<TfmAbout> m_informationWindow;
};

namespace kb::shell {

// Names the program to the desktop: the application title "Kestrelbook" on
// the task bar, and the desktop entry that holds its icon. No display name is
// set, since Qt on Linux would append it to every window title.
void identifyApplication();

kb::platform::ApplicationIdentity applicationIdentity();

// The program's application, set up as it runs before its first window.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv);

} // namespace kb::shell
