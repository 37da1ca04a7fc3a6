#include "platform/ui/WindowingPlatform.h"

#include "TempDir.h"

#include <QFileDialog>
#include <gtest/gtest.h>

#include <filesystem>

#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Sets session variables for one test and puts the former values back.
class SessionVariables {
public:
    SessionVariables(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        for (const auto& [name, value] : values) {
            m_former.emplace_back(name, qgetenv(name), qEnvironmentVariableIsSet(name));
            if (value)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    ~SessionVariables()
    {
        for (const auto& [name, value, wasSet] : m_former) {
            if (wasSet)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }

private:
    std::vector<std::tuple<const char*, QByteArray, bool>> m_former;
};

TEST(WindowingPlatformTest, AWaylandDesktopWithXWaylandGetsX11UnlessThePlatformIsNamed)
{
    {
        SessionVariables session{{"QT_QPA_PLATFORM", nullptr},
                                 {"XDG_SESSION_TYPE", "wayland"},
                                 {"WAYLAND_DISPLAY", "wayland-0"},
                                 {"DISPLAY", ":0"}};
        EXPECT_EQ(std::string(kb::platform::defaultWindowingPlatform()), "xcb");
    }
    {
        SessionVariables noXWayland{{"QT_QPA_PLATFORM", nullptr},
                                    {"XDG_SESSION_TYPE", "wayland"},
                                    {"WAYLAND_DISPLAY", "wayland-0"},
                                    {"DISPLAY", nullptr}};
        EXPECT_EQ(std::string(kb::platform::defaultWindowingPlatform()), "");
    }
    {
        SessionVariables named{{"QT_QPA_PLATFORM", "wayland"},
                               {"XDG_SESSION_TYPE", "wayland"},
                               {"WAYLAND_DISPLAY", "wayland-0"},
                               {"DISPLAY", ":0"}};
        EXPECT_EQ(std::string(kb::platform::defaultWindowingPlatform()), "");
    }
    {
        SessionVariables x11{
            {"QT_QPA_PLATFORM", nullptr}, {"XDG_SESSION_TYPE", "x11"}, {"WAYLAND_DISPLAY", nullptr}, {"DISPLAY", ":0"}};
        EXPECT_EQ(std::string(kb::platform::defaultWindowingPlatform()), "");
    }
}

TEST(WindowingPlatformTest, QtWritesNoFileOfItsOwnAndStartsNoSessionBus)
{
    const kb::test::TempDir config;
    const SessionVariables session{{"XDG_CONFIG_HOME", config.path().c_str()},
                                   {"DBUS_SESSION_BUS_ADDRESS", nullptr},
                                   {"XDG_RUNTIME_DIR", nullptr}};
    kb::platform::keepQtToTheProgramsFiles();
    {
        QFileDialog dialog;
        dialog.setDirectory(QString::fromStdString(config.path().string()));
    } // where it would keep its history
    EXPECT_TRUE(std::filesystem::is_empty(config.path()));
    EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");
}

} // namespace
