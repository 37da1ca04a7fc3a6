#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace kb::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kbtest-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests make directories read-only; give the owner back its rights first.
    for (auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void TempDir::write(std::string_view name, std::string_view bytes) const
{
    const auto target = m_path / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::read(std::string_view name) const
{
    std::ifstream in(m_path / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& directory)
    : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(directory);
}

WorkingDirectory::~WorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

} // namespace kb::test
