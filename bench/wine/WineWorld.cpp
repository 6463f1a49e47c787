#include "bench/wine/WineWorld.h"

#include "bench/startup/StartupGame.h"
#include "bench/wine/BusPrograms.h"
#include "platform/WineBridgeContract.h"
#include "tests/wine/WindowsGame.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

// Making a new prefix boots Wine once: 7 to 20 s, far more on a loaded machine.
constexpr auto kPrefixTimeout = 180s;
// Registering starts a bridge in the prefix, which may start Wine's services.
constexpr auto kRegisterTimeout = 60s;
constexpr const char* kGameFolderName = "Bench";

const std::string kApplet = SB_BIN_DIR "/splicebox";

void RunPrefixScript(const char* action, std::chrono::milliseconds timeout) {
    // Its output goes nowhere: Wine's background programs would hold on to a pipe.
    CChildProcess script({SB_WINE_PREFIX_SCRIPT, action, kWinePrefix.string()},
                         CChildProcess::Output::Discarded);
    if (script.WaitForExit(timeout) != 0) {
        throw std::runtime_error(std::string("scripts/wine-prefix ") + action + " failed");
    }
}

void SetWineVariables() {
    ::setenv("WINEPREFIX", kWinePrefix.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
    // This program is not beside the bridge, as splicebox is.
    ::setenv("SPLICEBOX_BRIDGE", SB_BIN_DIR "/splicebox-bridge.exe.so", 1);
}

void RequireRun(const std::optional<int>& status, const std::string& what,
                const std::filesystem::path& log) {
    if (status != 0) {
        std::ifstream in(log);
        throw std::runtime_error(what +
                                 " failed: " + std::string(std::istreambuf_iterator<char>(in), {}));
    }
}

} // namespace

CWinePrefixServer::CWinePrefixServer() {
    SetWineVariables();
    // Whatever a run that was cut short left in the prefix (a game, a bridge)
    // would answer in place of this run's.
    RunPrefixScript("stop", kPrefixTimeout);
    RunPrefixScript("make", kPrefixTimeout);
}

CWinePrefixServer::~CWinePrefixServer() {
    try {
        RunPrefixScript("stop", kPrefixTimeout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_wine: %s\n", e.what());
    }
}

void InstallGames(GameEnvironment& environment, CPrivateBus& bus, const TempDir& logs) {
    const auto windowsGame = kWinePrefix / "drive_c/Games" / kGameFolderName;
    std::filesystem::remove_all(windowsGame);
    RequireRun(RunWine({kWindowsGame, "init", std::string("C:\\Games\\") + kGameFolderName},
                       logs / "init.out"),
               "the Windows game's init", logs / "init.out");
    WriteAppletPictures(windowsGame);
    WriteAppletPictures(environment.InstallGame());

    // Messages on standard error: a message box would wait for an answer.
    ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
    // Qt wants a private runtime folder; the private world has one.
    const auto runtime = environment.Root() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    RequireRun(
        CChildProcess({kApplet, "--wine"}, CChildProcess::Output::Logged, logs / "register.out")
            .WaitForExit(kRegisterTimeout),
        "splicebox --wine", logs / "register.out");
    // Its bridge ends by itself once splicebox has left the bus.
    WaitUntilEnded(OwnersOf([](const std::string& name) {
                       return name.starts_with(WineBridgeContract::kClientServicePrefix);
                   }),
                   "the bridge of splicebox --wine", kRegisterTimeout);
    bus.AddServiceDirectory(environment.DataHome() / "dbus-1/services");
    bus.ShareEnvironment();
}
