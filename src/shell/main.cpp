#include "launch/GoToWeb.h"
#include "shell/Kestrelbook.h"
#include "shell/uKestrelbook.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kb::shell::initialiseApplication();
    Kestrelbook program(kb::launch::goToWebFactory());
    // The message loop's first act is to show the launcher.
    QTimer::singleShot(0, &program.launcher(), [&program] { program.launcher().show(); });
    return app.exec();
}
