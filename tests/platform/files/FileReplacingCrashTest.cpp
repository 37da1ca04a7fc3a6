#include "TempDir.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/SaveJournal.h"
#include "platform/files/TextFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::size_t entriesIn(const fs::path& directory)
{
    return fs::exists(directory) ? static_cast<std::size_t>(std::distance(fs::directory_iterator(directory), {})) : 0;
}

// A process killed at any instant of a save leaves the whole old or the whole
// new content under the name once the next start has run, and nothing beside
// it: through a new file renamed over the old one, and (with a second hard
// link) rewritten in place under a rollback journal.
void killSavesAtRandomInstants(bool secondLink)
{
    kb::test::TempDir dir;
    kb::test::TempDir state;
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    const auto file = kb::platform::FileName::native(dir.file("Address.csv"));
    std::string contents[2] = {std::string(24 << 20, 'a'), std::string(20 << 20, 'b')};
    contents[0].replace(0, 5, "start"); // so that a spliced file shows
    dir.write("Address.csv", "x");
    if (secondLink)
        fs::create_hard_link(dir.file("Address.csv"), state.file("other-name"));

    // How long one save takes here, so that the kills spread over all of it.
    const auto start = Clock::now();
    kb::platform::writeFileReplacing(file, contents[0]);
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> delay(0, saveTime.count() * 5 / 4);
    int current = 0;
    int rolledBack = 0;
    for (int kill = 0; kill < 20; ++kill) {
        const int next = 1 - current;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                kb::platform::writeFileReplacing(file, contents[next]);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const bool wholeBeforeStart = dir.read("Address.csv") == contents[0] || dir.read("Address.csv") == contents[1];
        // The next start: its rollback, then the opening of the file, which
        // clears what an ended save left beside it.
        kb::platform::rollBackInterruptedSaves();
        kb::platform::removeLeftoversBeside(file);
        const std::string now = dir.read("Address.csv");
        ASSERT_TRUE(now == contents[0] || now == contents[1]) << "kill " << kill << ": " << now.size() << " bytes";
        rolledBack += !wholeBeforeStart;
        if (now == contents[next])
            current = next;
        ASSERT_EQ(entriesIn(dir.path()), 1) << "kill " << kill;
        ASSERT_EQ(entriesIn(state.path() / "kestrelbook98"), 0) << "kill " << kill;
    }
    std::printf("%s route: %d of 20 kills left a half-written file, rolled back at the next start\n",
                secondLink ? "in-place" : "atomic", rolledBack);
    unsetenv("XDG_STATE_HOME");
}

TEST(FileReplacingCrashTest, AKillAtAnyInstantOfAnAtomicSaveLeavesOldOrNewContent)
{
    killSavesAtRandomInstants(false);
}

TEST(FileReplacingCrashTest, AKillAtAnyInstantOfAnInPlaceSaveIsRolledBackAtTheNextStart)
{
    killSavesAtRandomInstants(true);
}

} // namespace
