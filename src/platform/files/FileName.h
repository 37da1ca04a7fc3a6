#pragma once

#include <string>
#include <string_view>

namespace kb::platform {

// A file name together with where it came from, which decides how it becomes
// a Linux path. DOS names (the configured directory, paths built from it,
// names read from the DOS product's files) are resolved the DOS way; native
// names (whatever a file dialog returned) are used exactly as chosen.
class FileName {
public:
    // Plain strings are DOS names: every name the DOS product gives is one.
    FileName(const char* dosName)
        : m_text(dosName)
    {
    }
    FileName(std::string dosName)
        : m_text(std::move(dosName))
    {
    }
    FileName(std::string_view dosName)
        : m_text(dosName)
    {
    }

    static FileName native(std::string_view path)
    {
        FileName name{std::string(path)};
        name.m_native = true;
        return name;
    }

    // The name as the user wrote or chose it, for messages.
    const std::string& text() const { return m_text; }
    // The Linux path: a DOS name is resolved now, a native one kept.
    std::string nativePath() const;

private:
    std::string m_text;
    bool m_native = false;
};

// The name under which the DOS product finds the native file path: its DOS
// form ("C:\KB\Photos\Anna.bmp", real letter case) when it lies under a drive
// of the dosdevices mapping, otherwise the path itself.
std::string dosFormOf(std::string_view nativePath);

} // namespace kb::platform
