// One macro's round trip through CGameLink to mirewalk-sim on a private bus,
// beside the same ExecuteMacro call made raw, a prebuilt message sent on the
// session bus: the game's answering costs both alike, so the ratio shows what
// the applet's link adds. The two are measured in alternating batches, so that
// a busy moment of the machine falls on both alike.
#include "gamelink/GameContract.h"
#include "gamelink/GameLink.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCalls = 10000;
constexpr int kBatch = 500;
// Enough for both sides to have settled their connections and caches.
constexpr int kWarmUpCalls = 200;
constexpr double kGoalRatio = 1.1;

struct Spread {
    double medianUs;
    double p99Us;
};

Spread SpreadOf(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

void Time(const std::function<void()>& call, int count, std::vector<double>& micros) {
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        call();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
}

} // namespace

int main(int argc, char** argv) {
    CPrivateBus bus;
    QCoreApplication app(argc, argv);
    CSimProcess sim;

    CGameLink link;
    if (!link.Connect()) {
        std::fprintf(stderr, "bench_gamelink: cannot reach mirewalk-sim\n");
        return 1;
    }
    QDBusMessage raw =
        QDBusMessage::createMethodCall(QLatin1String(GameContract::kMacroServerName),
                                       QLatin1String(GameContract::kMacroServerPath),
                                       QLatin1String(GameContract::kMacroServerInterface),
                                       QLatin1String(GameContract::kExecuteMacroMethod));
    raw.setAutoStartService(false); // as the link sends it
    raw << QVariant::fromValue<qint16>(GameContract::kMacroKind)
        << QString::fromLatin1(GameContract::kMacroQueryPaused);
    const auto macro = [&] { link.ExecuteMacro(GameContract::kMacroQueryPaused); };
    const auto bare = [&] {
        if (QDBusConnection::sessionBus().call(raw).type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "bench_gamelink: the raw call failed\n");
            std::exit(1);
        }
    };

    std::vector<double> macroMicros;
    std::vector<double> rawMicros;
    Time(macro, kWarmUpCalls, macroMicros);
    Time(bare, kWarmUpCalls, rawMicros);
    macroMicros.clear();
    rawMicros.clear();
    for (int done = 0; done < kCalls; done += kBatch) {
        Time(macro, kBatch, macroMicros);
        Time(bare, kBatch, rawMicros);
    }

    const Spread macroSpread = SpreadOf(macroMicros);
    const Spread rawSpread = SpreadOf(rawMicros);
    std::printf("gamelink: %d calls each, private bus, mirewalk-sim logging every macro\n", kCalls);
    std::printf("  macro round trip (CGameLink)   median %8.1f us   p99 %8.1f us\n",
                macroSpread.medianUs, macroSpread.p99Us);
    std::printf("  baseline raw ExecuteMacro call median %8.1f us   p99 %8.1f us\n",
                rawSpread.medianUs, rawSpread.p99Us);
    const double medianRatio = macroSpread.medianUs / rawSpread.medianUs;
    std::printf(
        "  ratio                          median %8.2f x    p99 %8.2f x    (goal <= %.1f x: %s)\n",
        medianRatio, macroSpread.p99Us / rawSpread.p99Us, kGoalRatio,
        medianRatio <= kGoalRatio ? "met" : "missed");
    return 0;
}
