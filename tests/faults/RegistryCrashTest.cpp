// Registry writers that die at any moment or write at the same time as
// another process: the file always parses and no value is lost.
#include "core/GameConfig.h"
#include "gamelink/GameContract.h"
#include "tests/faults/FaultGame.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kKills = 200;
// A write (lock, read, write, flush, rename) takes a millisecond or more, so
// kills within this span land before, inside and between writes.
constexpr int kMaxKillDelayMicroseconds = 20000;
// A stale lock would block a round for ever; SIGALRM then fails the test.
constexpr unsigned kWatchdogSeconds = 30;
constexpr int kValuesPerWriter = 100;

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
        const auto writer = StartFaultChild({"write", "Tool8", next});
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

// An applet beside the game substitute's init, which writes the game's folders
// as the game's installer does, then two applets; all create the user key.
TEST(RegistryCrash, WritersAtOnceLoseNoValue) {
    GameEnvironment environment;
    const auto applet = StartFaultChild({"write-many", "Applet", std::to_string(kValuesPerWriter)});
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

    const auto first = StartFaultChild({"write-many", "First", std::to_string(kValuesPerWriter)});
    const auto second = StartFaultChild({"write-many", "Second", std::to_string(kValuesPerWriter)});
    EXPECT_EQ(FinishFaultChild(*first), "done\n");
    EXPECT_EQ(FinishFaultChild(*second), "done\n");
    std::vector<std::string> missing;
    for (const std::string prefix : {"Applet", "First", "Second"}) {
        for (int i = 0; i < kValuesPerWriter; ++i) {
            if (ReadUserValue(prefix + std::to_string(i)) != std::to_string(i)) {
                missing.push_back(prefix + std::to_string(i));
            }
        }
    }
    EXPECT_EQ(missing, std::vector<std::string>{});
}

} // namespace
