#include "ApplicationSetUp.h"

#include "platform/files/SaveJournal.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/ClassicStyle.h"
#include "platform/ui/FocusMarks.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/WindowingPlatform.h"

namespace kb::platform {

void identifyApplication(const ApplicationIdentity& identity)
{
    QApplication::setApplicationName(identity.name);
    QApplication::setApplicationVersion(identity.version);
    QGuiApplication::setDesktopFileName(identity.desktopFileName);
}

std::unique_ptr<QApplication> setUpApplication(int& argc, char** argv, const ApplicationIdentity& identity)
{
    // Before any text is shown: bytes show in the code page of the language.
    chooseAnsiCodePage();
    // A save killed last time leaves no half-written file to open.
    rollBackInterruptedSaves();
    std::unique_ptr<QApplication> application;
    {
        const FontConfigurationLoad fontsLoading;
        application = makeApplication(argc, argv);
    }
    identifyApplication(identity);
    // Only the launcher's own close ends the program; hidden tool windows
    // must not keep it alive, nor a closed dialog end it.
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutions();
    dropButtonFocusOnMouseClicks();
    installAccessibleInterfaces();
    // The classic bevelled look of the desktop the DOS product's users knew.
    QApplication::setStyle(new ClassicStyle);
    QApplication::setPalette(classicPalette());
    return application;
}

QPalette classicPalette()
{
    const QColor silver(192, 192, 192);
    QPalette palette(silver, silver);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, silver);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(223, 223, 223));
    palette.setColor(QPalette::Mid, QColor(160, 160, 160));
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 128));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    return palette;
}

} // namespace kb::platform
