#include "launch/GoToWeb.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace {

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A registry tree in memory. Key names match without regard to case, as in
// the registry; a key may exist without a default value.
class MemoryAssociations final : public kb::launch::AssociationSource {
public:
    void key(const std::string& path, std::optional<std::string> value) { m_keys[lowered(path)] = std::move(value); }

    std::optional<std::string> defaultValue(const std::string& keyPath) const override
    {
        const auto it = m_keys.find(lowered(keyPath));
        return it == m_keys.end() ? std::nullopt : it->second;
    }

private:
    std::map<std::string, std::optional<std::string>> m_keys;
};

struct StartRecord {
    bool result = true;
    int starts = 0;
    QString program;
    QStringList arguments;
};

class RecordingStarter final : public kb::launch::ProgramStarter {
public:
    explicit RecordingStarter(std::shared_ptr<StartRecord> record)
        : m_record(std::move(record))
    {
    }

    bool start(const QString& program, const QStringList& arguments) override
    {
        ++m_record->starts;
        m_record->program = program;
        m_record->arguments = arguments;
        return m_record->result;
    }

private:
    std::shared_ptr<StartRecord> m_record;
};

class GoToWebTest : public ::testing::Test {
protected:
    void SetUp() override { BrowserParams = "left over"; }

    TGoToWeb goToWeb()
    {
        return TGoToWeb([this] { return std::make_unique<MemoryAssociations>(tree); },
                        std::make_unique<RecordingStarter>(started));
    }

    void htmCommand(const std::string& command)
    {
        tree.key(".htm", "htmlfile");
        tree.key("htmlfile\\shell\\open\\command", command);
    }

    MemoryAssociations tree;
    std::shared_ptr<StartRecord> started = std::make_shared<StartRecord>();
};

TEST_F(GoToWebTest, SplitsTheWorkedExampleAndStartsTheBrowserForTheAddress)
{
    htmCommand("C:\\WEB\\BROWSE.EXE -h %1");
    EXPECT_EQ(FindBrowserCommand(tree), "C:\\WEB\\BROWSE.EXE -h ");

    auto web = goToWeb();
    EXPECT_EQ(web.GetBrowserProgram(), "C:\\WEB\\BROWSE.EXE");
    EXPECT_EQ(BrowserParams, "-h");

    web.SetMail("Ann.Smith@Example.ORG");
    EXPECT_TRUE(web.SendMail());
    EXPECT_EQ(started->program, QStringLiteral("C:\\WEB\\BROWSE.EXE"));
    EXPECT_EQ(started->arguments, QStringList({"-h", "mailto:Ann.Smith@Example.ORG"}));
}

TEST_F(GoToWebTest, KeepsTheCaseOfTheCommandAndMatchesTheSuffixWithoutIt)
{
    htmCommand("c:\\web\\Browse.Exe -Home %1");
    auto web = goToWeb();
    EXPECT_EQ(web.GetBrowserProgram(), "c:\\web\\Browse.Exe");
    EXPECT_EQ(BrowserParams, "-Home");

    htmCommand("c:\\dos\\run.bat");
    EXPECT_EQ(web.GetBrowserProgram(), "c:\\dos\\run.bat");
    EXPECT_EQ(BrowserParams, "");

    htmCommand("c:\\dos\\web.com  x  ");
    EXPECT_EQ(web.GetBrowserProgram(), "c:\\dos\\web.com");
    EXPECT_EQ(BrowserParams, "x");
}

TEST_F(GoToWebTest, TakesTheFirstExtensionInItsOrderThatGivesACommand)
{
    tree.key(".shtm", "");
    tree.key(".shtm\\shell\\open\\command", "shtm.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "shtm.exe");
    tree.key(".shtml", "");
    tree.key(".shtml\\shell\\open\\command", "shtml.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "shtml.exe");
    tree.key(".html", "");
    tree.key(".html\\shell\\open\\command", "html.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "html.exe");

    // An .HTM key that leads to no command leaves the choice to .HTML.
    tree.key(".htm", "nosuchclass");
    EXPECT_EQ(FindBrowserCommand(tree), "html.exe");
    tree.key(".htm\\shell\\open\\command", "htm.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "htm.exe");
}

TEST_F(GoToWebTest, FallsBackFromTheClassToTheExtensionsOwnCommand)
{
    tree.key(".htm", "htmlfile");
    tree.key(".htm\\shell\\open\\command", "own.exe %1");
    EXPECT_EQ(FindBrowserCommand(tree), "own.exe ") << "class command key missing";

    tree.key("htmlfile\\shell\\open\\command", std::nullopt);
    EXPECT_EQ(FindBrowserCommand(tree), "own.exe ") << "class command key without a value";

    tree.key("htmlfile\\shell\\open\\command", "");
    EXPECT_EQ(FindBrowserCommand(tree), "own.exe ") << "class command empty";

    tree.key(".htm", "");
    tree.key("htmlfile\\shell\\open\\command", "class.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "own.exe ") << "empty class name";

    tree.key(".htm", "HTMLFile");
    EXPECT_EQ(FindBrowserCommand(tree), "class.exe") << "class found";
}

TEST_F(GoToWebTest, AnExtensionKeyWithoutADefaultValueIsPassedOver)
{
    tree.key(".htm", std::nullopt);
    tree.key(".htm\\shell\\open\\command", "own.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "");
    tree.key(".html", "");
    tree.key(".html\\shell\\open\\command", "html.exe");
    EXPECT_EQ(FindBrowserCommand(tree), "html.exe");
}

TEST_F(GoToWebTest, RemovesEachPercentSignWithTheCharacterAfterIt)
{
    const auto removed = [this](const std::string& command) {
        htmCommand(command);
        return FindBrowserCommand(tree);
    };
    EXPECT_EQ(removed("browse.exe \"%1\""), "browse.exe \"\"");
    EXPECT_EQ(removed("browse.exe %1%2 -x %L"), "browse.exe  -x ");
    EXPECT_EQ(removed("browse.exe -x%%y"), "browse.exe -xy");
    EXPECT_EQ(removed("browse.exe 100%"), "browse.exe 100%") << "a last percent sign stays";
    EXPECT_EQ(removed("%1"), "");
    EXPECT_EQ(removed("%"), "");
}

TEST_F(GoToWebTest, SplitsAtTheLastProgramSuffixWhenTheArgumentsNameOneToo)
{
    htmCommand("C:\\WEB\\BROWSE.EXE -plugin C:\\PLUG\\RUN.COM -x %1");
    auto web = goToWeb();
    EXPECT_EQ(web.GetBrowserProgram(), "C:\\WEB\\BROWSE.EXE -plugin C:\\PLUG\\RUN.COM");
    EXPECT_EQ(BrowserParams, "-x");
}

TEST_F(GoToWebTest, AQuotedProgramLosesItsOpeningQuoteAndTheArgumentsTheirLeadingQuote)
{
    htmCommand("\"C:\\Program Files\\Web\\Browse.exe\" -nohome \"%1\"");
    auto web = goToWeb();
    EXPECT_EQ(web.GetBrowserProgram(), "C:\\Program Files\\Web\\Browse.exe");
    EXPECT_EQ(BrowserParams, " -nohome \"\"") << "trimming comes before the quote removal";

    htmCommand("\"C:\\Program Files\\Web\\Browse.exe\"");
    EXPECT_EQ(web.GetBrowserProgram(), "C:\\Program Files\\Web\\Browse.exe");
    EXPECT_EQ(BrowserParams, "");

    htmCommand("\"\"\"C:\\Web\\Browse.exe\"\"\" \t-x\r\n");
    EXPECT_EQ(web.GetBrowserProgram(), "\"\"C:\\Web\\Browse.exe");
    EXPECT_EQ(BrowserParams, " \t-x");
}

TEST_F(GoToWebTest, ACommandWithoutAProgramSuffixSplitsAfterItsFirstWord)
{
    auto web = goToWeb();
    htmCommand("/usr/bin/firefox --new-window %u");
    EXPECT_EQ(web.GetBrowserProgram(), "/usr/bin/firefox");
    EXPECT_EQ(BrowserParams, "--new-window");

    htmCommand("  \"/opt/My Browser/run\"   --profile \"a b\" %u ");
    EXPECT_EQ(web.GetBrowserProgram(), "/opt/My Browser/run");
    EXPECT_EQ(BrowserParams, "--profile \"a b\"");
    web.SetMail("x@y.z");
    EXPECT_TRUE(web.SendMail());
    EXPECT_EQ(started->program, QStringLiteral("/opt/My Browser/run"));
    EXPECT_EQ(started->arguments, QStringList({"--profile", "a b", "mailto:x@y.z"}));
}

TEST_F(GoToWebTest, TheDesktopsMailProgramIsStartedInsteadOfTheBrowser)
{
    htmCommand("/usr/bin/browser --new-tab %u");
    tree.key("mailto\\shell\\open\\command", "\"/opt/Mail Client/mail\" -compose \"%u\"");
    auto web = goToWeb();
    web.SetMail("a@b.c --x");
    EXPECT_TRUE(web.SendMail());
    EXPECT_EQ(started->program, QStringLiteral("/opt/Mail Client/mail"));
    EXPECT_EQ(started->arguments, QStringList({"-compose", "", "mailto:a@b.c%20--x"}));
    EXPECT_EQ(BrowserParams, "left over") << "the browser was not looked up";

    started->result = false;
    EXPECT_FALSE(web.SendMail());
    EXPECT_EQ(started->starts, 2) << "a mail program that fails is not replaced by the browser";
}

TEST_F(GoToWebTest, NothingRegisteredGivesFalseAndStartsNothing)
{
    auto web = goToWeb();
    EXPECT_EQ(web.GetBrowserProgram(), "");
    EXPECT_FALSE(web.SendMail());
    EXPECT_EQ(started->starts, 0);
    EXPECT_EQ(BrowserParams, "left over");

    htmCommand("   ");
    EXPECT_FALSE(web.SendMail()) << "a command of blanks names no program";
    EXPECT_EQ(started->starts, 0);
}

TEST_F(GoToWebTest, TheAddressIsAlwaysExactlyTheLastArgument)
{
    htmCommand("/usr/bin/browser --new-tab %u");
    auto web = goToWeb();
    const auto lastArgumentFor = [&](const std::string& address) {
        web.SetMail(address);
        EXPECT_TRUE(web.SendMail());
        EXPECT_EQ(started->arguments.size(), 2) << address;
        return started->arguments.value(1);
    };
    EXPECT_EQ(lastArgumentFor(""), QStringLiteral("mailto:"));
    EXPECT_EQ(lastArgumentFor("x@y.z --remote-debugging-port=9222"),
              QStringLiteral("mailto:x@y.z%20--remote-debugging-port%3D9222"));
    EXPECT_EQ(lastArgumentFor("\"Ann O'Neil\" <ann@x.org> \"%u\""),
              QStringLiteral("mailto:%22Ann%20O'Neil%22%20%3Cann@x.org%3E%20%22%25u%22"));
    EXPECT_EQ(lastArgumentFor("Ren\xe9@Caf\xe9.fr"), QStringLiteral("mailto:Ren%C3%A9@Caf%C3%A9.fr"));
}

TEST_F(GoToWebTest, TheAddressCanNeverAddAHeaderToTheMail)
{
    htmCommand("/usr/bin/browser %u");
    auto web = goToWeb();
    web.SetMail("x@y?attach=/etc/passwd&body=hi#top\r\nBcc: z@w");
    EXPECT_TRUE(web.SendMail());
    EXPECT_EQ(started->arguments.value(0),
              QStringLiteral("mailto:x@y%3Fattach%3D%2Fetc%2Fpasswd%26body%3Dhi%23top%0D%0ABcc:%20z@w"));
    web.SetMail("Ann.Smith+work@Example.ORG");
    EXPECT_TRUE(web.SendMail());
    EXPECT_EQ(started->arguments.value(0), QStringLiteral("mailto:Ann.Smith+work@Example.ORG"));
}

TEST_F(GoToWebTest, ANewObjectMailsToTheAuthorAndReportsAFailedStart)
{
    htmCommand("browser %1");
    auto web = goToWeb();
    EXPECT_EQ(web.mail(), authorMailAddress);
    started->result = false;
    EXPECT_FALSE(web.SendMail());
    EXPECT_EQ(started->arguments.value(0), QStringLiteral("mailto:") + authorMailAddress);
}

TEST_F(GoToWebTest, ReadsAValueUpToItsFirstZeroByteAndRefusesOneTooLongForTheBuffer)
{
    htmCommand(std::string("browse.exe -a\0 -b", 17));
    EXPECT_EQ(FindBrowserCommand(tree), "browse.exe -a");

    tree.key(".htm\\shell\\open\\command", "own.exe");
    const std::string longest = "browse.exe " + std::string(1024 - 11, 'x');
    htmCommand(longest);
    EXPECT_EQ(FindBrowserCommand(tree), longest);
    htmCommand(longest + "x");
    EXPECT_EQ(FindBrowserCommand(tree), "own.exe");
}

} // namespace
