#include "TempDir.h"
#include "platform/files/FileReplacing.h"
#include "platform/files/TextFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A process killed at any instant of a save leaves the whole old or the whole
// new content under the name, and nothing beside it.
TEST(FileReplacingCrashTest, AKillAtAnyInstantLeavesOldOrNewContentAndNothingElse)
{
    kb::test::TempDir dir;
    const auto file = kb::platform::FileName::native(dir.file("Address.csv"));
    std::string contents[2] = {std::string(24 << 20, 'a'), std::string(20 << 20, 'b')};

    // How long one save takes here, so that the kills spread over all of it.
    const auto start = Clock::now();
    kb::platform::writeFileReplacing(file, contents[0]);
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> delay(0, saveTime.count() * 5 / 4);
    int current = 0;
    for (int kill = 0; kill < 24; ++kill) {
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

        const std::string now = dir.read("Address.csv");
        ASSERT_TRUE(now == contents[0] || now == contents[1]) << "kill " << kill << ": " << now.size() << " bytes";
        if (now == contents[next])
            current = next;
        ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "kill " << kill;
    }
}

} // namespace
