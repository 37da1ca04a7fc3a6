#include "launch/GoToWeb.h"
#include "platform/files/SaveJournal.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/WindowingPlatform.h"
#include "shell/Kestrelbook.h"
#include "shell/uKestrelbook.h"

#include <QTimer>

int main(int argc, char** argv)
{
    // Before any text is shown: bytes show in the code page of the language.
    kb::platform::chooseAnsiCodePage();
    // A save killed last time leaves no half-written file to open.
    kb::platform::rollBackInterruptedSaves();
    const auto app = kb::platform::makeApplication(argc, argv);
    kb::shell::initialiseApplication();
    Kestrelbook program(kb::launch::goToWebFactory());
    // The message loop's first act is to show the launcher.
    QTimer::singleShot(0, &program.launcher(), [&program] { program.launcher().show(); });
    return app->exec();
}
