// Registry writers that die at any moment or write at the same time as
// another process: the file always parses and no value is lost.
#include "app/GameConfig.h"
#include "gamelink/GameContract.h"
#include "tests/faults/FaultGame.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kKills = 200;
// A write (lock, read, write, flush, rename) takes a millisecond or more; a
// kill at any moment in this span lands before, inside or between the
// writer's writes, and leaves time for a slow disk's first write.
constexpr int kMaxKillDelayMicroseconds = 20000;
// Bounds each round, which a stale lock would block for ever: SIGALRM ends
// the test process, and ctest reports it failed.
constexpr unsigned kWatchdogSeconds = 30;
constexpr int kValuesPerWriter = 100;

// The names of PREFIX0=0 ... PREFIX99=99 that do not hold their number.
std::vector<std::string> MissingValues(const std::string& prefix) {
    std::vector<std::string> missing;
    for (int i = 0; i < kValuesPerWriter; ++i) {
        if (ReadUserValue(prefix + std::to_string(i)) != std::to_string(i)) {
            missing.push_back(prefix + std::to_string(i));
        }
    }
    return missing;
}

TEST(RegistryCrash, AKilledWriterLeavesTheOldOrTheNewValueAndNoLock) {
    GameEnvironment environment;
    environment.InstallGame();
    WriteUserValue("Tool8", "start");
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, kMaxKillDelayMicroseconds);
    std::string previous = "start";
    int sawNew = 0;
    for (int i = 0; i < kKills; ++i) {
        // Values of changing length, so the file's size changes with each.
        const std::string next = "value " + std::to_string(i) + std::string(i % 7 * 300, 'x');
        ::alarm(kWatchdogSeconds);
        // The writer takes the lock before it says so, and the test after it dies.
        const auto writer = StartFaultChild({"write", "Tool8", next, "0"});
        ASSERT_EQ(writer->ReadLine(), "writing");
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        writer->Signal(SIGKILL);
        writer->WaitForExit(std::chrono::seconds(60));

        const std::string found = ReadUserValue("Tool8");
        ASSERT_TRUE(found == previous || found == next) << "after kill " << i << ": " << found;
        sawNew += found == next;
        previous = found;
        WriteUserValue("Kills", std::to_string(i + 1));
        ASSERT_EQ(ReadUserValue("Kills"), std::to_string(i + 1));
        ::alarm(0);
    }
    EXPECT_GT(sawNew, 0);
}

// Two applets at once, then an applet and the game substitute's init, which
// writes the game's folders as the game's installer does, into a registry
// where both create the user key.
TEST(RegistryCrash, WritersAtOnceLoseNoValue) {
    GameEnvironment environment;
    const auto applet = StartFaultChild({"write-many", "Applet", "100"});
    std::filesystem::path lastGame;
    for (int i = 0; i < 10; ++i) {
        lastGame = environment.Root() / ("game" + std::to_string(i));
        CChildProcess game({SB_BIN_DIR "/mirewalk-sim", "init", lastGame.string()});
        ASSERT_EQ(game.WaitForExit(std::chrono::seconds(30)), 0);
    }
    EXPECT_EQ(FinishFaultChild(*applet), "done\n");
    for (int i = 0; i < GameContract::kGameDirectoryCount; ++i) {
        const auto folder = lastGame / GameContract::kGameDirectoryFolders[i];
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
        EXPECT_EQ(GetGameDirectory(i), folder.string() + "/");
    }

    const auto first = StartFaultChild({"write-many", "First", "100"});
    const auto second = StartFaultChild({"write-many", "Second", "100"});
    EXPECT_EQ(FinishFaultChild(*first), "done\n");
    EXPECT_EQ(FinishFaultChild(*second), "done\n");
    for (const char* prefix : {"Applet", "First", "Second"}) {
        EXPECT_EQ(MissingValues(prefix), std::vector<std::string>{});
    }
}

} // namespace
