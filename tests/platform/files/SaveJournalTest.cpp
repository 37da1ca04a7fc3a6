#include "platform/files/SaveJournal.h"
#include "TempDir.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/FileSystemCalls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kb::platform::FileName;

const std::string oldContent = "the old content, longer than the new one";

// A state directory of its own, and a file with a second hard link, so that
// its saves rewrite it in place under a journal.
class SaveJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_STATE_HOME", state.path().c_str(), 1);
        dir.write("victim.txt", oldContent);
        fs::create_hard_link(dir.path() / "victim.txt", dir.path() / "link.txt");
    }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    fs::path journals() const { return state.path() / "kestrelbook98"; }
    fs::path onlyJournal() const
    {
        const auto entries = fs::directory_iterator(journals());
        const fs::path first = fs::begin(entries)->path();
        return first;
    }

    // A save killed once the new content is written but not yet cut to size:
    // the file is half new, half old, and only its journal knows the old.
    void killSaveHalfway()
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            kb::platform::fileSystemCalls().ftruncate = [](int, off_t) -> int { ::_exit(9); };
            kb::platform::writeFileReplacing(FileName::native(dir.file("victim.txt")), "new");
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_NE(dir.read("victim.txt"), oldContent);
    }

    // The next start, in a process of its own: what it distrusts lasts for the
    // rest of that process.
    void startAgain()
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            kb::platform::rollBackInterruptedSaves();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
    }

    kb::test::TempDir dir;
    kb::test::TempDir state;
};

TEST_F(SaveJournalTest, OnlyJournalsOfTheUsersOwnInAPrivateDirectoryAreRolledBack)
{
    killSaveHalfway();
    const fs::path journal = onlyJournal();

    fs::permissions(journal, fs::perms(0666));
    startAgain();
    EXPECT_NE(dir.read("victim.txt"), oldContent) << "a journal others could write was trusted";
    fs::permissions(journal, fs::perms(0600));

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(journal.c_str(), 65534, 65534), 0);
        startAgain();
        EXPECT_NE(dir.read("victim.txt"), oldContent) << "another user's journal was trusted";
        ASSERT_EQ(::chown(journal.c_str(), 0, 0), 0);
    }

    fs::permissions(journals(), fs::perms(0777));
    startAgain();
    EXPECT_NE(dir.read("victim.txt"), oldContent) << "a directory others could write was trusted";
    EXPECT_EQ(fs::status(journals()).permissions(), fs::perms(0700));

    startAgain();
    EXPECT_EQ(dir.read("victim.txt"), oldContent);
    EXPECT_TRUE(fs::is_empty(journals()));
}

TEST_F(SaveJournalTest, EmptyJournalsAndStrayCopiesOfEndedSavesAreRemovedAtTheNextStart)
{
    fs::create_directories(journals());
    fs::permissions(journals(), fs::perms(0700));
    for (const char* name : {"victim.txt.abcdefgh.journal", "victim.txt.abcdefgh.partial"}) {
        const fs::path path = journals() / name;
        ::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0600));
    }
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string stray = ".kb-save-" + std::to_string(ended) + "-abcdefgh";
    const std::string running = ".kb-save-1-abcdefgh"; // init never ends
    dir.write(stray, oldContent);
    dir.write(running, oldContent);

    startAgain();
    kb::platform::removeLeftoversBeside(FileName::native(dir.file("victim.txt")));
    EXPECT_TRUE(fs::is_empty(journals()));
    EXPECT_FALSE(fs::exists(dir.path() / stray));
    EXPECT_TRUE(fs::exists(dir.path() / running));
}

} // namespace
