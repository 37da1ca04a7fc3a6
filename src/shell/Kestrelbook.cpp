#include "Kestrelbook.h"

#include "address/UAddress.h"
#include "editor/uEditor.h"
#include "game/Game_Main.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/FocusMarks.h"
#include "platform/ui/Fonts.h"
#include "shell/ApplicationInfo.h"
#include "shell/UAbout.h"
#include "shell/uInit.h"
#include "shell/uKestrelbook.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

Kestrelbook::Kestrelbook(const kb::launch::MailSenderFactory& mailSenders)
    : m_launcher(std::make_unique<Tkb_form>(mailSenders))
    , m_gameWindow(std::make_unique<TGameForm>())
    , m_addressBook(std::make_unique<TfmAddress>(mailSenders))
    , m_firstRunDialog(std::make_unique<Tfminit>())
    , m_editor(std::make_unique<TfmEdit>())
    , m_informationWindow(std::make_unique<TfmAbout>(mailSenders))
{
    kb::shell::LauncherTools tools;
    tools.firstRunDialog = m_firstRunDialog.get();
    tools.showGame = [this](const std::string& systemDir) { m_gameWindow->Show(systemDir); };
    tools.showAddressBook = [this](const std::string& addressFile) { m_addressBook->Show(addressFile); };
    tools.showEditor = [this] {
        m_editor->show();
        m_editor->raise();
        m_editor->activateWindow();
    };
    tools.showInformation = [this] { m_informationWindow->exec(); };
    m_launcher->setTools(std::move(tools));
}

Kestrelbook::~Kestrelbook() = default;

namespace {

// The desktop colours of the time: silver faces, navy selection.
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

} // namespace

namespace kb::shell {

void identifyApplication()
{
    QApplication::setApplicationName(QStringLiteral("Kestrelbook"));
    QApplication::setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ApplicationId));
}

void initialiseApplication()
{
    identifyApplication();
    // Only the launcher's own close ends the program; hidden tool windows
    // must not keep it alive, nor a closed dialog end it.
    QApplication::setQuitOnLastWindowClosed(false);
    kb::platform::installFontSubstitutions();
    kb::platform::dropButtonFocusOnMouseClicks();
    kb::platform::installAccessibleInterfaces();
    // The classic bevelled look of the desktop the DOS product's users knew.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(classic);
    QApplication::setPalette(classicPalette());
}

} // namespace kb::shell
