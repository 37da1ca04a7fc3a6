#pragma once

#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kb::test {

// Sets environment variables for the lifetime of the object and gives each
// its former value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);

private:
    void save(const std::string& name);

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// A desktop of its own: empty XDG base directories in a scratch directory,
// the XDG variables pointing at them and no current desktop name, so that
// nothing installed on the machine takes part.
class IsolatedDesktop {
public:
    IsolatedDesktop();

    std::filesystem::path dataHome() const { return m_root.path() / "data-home"; }
    std::filesystem::path configHome() const { return m_root.path() / "config-home"; }
    std::filesystem::path dataDir() const { return m_root.path() / "share"; }
    std::filesystem::path configDir() const { return m_root.path() / "etc-xdg"; }
    const std::filesystem::path& root() const { return m_root.path(); }

    // Writes a file, making its directories.
    static void write(const std::filesystem::path& file, std::string_view content);

    ScopedEnvironment& environment() { return m_environment; }

private:
    TempDir m_root;
    ScopedEnvironment m_environment;
};

// A web browser that records the arguments of every start, registered as the
// default application for web pages of an isolated desktop. The program lives
// in a folder whose name holds a space, and the Exec line quotes it.
class FakeBrowser {
public:
    using Call = std::vector<std::string>;

    // execArguments follow the quoted program in the desktop file's Exec line.
    explicit FakeBrowser(std::string_view execArguments = "--new-window %u");

    // The calls recorded so far, once at least count have arrived or the time
    // is up, in no particular order.
    std::vector<Call> waitForCalls(std::size_t count,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    std::vector<Call> calls() const;

    // Registers the same recording program as the desktop's mail program,
    // with its own Exec arguments, behind the given mailto defaults.
    void registerAsMailProgram(std::string_view execArguments, std::string_view earlierDefaults = "");

    const std::filesystem::path& program() const { return m_program; }
    IsolatedDesktop& desktop() { return m_desktop; }

    static constexpr const char* desktopId = "kb-fake-browser.desktop";
    static constexpr const char* mailDesktopId = "kb-fake-mail.desktop";

private:
    IsolatedDesktop m_desktop;
    std::filesystem::path m_program;
    std::filesystem::path m_callsDirectory;
};

} // namespace kb::test
