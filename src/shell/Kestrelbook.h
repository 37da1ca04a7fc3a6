#pragma once

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
    Kestrelbook();
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

// Sets up the application object for the program: title, fonts.
void initialiseApplication();
