#pragma once

#include <QApplication>

#include <memory>

namespace kb::platform {

// Which windowing platform a session without QT_QPA_PLATFORM gets: on a
// Wayland desktop that also runs XWayland (DISPLAY is set), X11, because the
// windows must be centred, which only X11 lets a program do, and they get
// the desktop's own frames with whole titles; anywhere else, Qt's own choice
// (empty). QT_QPA_PLATFORM, when set, always decides.
const char* defaultWindowingPlatform();

// Keeps Qt from writing files of its own (the file dialog's history) and
// from starting a session bus where there is none. Before the application.
void keepQtToTheProgramsFiles();

// The application, made on that platform, after keepQtToTheProgramsFiles(). The choice is not passed on to
// the programs it starts (the mail program, the browser).
std::unique_ptr<QApplication> makeApplication(int& argc, char** argv);

} // namespace kb::platform
