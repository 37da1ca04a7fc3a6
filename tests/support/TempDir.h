#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kb::test {

// A scratch directory removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(std::string_view name) const { return (m_path / name).string(); }
    void write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// Runs in another working directory for the lifetime of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& directory);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path m_previous;
};

} // namespace kb::test
