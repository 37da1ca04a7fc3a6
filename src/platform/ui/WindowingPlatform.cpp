#include "WindowingPlatform.h"

#include "platform/files/Environment.h"

namespace kb::platform {

const char* defaultWindowingPlatform()
{
    if (!environmentValue("QT_QPA_PLATFORM").empty())
        return "";
    const bool waylandSession =
        environmentValue("XDG_SESSION_TYPE") == "wayland" || !environmentValue("WAYLAND_DISPLAY").empty();
    return waylandSession && !environmentValue("DISPLAY").empty() ? "xcb" : "";
}

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv)
{
    const QByteArray platform(defaultWindowingPlatform());
    if (platform.isEmpty())
        return std::make_unique<QApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", platform);
    auto application = std::make_unique<QApplication>(argc, argv);
    qunsetenv("QT_QPA_PLATFORM");
    return application;
}

} // namespace kb::platform
