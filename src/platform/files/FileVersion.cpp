#include "FileVersion.h"

#include "platform/files/TextFile.h"

#include <xxhash.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>

#include <sys/stat.h>

namespace kb::platform {
namespace {
constexpr std::size_t hashPieceSize = std::size_t{1} << 20; // stays in the cache while hashed
}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && size == other.size
        && modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
}

FileIdentity identityOf(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

void ContentHash::FreeState::operator()(XXH3_state_s* state) const noexcept
{
    XXH3_freeState(state);
}

ContentHash::ContentHash()
    : m_state(XXH3_createState())
{
    if (!m_state)
        throw std::bad_alloc();
    XXH3_64bits_reset(m_state.get());
}

ContentHash::~ContentHash() = default;

void ContentHash::add(const char* bytes, std::size_t count)
{
    XXH3_64bits_update(m_state.get(), bytes, count);
}

std::uint64_t ContentHash::value() const
{
    return XXH3_64bits_digest(m_state.get());
}

FileChange changeSince(const FileName& name, const FileVersion& version)
{
    std::unique_ptr<FileByteSource> source;
    try {
        source = std::make_unique<FileByteSource>(name);
    } catch (const std::exception&) {
        struct stat info {};
        return ::stat(name.nativePath().c_str(), &info) != 0 && errno == ENOENT ? FileChange::Gone
                                                                                : FileChange::Changed;
    }
    const FileIdentity now = source->identity();
    if (now.device != version.identity.device || now.inode != version.identity.inode)
        return FileChange::Replaced;
    if (now != version.identity)
        return FileChange::Changed;
    ContentHash hash;
    const std::uint64_t read =
        readPieces(*source, version.bytesRead, hashPieceSize, [&hash](const char* piece, std::size_t count) {
            hash.add(piece, count);
            return true;
        });
    return read == version.bytesRead && hash.value() == version.hash ? FileChange::None : FileChange::Changed;
}

std::string fileNameLeadsTo(const FileName& name)
{
    const std::string path = name.nativePath();
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

} // namespace kb::platform
