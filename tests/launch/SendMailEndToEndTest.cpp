#include "FakeBrowser.h"
#include "launch/GoToWeb.h"

#include <gtest/gtest.h>

namespace {

using kb::test::FakeBrowser;
using Call = FakeBrowser::Call;

std::optional<Call> mailWith(FakeBrowser& browser, const std::string& address)
{
    TGoToWeb web;
    web.SetMail(address);
    if (!web.SendMail())
        return std::nullopt;
    const auto calls = browser.waitForCalls(1);
    return calls.size() == 1 ? std::optional<Call>(calls.front()) : std::nullopt;
}

TEST(SendMailEndToEnd, TheBrowserReceivesItsOwnArgumentsAndTheAddressAsOne)
{
    FakeBrowser browser;
    EXPECT_EQ(mailWith(browser, "x@y.z --remote-debugging-port=9222"),
              Call({"--new-window", "mailto:x@y.z%20--remote-debugging-port%3D9222"}));
}

TEST(SendMailEndToEnd, QuotesSpacesAndAnEmptyAddressArriveAsOneEncodedArgument)
{
    FakeBrowser quoted;
    EXPECT_EQ(
        mailWith(quoted, "\"Ann O'Neil\" <ann@example.org>; $(touch x) `y` \\"),
        Call({"--new-window", "mailto:%22Ann%20O'Neil%22%20%3Cann@example.org%3E;%20$(touch%20x)%20%60y%60%20%5C"}));
    FakeBrowser empty;
    EXPECT_EQ(mailWith(empty, ""), Call({"--new-window", "mailto:"}));
}

TEST(SendMailEndToEnd, TheBrowsersQuotedArgumentsAreSplitByTheDesktopRules)
{
    FakeBrowser browser(R"(--profile "My Profile" --title="say \\"hi\\"" %u)");
    EXPECT_EQ(mailWith(browser, "a@b.c"), Call({"--profile", "My Profile", "--title=say \"hi\"", "mailto:a@b.c"}));
}

TEST(SendMailEndToEnd, TheDesktopsMailProgramWinsAndAnUninstalledOneIsPassedOver)
{
    FakeBrowser browser;
    kb::test::IsolatedDesktop::write(browser.desktop().dataHome() / "applications" / "gone-mail.desktop",
                                     "[Desktop Entry]\nType=Application\nName=Gone\nExec=/nonexistent/mail %u\n"
                                     "MimeType=x-scheme-handler/mailto;\n");
    browser.registerAsMailProgram("--compose %u", "gone-mail.desktop;");
    EXPECT_EQ(mailWith(browser, "a@b.c"), Call({"--compose", "mailto:a@b.c"}));
}

TEST(SendMailEndToEnd, ABrowserThatCannotStartGivesFalse)
{
    FakeBrowser browser;
    std::filesystem::remove(browser.program());
    TGoToWeb web;
    EXPECT_FALSE(web.SendMail());
}

} // namespace
