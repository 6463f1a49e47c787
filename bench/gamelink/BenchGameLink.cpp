// One macro's round trip through CGameLink to mirewalk-sim on a private bus,
// beside a bare org.freedesktop.DBus.Peer.Ping to the same process: the ping is
// what the bus itself costs, so the ratio shows what the link and the game's
// answering add. The two are measured in alternating batches, so that a busy
// moment of the machine falls on both alike.
#include "gamelink/GameContract.h"
#include "gamelink/GameLink.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
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
constexpr double kGoalRatio = 1.5;

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
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        QDBusConnection::sessionBus()
            .interface()
            ->serviceOwner(QLatin1String(GameContract::kMacroServerName))
            .value(),
        QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    const auto macro = [&] { link.ExecuteMacro(GameContract::kMacroQueryPaused); };
    const auto bare = [&] {
        if (QDBusConnection::sessionBus().call(ping).type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "bench_gamelink: ping failed\n");
            std::exit(1);
        }
    };

    std::vector<double> macroMicros;
    std::vector<double> pingMicros;
    Time(macro, kWarmUpCalls, macroMicros);
    Time(bare, kWarmUpCalls, pingMicros);
    macroMicros.clear();
    pingMicros.clear();
    for (int done = 0; done < kCalls; done += kBatch) {
        Time(macro, kBatch, macroMicros);
        Time(bare, kBatch, pingMicros);
    }

    const Spread macroSpread = SpreadOf(macroMicros);
    const Spread pingSpread = SpreadOf(pingMicros);
    std::printf("gamelink: %d calls each, private bus, mirewalk-sim logging every macro\n", kCalls);
    std::printf("  macro round trip (CGameLink)   median %8.1f us   p99 %8.1f us\n",
                macroSpread.medianUs, macroSpread.p99Us);
    std::printf("  baseline Peer.Ping, same peer  median %8.1f us   p99 %8.1f us\n",
                pingSpread.medianUs, pingSpread.p99Us);
    const double medianRatio = macroSpread.medianUs / pingSpread.medianUs;
    std::printf(
        "  ratio                          median %8.2f x    p99 %8.2f x    (goal <= %.1f x: %s)\n",
        medianRatio, macroSpread.p99Us / pingSpread.p99Us, kGoalRatio,
        medianRatio <= kGoalRatio ? "met" : "missed");
    return 0;
}
