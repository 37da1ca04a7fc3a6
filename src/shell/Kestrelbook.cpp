#include "Kestrelbook.h"

#include "address/UAddress.h"
#include "editor/uEditor.h"
#include "game/Game_Main.h"
#include "platform/ui/ApplicationSetUp.h"
#include "platform/ui/WindowPlacement.h"
#include "shell/ApplicationInfo.h"
#include "shell/UAbout.h"
#include "shell/uInit.h"
#include "shell/uKestrelbook.h"

#include <QApplication>

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
    tools.showEditor = [this] { kb::platform::bringToFront(*m_editor); };
    tools.showInformation = [this] { m_informationWindow->exec(); };
    m_launcher->setTools(std::move(tools));
}

Kestrelbook::~Kestrelbook() = default;

namespace kb::shell {

kb::platform::ApplicationIdentity applicationIdentity()
{
    return {QStringLiteral("Kestrelbook"), QString::fromLatin1(ApplicationVersion), QString::fromLatin1(ApplicationId)};
}

void identifyApplication()
{
    kb::platform::identifyApplication(applicationIdentity());
}

std::unique_ptr<QApplication> startApplication(int& argc, char** argv)
{
    return kb::platform::setUpApplication(argc, argv, applicationIdentity());
}

} // namespace kb::shell
