#include "WindowingPlatform.h"

#include "platform/files/Environment.h"

#include <QSettings>

#include <string>

#include <sys/stat.h>

namespace kb::platform {

const char* defaultWindowingPlatform()
{
    if (!environmentValue("QT_QPA_PLATFORM").empty())
        return "";
    const bool waylandSession =
        environmentValue("XDG_SESSION_TYPE") == "wayland" || !environmentValue("WAYLAND_DISPLAY").empty();
    return waylandSession && !environmentValue("DISPLAY").empty() ? "xcb" : "";
}

void keepQtToTheProgramsFiles()
{
    // Qt's file dialog keeps the directories it visited in a settings file
    // of its own; a path no file can be made under keeps that history nowhere.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    // Without a session bus, the bus library would start one of its own
    // (dbus-launch), which outlives the program; an address it cannot use
    // makes Qt go without, as it does on any desktop without a bus.
    const std::string runtime = environmentValue("XDG_RUNTIME_DIR");
    struct stat bus {};
    const bool userBus = !runtime.empty() && ::stat((runtime + "/bus").c_str(), &bus) == 0 && S_ISSOCK(bus.st_mode);
    if (environmentValue("DBUS_SESSION_BUS_ADDRESS").empty() && !userBus)
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv)
{
    keepQtToTheProgramsFiles();
    const QByteArray platform(defaultWindowingPlatform());
    if (platform.isEmpty())
        return std::make_unique<QApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", platform);
    auto application = std::make_unique<QApplication>(argc, argv);
    qunsetenv("QT_QPA_PLATFORM");
    return application;
}

} // namespace kb::platform
