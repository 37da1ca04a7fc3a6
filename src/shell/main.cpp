#include "launch/GoToWeb.h"
#include "shell/Kestrelbook.h"
#include "shell/uKestrelbook.h"

#include <QTimer>

int main(int argc, char** argv)
{
    const auto app = kb::shell::startApplication(argc, argv);
    Kestrelbook program(kb::launch::goToWebFactory());
    // The message loop's first act is to show the launcher.
    QTimer::singleShot(0, &program.launcher(), [&program] { program.launcher().show(); });
    return app->exec();
}
