#include "bench/wine/AppletStarts.h"

#include "bench/wine/BusPrograms.h"
#include "bench/wine/WindowWatch.h"
#include "gamelink/GameContract.h"
#include "platform/WineBridgeContract.h"
#include "tests/support/SimProcess.h"
#include "tests/wine/WindowsGame.h"

#include <stdexcept>

namespace {

// The applet's title once it knows the game's subject, as a player sees it.
constexpr const char* kShownTitle = "Splicebox - ";
// The bridge waits 35 s for the applet; it comes far sooner.
constexpr auto kShowTimeout = 40s;
// Games and the bridge give the leaving applet 3 s to say goodbye.
constexpr auto kEndTimeout = 15s;

// Whether the process owning this bus name belongs to a start: the applet, the
// game's macro server (the bridge, or the game of this machine) or a bridge of
// a program of this machine.
bool OfAStart(const std::string& name) {
    return name == GameContract::kAppletServiceName || name == GameContract::kMacroServerName ||
           name.starts_with(WineBridgeContract::kClientServicePrefix);
}

// From the game's create-object to the applet's window shown, in milliseconds;
// then the game quits, and this waits until it and the processes of the start
// have ended.
double TimeStart(CChildProcess& game) {
    CWindowWatch watch;
    const auto sent = CWindowWatch::Clock::now();
    game.Send("create-object");
    const auto shown = watch.WaitForTitle(kShownTitle, kShowTimeout);
    if (!shown) {
        throw std::runtime_error("the applet's window was not shown");
    }
    const std::vector<pid_t> started = OwnersOf(OfAStart);
    game.Send("quit");
    if (!game.WaitForExit(kEndTimeout)) {
        throw std::runtime_error("the game did not end");
    }
    WaitUntilEnded(started, "the applet or the bridge", kEndTimeout);
    return std::chrono::duration<double, std::milli>(*shown - sent).count();
}

double WindowsGameStart() {
    const TempDir logs;
    CWindowsGame game(logs, {"--subject", "Bob"});
    return TimeStart(game.Process());
}

double LinuxGameStart() {
    CSimProcess game({"--subject", "Bob"});
    return TimeStart(game.Process());
}

} // namespace

AppletStarts MeasureAppletStarts(int count) {
    // One of each first, not counted: Wine's services start, and the programs'
    // files come into the page cache.
    WindowsGameStart();
    LinuxGameStart();
    AppletStarts starts;
    for (int i = 0; i < count; ++i) {
        starts.windowsGameMs.push_back(WindowsGameStart());
        starts.linuxGameMs.push_back(LinuxGameStart());
    }
    return starts;
}
