#pragma once

#include <QApplication>
#include <QPalette>
#include <QString>

#include <memory>

namespace kb::platform {

// How the program names itself to the desktop. No display name is set,
// since Qt on Linux would append it to every window title.
struct ApplicationIdentity {
    QString name;
    QString version;
    QString desktopFileName;
};

void identifyApplication(const ApplicationIdentity& identity);

// Everything the program does before its first window, in one place, so that
// its tests and benchmarks see the program as users do: the code page of the
// language, the rollback of saves a kill interrupted, the application on its
// windowing platform, its names, the quit rule, fonts, focus rules and the
// classic look.
std::unique_ptr<QApplication> setUpApplication(int& argc, char** argv, const ApplicationIdentity& identity);

// The desktop colours of the time: silver faces, navy selection.
QPalette classicPalette();

} // namespace kb::platform
