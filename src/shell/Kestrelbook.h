#pragma once

#include <memory>

class Tkb_form;
class Tfminit;

// The program's windows, created once in their order and kept to the end.
class Kestrelbook {
public:
    Kestrelbook();
    ~Kestrelbook();
    Kestrelbook(const Kestrelbook&) = delete;
    Kestrelbook& operator=(const Kestrelbook&) = delete;

    Tkb_form& launcher() { return *m_launcher; }
    Tfminit& firstRunDialog() { return *m_firstRunDialog; }

private:
    std::unique_ptr<Tkb_form> m_launcher;
    std::unique_ptr<Tfminit> m_firstRunDialog;
};

// Sets up the application object for the program: title, fonts.
void initialiseApplication();
