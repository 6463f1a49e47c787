// The applet with the game under Wine, in this build folder's Wine prefix:
//   one macro's round trip from this machine, as the applet sends it, through
//   a bridge linked to the running Windows game, beside the same method called
//   raw by a Windows program in the prefix;
//   the Windows game's CreateObject to the applet's window shown on a virtual
//   display, the bridge started by Wine's COM and the applet by the bus,
//   beside the same applet started by the game of this machine.
#include "bench/wine/AppletStarts.h"
#include "bench/wine/MacroRoundTrip.h"
#include "bench/wine/Median.h"
#include "bench/wine/WineWorld.h"

#include <QCoreApplication>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// Enough for a steady median at a millisecond or two a call.
constexpr int kMacroCalls = 1000;
// Starts of each kind; the median of these is reported.
constexpr int kStarts = 7;
constexpr double kRoundTripGoalRatio = 1.5;
constexpr double kStartGoalMs = 1500;

const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

void Print(const MacroRoundTrip& trip, const AppletStarts& starts) {
    const double ratio = trip.bridgeUs / trip.rawComUs;
    std::printf("macro round trip through the Wine bridge (median of %d)  %.1f us | raw COM call "
                "from a Windows program in the prefix  %.1f us | ratio %.2f (goal <= %.1f: %s)\n",
                kMacroCalls, trip.bridgeUs, trip.rawComUs, ratio, kRoundTripGoalRatio,
                Verdict(ratio <= kRoundTripGoalRatio));
    const double windowsMs = Median(starts.windowsGameMs);
    const double linuxMs = Median(starts.linuxGameMs);
    std::printf("game's CreateObject under Wine to the applet's window shown (median of %d)  "
                "%.1f ms | mirewalk-sim's CreateObject to the window shown  %.1f ms | "
                "ratio %.2f (goal < %.1f s: %s)\n",
                kStarts, windowsMs, linuxMs, windowsMs / linuxMs, kStartGoalMs / 1000,
                Verdict(windowsMs < kStartGoalMs));
    for (std::size_t i = 0; i < starts.windowsGameMs.size(); ++i) {
        std::printf("  start %zu: under Wine %.1f ms, mirewalk-sim %.1f ms\n", i + 1,
                    starts.windowsGameMs[i], starts.linuxGameMs[i]);
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        const CWinePrefixServer prefix;
        const CVirtualDisplay display;
        CPrivateBus bus;
        QCoreApplication application(argc, argv);
        GameEnvironment environment;
        const TempDir logs;
        InstallGames(environment, bus, logs);
        const MacroRoundTrip trip = MeasureMacroRoundTrip(logs, kMacroCalls);
        const AppletStarts starts = MeasureAppletStarts(kStarts);
        Print(trip, starts);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_wine: %s\n", e.what());
        return 1;
    }
    return 0;
}
