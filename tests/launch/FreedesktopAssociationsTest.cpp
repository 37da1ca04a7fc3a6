#include "launch/FreedesktopAssociations.h"
#include "FakeBrowser.h"
#include "launch/GoToWeb.h"

#include <gtest/gtest.h>

namespace {

using kb::launch::FreedesktopAssociations;
using kb::platform::XdgDirectories;
using kb::test::IsolatedDesktop;
namespace fs = std::filesystem;

std::string application(const std::string& exec, const std::string& mimeTypes = "text/html;",
                        const std::string& extra = "")
{
    return "[Desktop Entry]\nType=Application\nName=App\nExec=" + exec + "\nMimeType=" + mimeTypes + "\n" + extra;
}

class FreedesktopAssociationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IsolatedDesktop::write(desktop.dataDir() / "mime" / "globs2", "50:text/html:*.htm\n50:text/html:*.html\n");
        desktop.environment().set("PATH", programs().string());
    }

    fs::path programs() const { return desktop.root() / "bin"; }

    // Installs a desktop file and, unless told otherwise, the program its
    // Exec line names, on the PATH.
    void install(const fs::path& dataDirectory, const std::string& relativePath, const std::string& content,
                 bool withProgram = true)
    {
        IsolatedDesktop::write(dataDirectory / "applications" / relativePath, content);
        auto entry = kb::launch::parseDesktopFile(content)["Desktop Entry"];
        const std::string program = kb::launch::splitFirstDesktopArgument(entry["Exec"]).first;
        if (withProgram && !program.empty()) {
            IsolatedDesktop::write(programs() / program, "#!/bin/sh\n");
            fs::permissions(programs() / program, fs::perms::owner_all);
        }
    }

    static void defaults(const fs::path& file, const std::string& htmlApplications)
    {
        IsolatedDesktop::write(file, "[Default Applications]\ntext/html=" + htmlApplications + "\n");
    }

    static std::optional<std::string> value(const std::string& keyPath)
    {
        return FreedesktopAssociations().defaultValue(keyPath);
    }

    IsolatedDesktop desktop;
};

TEST_F(FreedesktopAssociationsTest, MapsExtensionsToMimeTypesThroughTheGlobs)
{
    IsolatedDesktop::write(desktop.dataHome() / "mime" / "globs2",
                           "# user's own\n40:text/x-low:*.html\n60:text/x-user:*.HTM:cs\n"
                           "70:text/x-shtml:*.shtml\n50:application/x-gone:__NOGLOBS__\n");
    IsolatedDesktop::write(desktop.dataDir() / "mime" / "globs2",
                           "50:text/html:*.htm\n50:text/html:*.html\n55:application/x-gone:*.htm\n");
    const FreedesktopAssociations associations;
    EXPECT_EQ(associations.mimeTypeOfExtension(".htm"), "text/x-user") << "highest weight, any case";
    EXPECT_EQ(associations.mimeTypeOfExtension(".HTML"), "text/html");
    EXPECT_EQ(associations.mimeTypeOfExtension(".SHTML"), "text/x-shtml");
    EXPECT_EQ(associations.mimeTypeOfExtension(".SHTM"), "text/html") << "no glob: taken as web page";
    EXPECT_EQ(associations.mimeTypeOfExtension(".xyz"), std::nullopt);
    EXPECT_EQ(associations.defaultValue(".xyz"), std::nullopt) << "the key does not open";
}

TEST_F(FreedesktopAssociationsTest, TheUsersDefaultBeatsTheSystemsAndAnUninstalledOneIsPassedOver)
{
    install(desktop.dataDir(), "user.desktop", application("user-browser %u"));
    install(desktop.dataDir(), "system.desktop", application("system-browser %u"));
    defaults(desktop.dataDir() / "applications" / "mimeapps.list", "system.desktop;");
    EXPECT_EQ(value(".HTM"), "system.desktop");

    defaults(desktop.configDir() / "mimeapps.list", "missing.desktop;system.desktop;");
    defaults(desktop.configHome() / "mimeapps.list", "gone.desktop;user.desktop;");
    EXPECT_EQ(value(".HTM"), "user.desktop");
    EXPECT_EQ(value("user.desktop\\Shell\\Open\\Command"), "user-browser %u");

    defaults(desktop.configHome() / "mimeapps.list", "gone.desktop;");
    EXPECT_EQ(value(".HTM"), "system.desktop") << "nothing installed in the user's list";
}

TEST_F(FreedesktopAssociationsTest, AnEntryWhoseProgramIsNotInstalledIsPassedOver)
{
    install(desktop.dataDir(), "stale.desktop", application("removed-browser %u"), false);
    install(desktop.dataDir(), "probe.desktop", application("probed %u", "text/html;", "TryExec=not-there\n"));
    install(desktop.dataDir(), "real.desktop", application(programs().string() + "/real %u"));
    defaults(desktop.configHome() / "mimeapps.list", "stale.desktop;probe.desktop;real.desktop;");
    EXPECT_EQ(value(".HTM"), "real.desktop");
    EXPECT_EQ(value("stale.desktop\\shell\\open\\command"), std::nullopt);

    fs::permissions(programs() / "real", fs::perms::owner_read);
    EXPECT_EQ(value(".HTM"), "") << "a program that cannot be run is not installed either";
}

TEST_F(FreedesktopAssociationsTest, TheMailProgramIsTheDefaultForMailtoLinks)
{
    install(desktop.dataDir(), "mail.desktop", application("mailer -compose %u", "x-scheme-handler/mailto;"));
    EXPECT_EQ(value("mailto\\shell\\open\\command"), std::nullopt) << "associated is not the default";

    IsolatedDesktop::write(desktop.configHome() / "mimeapps.list",
                           "[Default Applications]\nx-scheme-handler/mailto=mail.desktop;\n");
    EXPECT_EQ(value("mailto\\shell\\open\\command"), "mailer -compose %u");
}

TEST_F(FreedesktopAssociationsTest, ADesktopSpecificListComesBeforeThePlainOne)
{
    install(desktop.dataDir(), "plain.desktop", application("plain"));
    install(desktop.dataDir(), "gnome.desktop", application("gnome-web"));
    defaults(desktop.configHome() / "mimeapps.list", "plain.desktop;");
    defaults(desktop.configHome() / "gnome-mimeapps.list", "gnome.desktop;");
    EXPECT_EQ(value(".HTM"), "plain.desktop") << "no current desktop";

    desktop.environment().set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    EXPECT_EQ(value(".HTM"), "gnome.desktop");
    EXPECT_EQ(FindBrowserCommand(FreedesktopAssociations()), "gnome-web");
}

TEST_F(FreedesktopAssociationsTest, ARemovedAssociationIsSkippedByTheFallback)
{
    install(desktop.dataDir(), "a-first.desktop", application("first %u"));
    install(desktop.dataDir(), "b-second.desktop", application("second %u"));
    EXPECT_EQ(value(".HTM"), "") << "no default application: the class is empty";
    EXPECT_EQ(value(".HTM\\shell\\open\\command"), "first %u");

    IsolatedDesktop::write(desktop.configHome() / "mimeapps.list",
                           "[Removed Associations]\ntext/html=a-first.desktop;\n"
                           "[Default Applications]\ntext/html=a-first.desktop;\n");
    EXPECT_EQ(value(".HTM"), "") << "a removed association cannot be the default";
    EXPECT_EQ(value(".HTM\\shell\\open\\command"), "second %u");
    EXPECT_EQ(FindBrowserCommand(FreedesktopAssociations()), "second ");
}

TEST_F(FreedesktopAssociationsTest, AddedAssociationsComeFirstAndTheCacheCountsAsAMimeTypeKey)
{
    install(desktop.dataDir(), "listed.desktop", application("listed"));
    install(desktop.dataDir(), "cached.desktop", application("cached", ""));
    install(desktop.dataDir(), "added.desktop", application("added", "text/plain;"));
    IsolatedDesktop::write(desktop.dataDir() / "applications" / "mimeinfo.cache",
                           "[MIME Cache]\ntext/html=cached.desktop;gone.desktop;\n");
    const FreedesktopAssociations plain;
    EXPECT_EQ(plain.associatedApplications("text/html"),
              std::vector<std::string>({"cached.desktop", "listed.desktop"}));

    IsolatedDesktop::write(desktop.configHome() / "mimeapps.list", "[Added Associations]\ntext/html=added.desktop;\n");
    EXPECT_EQ(value(".HTML\\shell\\open\\command"), "added");
}

TEST_F(FreedesktopAssociationsTest, FindsDesktopFilesInSubdirectoriesByTheirIds)
{
    install(desktop.dataDir(), "vendor/web/browser.desktop", application("vendor-browser --x %U"));
    defaults(desktop.configHome() / "mimeapps.list", "vendor-web-browser.desktop;");
    EXPECT_EQ(value(".HTM"), "vendor-web-browser.desktop");
    EXPECT_EQ(value("vendor-web-browser.desktop\\shell\\open\\command"), "vendor-browser --x %U");
    EXPECT_EQ(value("browser.desktop\\shell\\open\\command"), std::nullopt);
}

TEST_F(FreedesktopAssociationsTest, TheUsersDesktopFileHidesTheSystemOneOfTheSameId)
{
    install(desktop.dataDir(), "web.desktop", application("system-web"));
    install(desktop.dataHome(), "web.desktop", application("user-web"));
    EXPECT_EQ(value("web.desktop\\shell\\open\\command"), "user-web");

    install(desktop.dataHome(), "web.desktop", application("user-web", "text/html;", "Hidden=true\n"));
    EXPECT_EQ(value("web.desktop\\shell\\open\\command"), std::nullopt);
    EXPECT_EQ(value(".HTM\\shell\\open\\command"), std::nullopt);

    install(desktop.dataHome(), "web.desktop", "[Desktop Entry]\nType=Link\nExec=x\nMimeType=text/html;\n");
    EXPECT_EQ(value("web.desktop\\shell\\open\\command"), std::nullopt) << "not an application";
}

TEST_F(FreedesktopAssociationsTest, DecodesTheExecLineAsAStringValue)
{
    install(desktop.dataDir(), "web.desktop", application(R"("my\sweb" --dir="C:\\\\x" %u)"));
    EXPECT_EQ(value(".HTM\\shell\\open\\command"), R"("my web" --dir="C:\\x" %u)");
}

TEST_F(FreedesktopAssociationsTest, RelativeBaseDirectoriesAreIgnored)
{
    const fs::path home = desktop.root() / "home";
    desktop.environment().set("HOME", home.string());
    desktop.environment().set("XDG_CONFIG_HOME", "relative/config");
    desktop.environment().set("XDG_DATA_HOME", "");
    desktop.environment().set("XDG_DATA_DIRS", "relative/share:" + desktop.dataDir().string());
    desktop.environment().set("XDG_CONFIG_DIRS", "etc/xdg");

    const XdgDirectories directories = XdgDirectories::fromEnvironment();
    EXPECT_EQ(directories.configHome, home / ".config");
    EXPECT_EQ(directories.dataHome, home / ".local/share");
    EXPECT_EQ(directories.dataDirs, std::vector<fs::path>({desktop.dataDir()}));
    EXPECT_EQ(directories.configDirs, std::vector<fs::path>({"/etc/xdg"}));

    install(desktop.dataDir(), "a.desktop", application("a"));
    install(desktop.dataDir(), "b.desktop", application("b"));
    defaults(home / ".config" / "mimeapps.list", "b.desktop;");
    EXPECT_EQ(FindBrowserCommand(FreedesktopAssociations(directories)), "b");
}

TEST_F(FreedesktopAssociationsTest, UnsetListVariablesTakeTheirDefaults)
{
    desktop.environment().unset("XDG_DATA_DIRS");
    desktop.environment().set("XDG_CONFIG_DIRS", "");
    const XdgDirectories directories = XdgDirectories::fromEnvironment();
    EXPECT_EQ(directories.dataDirs, std::vector<fs::path>({"/usr/local/share/", "/usr/share/"}));
    EXPECT_EQ(directories.configDirs, std::vector<fs::path>({"/etc/xdg"}));
}

TEST_F(FreedesktopAssociationsTest, NothingRegisteredGivesNoCommand)
{
    EXPECT_EQ(value(".HTM"), "");
    EXPECT_EQ(FindBrowserCommand(FreedesktopAssociations()), "");
    TGoToWeb web;
    EXPECT_FALSE(web.SendMail());
}

} // namespace
