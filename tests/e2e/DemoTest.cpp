#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <set>

using namespace std::chrono_literals;

namespace {

// The demo as `make demo` runs it, on the offscreen display, ended with Ctrl-C.
// The applet asking for the name shows that it made its window from the pictures.
TEST(DemoTest, TheDemoFillsItsGameFolderStartsTheAppletAndEndsOnInterrupt) {
    TempDir folder;
    setenv("SPLICEBOX_DEMO_DIR", (folder / "demo").c_str(), 1);
    setenv("BUILD", std::filesystem::path(SB_BIN_DIR).parent_path().c_str(), 1);
    unsetenv("SPLICEBOX_DEMO_BUS");
    CChildProcess run({"/usr/bin/setsid", SB_SOURCE_DIR "/scripts/demo"});
    const auto logged = [&](const char* text) {
        const auto found = [&] {
            return folder.Read("demo/game.log").find(text) != std::string::npos;
        };
        return WaitUntil(found, 30s, 50ms);
    };
    const auto names = [&](const char* gameFolder) {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder / gameFolder)) {
            found.insert(entry.path().filename());
        }
        return found;
    };

    ASSERT_TRUE(logged("macro dde: getb cnam"));
    EXPECT_EQ(names("demo/game/Objects"),
              (std::set<std::string>{"garden.kiv", "giantkite.kiv", "lantern.kiv", "musicbox.kiv",
                                     "nighthunter.kiv", "raincloud.kiv", "sunbeetle.kiv",
                                     "thoughtseed.kiv"}));
    EXPECT_EQ(names("demo/game/Main"),
              (std::set<std::string>{"Help.chm", "HelpDEU.chm", "HelpESN.chm", "HelpFRA.chm",
                                     "HelpITA.chm", "HelpNLD.chm", "allchemicals.str",
                                     "allchemicalsDEU.str"}));

    kill(-run.Pid(), SIGINT);
    EXPECT_TRUE(run.WaitForExit(20s).has_value());
    EXPECT_TRUE(logged("macro inst,app: quit 1,endm"));
    EXPECT_TRUE(logged("event ended"));
}

} // namespace
