#pragma once

#include "TempDir.h"

#include <QColor>

#include <map>
#include <string>

namespace kb::test {

// A small DOS installation in a scratch directory, reached as C:\KB through
// its own $WINEPREFIX, with the program's working directory beside it. Every
// launcher picture is one plain colour, so a test can tell which was loaded.
class DosInstallation {
public:
    DosInstallation();
    ~DosInstallation();
    DosInstallation(const DosInstallation&) = delete;
    DosInstallation& operator=(const DosInstallation&) = delete;

    static const std::map<std::string, QColor>& pictureColours();

    std::filesystem::path root() const { return m_dir.path() / "drive_c/KB"; }
    std::filesystem::path workDir() const { return m_dir.path() / "work"; }
    std::string workFile(std::string_view name) const { return (workDir() / name).string(); }
    std::string readWorkFile(std::string_view name) const;
    void writeIni(std::string_view bytes) const;
    void writeFile(const std::filesystem::path& path, std::string_view bytes) const;

private:
    TempDir m_dir;
    std::string m_previousPrefix;
    bool m_hadPrefix = false;
};

} // namespace kb::test
