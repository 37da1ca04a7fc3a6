#pragma once

#include <QString>

#include "launch/AssociationSource.h"
#include "launch/MailSender.h"
#include "launch/ProgramStarter.h"

#include <functional>
#include <memory>
#include <string>

// The author of the program, whose address a new TGoToWeb mails to.
inline constexpr char authorName[] = "Marten Vossberg";
inline constexpr char authorMailAddress[] = "marten.vossberg@example.org";

// The arguments that follow the program file in the browser's open command,
// as the last successful GetBrowserProgram left them. Shared by every
// TGoToWeb; starts empty.
extern std::string BrowserParams;

// The open command of the first of ".HTM", ".HTML", ".SHTML" and ".SHTM"
// that has one, through the extension's file class or else the extension's
// own command, with its placeholders (a percent sign and the character after
// it) removed. Empty text when none has a command. Never raises.
std::string FindBrowserCommand(const kb::launch::AssociationSource& associations);

// Hands a mail address to the desktop's mail program, or when the desktop
// names none to its web browser. Either is started with its own arguments
// and one more: "mailto:" and the address.
class TGoToWeb final : public kb::launch::MailSender {
public:
    // Opens the associations afresh for every look-up, so that a browser
    // chosen while the program runs is the one started.
    using AssociationsOpener = std::function<std::unique_ptr<const kb::launch::AssociationSource>()>;

    // The desktop's own associations and detached processes.
    TGoToWeb();
    TGoToWeb(AssociationsOpener openAssociations, std::unique_ptr<kb::launch::ProgramStarter> starter);
    ~TGoToWeb() override;
    TGoToWeb(const TGoToWeb&) = delete;
    TGoToWeb& operator=(const TGoToWeb&) = delete;

    // Any text, the empty one included.
    void SetMail(const std::string& address) override;
    const std::string& mail() const { return FMail; }

    // Starts the desktop's default mail program for FMail, or the browser
    // when no mail program is set; false when neither is registered or the
    // program could not be started. Tells the user nothing either way.
    bool SendMail() override;

    // The program file of the browser's open command, its own arguments left
    // in BrowserParams; empty text, BrowserParams untouched, when there is no
    // command. A command naming a ".EXE", ".BAT" or ".COM" file (matched
    // without regard to case) splits after the last of them; any other splits
    // after its first word.
    std::string GetBrowserProgram();

private:
    std::string browserProgram(const kb::launch::AssociationSource& associations);
    bool startWithAddress(const std::string& program, const std::string& ownArguments);

    std::string FMail;
    AssociationsOpener m_openAssociations;
    std::unique_ptr<kb::launch::ProgramStarter> m_starter;
};

namespace kb::launch {

// The address as the address part of a mailto: URL (RFC 6068): UTF-8, with
// every character outside the unreserved ones and "!$'()*+,;:@" percent-
// encoded ("?", "&", "#", "%", spaces, line breaks, ...). A plain address
// such as ann.smith@example.org stays as it is.
QString mailtoAddressPart(const QString& address);

// Makes a TGoToWeb over the desktop's own associations for every showing.
MailSenderFactory goToWebFactory();

} // namespace kb::launch
