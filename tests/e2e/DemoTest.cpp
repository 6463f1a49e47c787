#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;

namespace {

// The demo as `make demo` runs it, on the offscreen display, ended with Ctrl-C. The applet asking
// for the name shows that it made its window from the pictures the demo put into its game folder.
TEST(DemoTest, TheDemoStartsTheAppletInAGameFolderOfItsOwnAndEndsOnInterrupt) {
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

    ASSERT_TRUE(logged("macro dde: getb cnam"));
    kill(-run.Pid(), SIGINT);
    EXPECT_TRUE(run.WaitForExit(20s).has_value());
    EXPECT_TRUE(logged("macro inst,app: quit 1,endm"));
    EXPECT_TRUE(logged("event ended"));
}

} // namespace
