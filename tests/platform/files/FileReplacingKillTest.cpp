#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A system call by name, and which call of that name it is since the process began.
using CallPoint = std::pair<std::string, int>;

const std::string oldContent(200 * 1024, 'o');
const std::string newContent(120 * 1024, 'n');

int run(const std::vector<std::string>& arguments)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

// Kills at each system call that the helper makes after its marker, one run
// per call, through strace's fault injection.
class KillAtEachCall : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_STATE_HOME", state.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    std::string file() const { return dir.file("Address.csv"); }
    fs::path journals() const { return state.path() / "kestrelbook98"; }

    std::vector<std::string> save() const
    {
        return {KB_SAVE_KILL_HELPER, "save", file(), "n", std::to_string(newContent.size())};
    }
    std::vector<std::string> start() const { return {KB_SAVE_KILL_HELPER, "start", file()}; }

    void resetFile(bool inPlace)
    {
        fs::remove_all(dir.path());
        fs::create_directory(dir.path());
        fs::remove_all(journals());
        dir.write("Address.csv", oldContent);
        if (inPlace) // a second name makes the save rewrite the file where it stands
            fs::create_hard_link(file(), links.path() / ("second-" + std::to_string(++m_links)));
    }

    // The calls the helper makes after its marker.
    std::vector<CallPoint> callsOf(const std::vector<std::string>& helper)
    {
        const std::string log = links.file("calls.log");
        std::vector<std::string> traced{KB_STRACE, "-qq", "-o", log};
        traced.insert(traced.end(), helper.begin(), helper.end());
        EXPECT_EQ(run(traced), 0);
        std::ifstream lines(log);
        std::map<std::string, int> seen;
        std::vector<CallPoint> after;
        bool marked = false;
        for (std::string line; std::getline(lines, line);) {
            const auto open = line.find('(');
            if (line.rfind("+++", 0) == 0 || line.rfind("---", 0) == 0 || open == std::string::npos)
                continue;
            const std::string name = line.substr(0, open);
            const int count = ++seen[name];
            if (marked)
                after.emplace_back(name, count);
            marked = marked || line.find("kb-kill-marker") != std::string::npos;
        }
        return after;
    }

    bool killAt(const std::vector<std::string>& helper, const CallPoint& point)
    {
        std::vector<std::string> traced{
            KB_STRACE, "-qq",
            "-o",      "/dev/null",
            "-e",      "trace=" + point.first,
            "-e",      "inject=" + point.first + ":signal=SIGKILL:when=" + std::to_string(point.second)};
        traced.insert(traced.end(), helper.begin(), helper.end());
        const int status = run(traced);
        return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // After the next start: the old or the new content, and nothing beside it.
    void expectOldOrNewAndNothingElse(const CallPoint& point)
    {
        ASSERT_EQ(run(start()), 0);
        const std::string now = dir.read("Address.csv");
        EXPECT_TRUE(now == oldContent || now == newContent)
            << "killed at " << point.first << " #" << point.second << ": " << now.size() << " bytes";
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1)
            << "beside the file after a kill at " << point.first << " #" << point.second;
        EXPECT_TRUE(!fs::exists(journals()) || fs::is_empty(journals()))
            << "journal left after a kill at " << point.first << " #" << point.second;
    }

    int killEachCallOfASave(bool inPlace)
    {
        resetFile(inPlace);
        const std::vector<CallPoint> points = callsOf(save());
        int kills = 0;
        m_calls += static_cast<int>(points.size());
        for (const CallPoint& point : points) {
            resetFile(inPlace);
            kills += killAt(save(), point);
            expectOldOrNewAndNothingElse(point);
        }
        return kills;
    }

    kb::test::TempDir dir;
    kb::test::TempDir links;
    kb::test::TempDir state;
    int m_links = 0;
    int m_calls = 0; // of the saves
};

TEST_F(KillAtEachCall, EverySystemCallOfBothSaveRoutesAndOfTheRollback)
{
    const int atomic = killEachCallOfASave(false);
    const int inPlace = killEachCallOfASave(true);

    // A save killed once its new content is in the file but not yet cut to
    // size leaves a half-written file for the next start to roll back.
    const auto halfWritten = [this] {
        resetFile(true);
        ASSERT_TRUE(killAt(save(), {"ftruncate", 1}));
        ASSERT_NE(dir.read("Address.csv"), oldContent);
    };
    halfWritten();
    const std::vector<CallPoint> points = callsOf(start());
    int rollback = 0;
    for (const CallPoint& point : points) {
        halfWritten();
        rollback += killAt(start(), point);
        expectOldOrNewAndNothingElse(point);
        EXPECT_EQ(dir.read("Address.csv"), oldContent);
    }
    std::printf("killed at each system call: %d of the atomic save, %d of the in-place save (of %d calls), "
                "%d of the rollback (of %zu calls)\n",
                atomic, inPlace, m_calls, rollback, points.size());
    EXPECT_GT(atomic, 10);
    EXPECT_GT(inPlace, 20);
    EXPECT_GT(rollback, 5);
}

} // namespace
