#include "FakeBrowser.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace kb::test {
namespace fs = std::filesystem;

ScopedEnvironment::~ScopedEnvironment()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (it->second)
            ::setenv(it->first.c_str(), it->second->c_str(), 1);
        else
            ::unsetenv(it->first.c_str());
    }
}

void ScopedEnvironment::save(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
}

void ScopedEnvironment::set(const std::string& name, const std::string& value)
{
    save(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnvironment::unset(const std::string& name)
{
    save(name);
    ::unsetenv(name.c_str());
}

IsolatedDesktop::IsolatedDesktop()
{
    for (const auto& directory : {dataHome(), configHome(), dataDir(), configDir()})
        fs::create_directories(directory);
    m_environment.set("XDG_DATA_HOME", dataHome().string());
    m_environment.set("XDG_CONFIG_HOME", configHome().string());
    m_environment.set("XDG_DATA_DIRS", dataDir().string());
    m_environment.set("XDG_CONFIG_DIRS", configDir().string());
    m_environment.unset("XDG_CURRENT_DESKTOP");
}

void IsolatedDesktop::write(const fs::path& file, std::string_view content)
{
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

namespace {

// The program path as one quoted argument of an Exec line.
std::string quotedForExec(const std::string& path)
{
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // The desktop file's own string escape doubles every backslash again.
    std::string escaped;
    for (char c : quoted) {
        escaped += c;
        if (c == '\\')
            escaped += '\\';
    }
    return escaped;
}

} // namespace

FakeBrowser::FakeBrowser(std::string_view execArguments)
    : m_program(m_desktop.dataHome() / "Fake Browser" / "browse")
    , m_callsDirectory(m_desktop.root() / "calls")
{
    fs::create_directories(m_callsDirectory);
    // Each start writes its arguments, each ended by a zero byte, to a file of
    // its own and renames it into place only when complete.
    IsolatedDesktop::write(m_program,
                           "#!/bin/sh\n"
                           "reserved=$(mktemp '"
                               + m_callsDirectory.string()
                               + "/.reserve.XXXXXXXX') || exit 1\n"
                                 "for argument in \"$@\"; do printf '%s\\0' \"$argument\"; done > \"$reserved\"\n"
                                 "mv \"$reserved\" '"
                               + m_callsDirectory.string() + "/call.'\"${reserved##*/.reserve.}\"\n");
    fs::permissions(m_program, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);

    IsolatedDesktop::write(m_desktop.dataHome() / "applications" / desktopId,
                           "[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=Fake Browser\n"
                           "Exec="
                               + quotedForExec(m_program.string()) + " " + std::string(execArguments)
                               + "\n"
                                 "MimeType=text/html;x-scheme-handler/mailto;\n");
    IsolatedDesktop::write(m_desktop.configHome() / "mimeapps.list",
                           std::string("[Default Applications]\ntext/html=") + desktopId + ";\n");
    IsolatedDesktop::write(m_desktop.dataDir() / "mime" / "globs2",
                           "# glob weights\n50:text/html:*.htm\n50:text/html:*.html\n");
}

void FakeBrowser::registerAsMailProgram(std::string_view execArguments, std::string_view earlierDefaults)
{
    IsolatedDesktop::write(m_desktop.dataHome() / "applications" / mailDesktopId,
                           "[Desktop Entry]\n"
                           "Type=Application\n"
                           "Name=Fake Mail\n"
                           "Exec="
                               + quotedForExec(m_program.string()) + " " + std::string(execArguments)
                               + "\n"
                                 "MimeType=x-scheme-handler/mailto;\n");
    IsolatedDesktop::write(m_desktop.configHome() / "mimeapps.list",
                           std::string("[Default Applications]\ntext/html=") + desktopId
                               + ";\n"
                                 "x-scheme-handler/mailto="
                               + std::string(earlierDefaults) + mailDesktopId + ";\n");
}

std::vector<FakeBrowser::Call> FakeBrowser::calls() const
{
    std::vector<Call> calls;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_callsDirectory, error)) {
        if (entry.path().filename().string().rfind("call.", 0) != 0)
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Call call;
        std::string argument;
        for (char c : bytes) {
            if (c == '\0') {
                call.push_back(argument);
                argument.clear();
            } else {
                argument += c;
            }
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

std::vector<FakeBrowser::Call> FakeBrowser::waitForCalls(std::size_t count, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto recorded = calls();
    while (recorded.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        recorded = calls();
    }
    return recorded;
}

} // namespace kb::test
