#include "Kestrelbook.h"

#include "Fonts.h"
#include "uInit.h"
#include "uKestrelbook.h"

#include <QApplication>

Kestrelbook::Kestrelbook()
    : m_launcher(std::make_unique<Tkb_form>())
    , m_firstRunDialog(std::make_unique<Tfminit>())
{
    LauncherTools tools;
    tools.firstRunDialog = m_firstRunDialog.get();
    m_launcher->setTools(std::move(tools));
}

Kestrelbook::~Kestrelbook() = default;

void initialiseApplication()
{
    QApplication::setApplicationName(QStringLiteral("Kestrelbook"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrelbook"));
    // Only the launcher's own close ends the program; hidden tool windows
    // must not keep it alive, nor a closed dialog end it.
    QApplication::setQuitOnLastWindowClosed(false);
    kb::platform::installFontSubstitutions();
}
