#include "platform/files/FileReplacing.h"
#include "FileErrorText.h"
#include "TempDir.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileSystemCalls.h"
#include "platform/files/TextFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kb::platform::FileName;

std::set<std::string> namesIn(const fs::path& directory)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

struct stat statOf(const std::string& path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

class FileReplacingTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_STATE_HOME", state.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    void save(const std::string& path, std::string_view bytes)
    {
        kb::platform::writeFileReplacing(FileName::native(path), bytes);
    }
    // The way the address book saves: many small pieces.
    void saveStreamed(const std::string& path, std::string_view bytes)
    {
        kb::platform::writeFileReplacing(FileName::native(path), [bytes](kb::platform::ByteSink& sink) {
            for (std::size_t at = 0; at < bytes.size(); at += 4096)
                sink.write(bytes.substr(at, 4096));
        });
    }
    // In-place saves keep their copy of the old content only while they run.
    bool noCopyLeft() const
    {
        const fs::path copies = state.path() / "kestrelbook98";
        return !fs::exists(copies) || fs::is_empty(copies);
    }

    kb::test::TempDir dir;
    kb::test::TempDir state;
};

TEST_F(FileReplacingTest, ALinkStaysALinkAndItsTargetGetsTheContent)
{
    dir.write("real.txt", "old");
    dir.write("other/far.txt", "old");
    fs::create_symlink("real.txt", dir.path() / "near-link.txt");
    fs::create_symlink("other/far.txt", dir.path() / "far-link.txt");
    fs::create_symlink(dir.path() / "other/created.txt", dir.path() / "dangling.txt");

    for (const char* link : {"near-link.txt", "far-link.txt", "dangling.txt"}) {
        save(dir.file(link), link);
        EXPECT_TRUE(fs::is_symlink(dir.path() / link)) << link;
        EXPECT_EQ(dir.read(link), link);
    }
    EXPECT_EQ(dir.read("real.txt"), "near-link.txt");
    EXPECT_EQ(dir.read("other/far.txt"), "far-link.txt");
    EXPECT_EQ(dir.read("other/created.txt"), "dangling.txt");
    EXPECT_EQ(namesIn(dir.path() / "other"), (std::set<std::string>{"created.txt", "far.txt"}));
}

TEST_F(FileReplacingTest, OwnerGroupAndModeAreKept)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    dir.write("theirs.txt", "old");
    ASSERT_EQ(::chown(dir.file("theirs.txt").c_str(), 1234, 5678), 0);
    ASSERT_EQ(::chmod(dir.file("theirs.txt").c_str(), 02604), 0);
    save(dir.file("theirs.txt"), "new");
    const struct stat info = statOf(dir.file("theirs.txt"));
    EXPECT_EQ(info.st_uid, 1234u);
    EXPECT_EQ(info.st_gid, 5678u);
    EXPECT_EQ(info.st_mode & 07777, 02604u);
    EXPECT_EQ(dir.read("theirs.txt"), "new");
}

TEST_F(FileReplacingTest, HardLinksAreKept)
{
    dir.write("a.txt", "old content, longer than the new");
    fs::create_hard_link(dir.path() / "a.txt", dir.path() / "b.txt");
    save(dir.file("a.txt"), "new");
    EXPECT_EQ(dir.read("b.txt"), "new");
    EXPECT_EQ(statOf(dir.file("a.txt")).st_ino, statOf(dir.file("b.txt")).st_ino);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_TRUE(noCopyLeft());
}

TEST_F(FileReplacingTest, AnInPlaceSaveWithoutAPrivateStateDirectoryChangesNothing)
{
    dir.write("a.txt", "old");
    fs::create_hard_link(dir.path() / "a.txt", dir.path() / "b.txt");
    // A directory that another user may change, or a link, is no place for
    // the copy a failed save restores from.
    fs::create_directory_symlink(dir.path(), state.path() / "kestrelbook98");
    EXPECT_EQ(errorOf([&] { save(dir.file("a.txt"), "new"); }), "File access denied");
    EXPECT_EQ(dir.read("a.txt"), "old");
    fs::remove(state.path() / "kestrelbook98");
    if (::geteuid() == 0) {
        fs::create_directory(state.path() / "kestrelbook98");
        ASSERT_EQ(::chown((state.path() / "kestrelbook98").c_str(), 65534, 65534), 0);
        fs::permissions(state.path() / "kestrelbook98", fs::perms(0777));
        EXPECT_EQ(errorOf([&] { save(dir.file("a.txt"), "new"); }), "File access denied");
        EXPECT_EQ(dir.read("a.txt"), "old");
        fs::remove(state.path() / "kestrelbook98");
    }
}

TEST_F(FileReplacingTest, AclsAndExtendedAttributesAreKeptAndAccessNeverWidens)
{
    dir.write("a.txt", "old");
    const std::string path = dir.file("a.txt");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    // Owner rw-, user nobody ---, group r--, mask r--, others ---.
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t version = 2;
    const Entry entries[] = {{1, 6, ~0u}, {2, 0, 65534}, {4, 4, ~0u}, {0x10, 4, ~0u}, {0x20, 0, ~0u}};
    std::string acl(reinterpret_cast<const char*>(&version), sizeof version);
    acl.append(reinterpret_cast<const char*>(entries), sizeof entries);
    if (::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0
        || ::setxattr(path.c_str(), "user.origin", "dos", 3, 0) != 0)
        GTEST_SKIP() << "no ACLs or user attributes on this file system";
    const auto attribute = [&](const char* name) {
        std::string value(256, '\0');
        const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
        value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
        return value;
    };
    const struct stat before = statOf(path);

    save(path, "new");
    EXPECT_EQ(dir.read("a.txt"), "new");
    EXPECT_EQ(attribute("system.posix_acl_access"), acl);
    EXPECT_EQ(attribute("user.origin"), "dos");
    EXPECT_EQ(statOf(path).st_mode, before.st_mode);
    EXPECT_EQ(statOf(path).st_gid, before.st_gid);
    EXPECT_TRUE(noCopyLeft());
}

TEST_F(FileReplacingTest, ANewFileFollowsItsDirectorysDefaultAcl)
{
    // Owner rw-, user nobody rw-, group r--, mask rw-, others ---.
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t version = 2;
    const Entry entries[] = {{1, 6, ~0u}, {2, 6, 65534}, {4, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    std::string acl(reinterpret_cast<const char*>(&version), sizeof version);
    acl.append(reinterpret_cast<const char*>(entries), sizeof entries);
    if (::setxattr(dir.path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "no ACLs on this file system";

    save(dir.file("new.txt"), "new");
    // As open(..., 0666) makes it there: the mask lets nobody write, as the
    // directory's owner meant.
    EXPECT_EQ(statOf(dir.file("new.txt")).st_mode & 0777, 0660u);
}

TEST_F(FileReplacingTest, AnAttributeAddedWhileTheListIsReadCannotCrashASave)
{
    dir.write("a.txt", "old");
    fs::create_hard_link(dir.path() / "a.txt", dir.path() / "b.txt");
    // The first call finds no attributes; by the second one appeared.
    static int listings = 0;
    listings = 0;
    auto& calls = kb::platform::fileSystemCalls();
    const auto real = calls.flistxattr;
    calls.flistxattr = [](int, char* list, size_t size) -> ssize_t {
        if (listings++ % 2 == 0)
            return 0;
        if (size < 16)
            return 16;
        std::memcpy(list, "user.appeared\0\0\0", 16);
        return 16;
    };
    save(dir.file("c.txt"), "fresh");
    dir.write("d.txt", "old");
    save(dir.file("d.txt"), "new");
    calls.flistxattr = real;
    EXPECT_EQ(dir.read("d.txt"), "new");
    EXPECT_GT(listings, 0);
}

TEST_F(FileReplacingTest, TwoProgramsSavingAtOnceNeverMixTheirContent)
{
    // A second name keeps every save on the in-place route, where two
    // writers would interleave without the lock.
    dir.write("a.txt", "old");
    fs::create_hard_link(dir.path() / "a.txt", dir.path() / "b.txt");
    const std::string mine(8 << 20, 'm'), theirs(8 << 20, 't');
    for (int round = 0; round < 5; ++round) {
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        const pid_t other = ::fork();
        ASSERT_GE(other, 0);
        if (other == 0) {
            char go = 0;
            const bool started = ::read(start[0], &go, 1) == 1;
            saveStreamed(dir.file("a.txt"), theirs);
            ::_exit(started ? 0 : 1);
        }
        ASSERT_EQ(::write(start[1], "g", 1), 1);
        saveStreamed(dir.file("a.txt"), mine);
        int status = 0;
        ASSERT_EQ(::waitpid(other, &status, 0), other);
        ::close(start[0]);
        ::close(start[1]);
        const std::string now = dir.read("a.txt");
        ASSERT_TRUE(now == mine || now == theirs) << "a mix of both saves in round " << round;
    }
    EXPECT_TRUE(noCopyLeft());
}

TEST_F(FileReplacingTest, AWritableFileInAReadOnlyDirectoryIsSaved)
{
    dir.write("locked/notes.txt", "old");
    fs::permissions(dir.path() / "locked", fs::perms(0555));
    save(dir.file("locked/notes.txt"), "new");
    EXPECT_EQ(dir.read("locked/notes.txt"), "new");
    EXPECT_EQ(namesIn(dir.path() / "locked"), std::set<std::string>{"notes.txt"});
    EXPECT_TRUE(noCopyLeft());
}

TEST_F(FileReplacingTest, FifosAndDevicesAreRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    const auto fifo = FileName::native(dir.file("fifo"));
    EXPECT_EQ(errorOf([&] { kb::platform::TextFileReader reader(fifo); }), "File access denied");
    EXPECT_EQ(errorOf([&] { kb::platform::readFileBytes(fifo); }), "File access denied");
    EXPECT_EQ(errorOf([&] { kb::platform::writeFileReplacing(fifo, "x"); }), "File access denied");
    EXPECT_EQ(errorOf([] { kb::platform::readFileBytes(FileName::native("/dev/zero")); }), "File access denied");
}

// Makes one system call of the writer fail once, as a full disk or a failing
// device would, optionally only on the file of a given inode.
struct Injection {
    const char* call = "";
    int error = 0;
    int successesFirst = 0;
    ino_t onlyInode = 0;

    static Injection& active()
    {
        static Injection injection;
        return injection;
    }
    static bool fails(const char* call, int fd)
    {
        Injection& injection = active();
        if (std::string_view(injection.call) != call)
            return false;
        struct stat info {};
        if (injection.onlyInode != 0 && (fd < 0 || ::fstat(fd, &info) != 0 || info.st_ino != injection.onlyInode))
            return false;
        if (injection.successesFirst-- > 0)
            return false;
        injection.call = "";
        errno = injection.error;
        return true;
    }
};

class InjectedFailure {
public:
    explicit InjectedFailure(Injection injection)
    {
        Injection::active() = injection;
        auto& calls = kb::platform::fileSystemCalls();
        calls.write = [](int fd, const void* bytes, size_t count) -> ssize_t {
            return Injection::fails("write", fd) ? -1 : ::write(fd, bytes, count);
        };
        calls.fsync = [](int fd) { return Injection::fails("fsync", fd) ? -1 : ::fsync(fd); };
        calls.ftruncate = [](int fd, off_t length) {
            return Injection::fails("ftruncate", fd) ? -1 : ::ftruncate(fd, length);
        };
        calls.close = [](int fd) {
            const bool fail = Injection::fails("close", fd);
            const int result = ::close(fd);
            return fail ? -1 : result;
        };
        calls.rename = [](const char* from, const char* to) {
            return Injection::fails("rename", -1) ? -1 : ::rename(from, to);
        };
    }
    ~InjectedFailure() { kb::platform::fileSystemCalls() = {}; }
    InjectedFailure(const InjectedFailure&) = delete;
    InjectedFailure& operator=(const InjectedFailure&) = delete;
};

TEST_F(FileReplacingTest, AFailingDiskKeepsTheOldFileWholeAndLeavesNothing)
{
    const std::string oldContent(600 * 1024, 'o');
    const std::string newContent(700 * 1024, 'n');
    const std::string io = "I/O error " + std::to_string(EIO);
    const struct {
        const char* call;
        int error;
        const char* text;
    } failures[] = {{"write", ENOSPC, "Disk full"}, {"write", EDQUOT, "Disk full"},  {"write", EIO, io.c_str()},
                    {"fsync", ENOSPC, "Disk full"}, {"fsync", EIO, io.c_str()},      {"close", EDQUOT, "Disk full"},
                    {"close", EIO, io.c_str()},     {"rename", ENOSPC, "Disk full"}, {"rename", EIO, io.c_str()},
                    {"ftruncate", EIO, io.c_str()}};

    for (const bool inPlace : {false, true}) {
        dir.write("data.csv", oldContent);
        if (inPlace)
            fs::create_hard_link(dir.path() / "data.csv", dir.path() / "link.csv");
        const std::set<std::string> before = namesIn(dir.path());
        for (const auto& failure : failures) {
            SCOPED_TRACE(std::string(inPlace ? "in place, " : "replacing, ") + failure.call + " " + failure.text);
            Injection injection{failure.call, failure.error};
            if (inPlace) {
                // Fail on the file itself, after part of the new content is in it.
                injection.onlyInode = statOf(dir.file("data.csv")).st_ino;
                injection.successesFirst = std::string_view(failure.call) == "write" ? 1 : 0;
            }
            const InjectedFailure failing(injection);
            const std::string error = errorOf([&] { saveStreamed(dir.file("data.csv"), newContent); });
            if (error == "no error") {
                EXPECT_TRUE(std::string_view(failure.call) == (inPlace ? "rename" : "ftruncate")) << "call not made";
                dir.write("data.csv", oldContent);
                continue;
            }
            EXPECT_EQ(error, failure.text);
            EXPECT_TRUE(dir.read("data.csv") == oldContent);
            EXPECT_EQ(namesIn(dir.path()), before);
            EXPECT_TRUE(noCopyLeft());
        }
        if (inPlace) {
            // The copy of the old content cannot be made: nothing is touched.
            const InjectedFailure failing({"write", ENOSPC});
            EXPECT_EQ(errorOf([&] { save(dir.file("data.csv"), newContent); }), "Disk full");
            EXPECT_TRUE(dir.read("data.csv") == oldContent);
            EXPECT_TRUE(noCopyLeft());
            fs::remove(dir.path() / "link.csv");
        }
    }
}

} // namespace
