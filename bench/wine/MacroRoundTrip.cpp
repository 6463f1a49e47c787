#include "bench/wine/MacroRoundTrip.h"

#include "bench/wine/BusPrograms.h"
#include "bench/wine/Median.h"
#include "core/KitException.h"
#include "gamelink/GameContract.h"
#include "gamelink/GameLink.h"
#include "platform/WineBridgeContract.h"
#include "platform/WineBridgeProcess.h"
#include "tests/wine/WindowsGame.h"

#include <QDBusConnection>

#include <chrono>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Enough for both sides to have set up their connections and caches.
constexpr int kWarmUpCalls = 100;
// The calls are made in this many rounds of both kinds, in turns, so that the
// machine's changes of pace fall on both alike; odd, for a middle round.
constexpr int kRounds = 5;
// The bridge's client connection, apart from the one the link uses, so that
// closing it ends the bridge.
constexpr const char* kClientConnection = "bench-wine-client";
constexpr auto kEndTimeout = 15s;

void TimeLinkCalls(CGameLink& link, int count, std::vector<double>& micros) {
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        link.ExecuteMacro(GameContract::kMacroQueryPaused);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
}

// The median that "mirewalk-sim-win.exe call" prints for that many raw COM calls.
double RawComMedian(const TempDir& logs, int calls) {
    const auto output = logs / "call.out";
    std::filesystem::remove(output);
    const auto status = RunWine(
        {kWindowsGame, "call", std::to_string(calls), GameContract::kMacroQueryPaused}, output);
    std::ifstream in(output);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::smatch median;
    if (status != 0 || !std::regex_search(text, median, std::regex("median_us ([0-9.]+)"))) {
        throw std::runtime_error("mirewalk-sim-win.exe call failed: " + text);
    }
    return std::stod(median[1]);
}

// The bridge linked to the running game through a connection of its own, as
// kivtool links one; it ends once that connection closes.
class CLinkedBridge {
public:
    CLinkedBridge() {
        const QDBusConnection connection =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, kClientConnection);
        CWineBridgeProcess bridge(connection);
        std::string failure;
        if (!bridge.Start(failure)) {
            throw std::runtime_error(failure);
        }
        if (bridge.LinkGame() != WineBridgeContract::kOk) {
            throw std::runtime_error("the bridge did not link to the Windows game");
        }
        const std::string name =
            WineBridgeContract::ClientServiceName(connection.baseService().toStdString());
        m_processes = OwnersOf([&](const std::string& owned) { return owned == name; });
    }
    // Closes the connection (this holds no copy of it, which would keep it
    // open), so that the bridge ends.
    ~CLinkedBridge() { QDBusConnection::disconnectFromBus(kClientConnection); }
    CLinkedBridge(const CLinkedBridge&) = delete;
    CLinkedBridge& operator=(const CLinkedBridge&) = delete;

    // Closes the connection and waits until the bridge has ended.
    void End() {
        QDBusConnection::disconnectFromBus(kClientConnection);
        WaitUntilEnded(m_processes, "the linked bridge", kEndTimeout);
    }

private:
    std::vector<pid_t> m_processes;
};

} // namespace

MacroRoundTrip MeasureMacroRoundTrip(const TempDir& logs, int calls) {
    CWindowsGame game(logs, {"--subject", "Bob"});
    CLinkedBridge bridge;
    std::vector<double> micros;
    std::vector<double> rawMedians;
    {
        CGameLink link;
        if (!link.Connect()) {
            throw std::runtime_error("the linked bridge does not serve the game's macro server");
        }
        try {
            TimeLinkCalls(link, kWarmUpCalls, micros);
            micros.clear();
            for (int round = 0; round < kRounds; ++round) {
                TimeLinkCalls(link, calls / kRounds, micros);
                rawMedians.push_back(RawComMedian(logs, calls / kRounds));
            }
        } catch (const CKitException& e) {
            throw std::runtime_error(std::string("a macro through the bridge failed: ") +
                                     e.m_message);
        }
    }
    bridge.End();
    return {Median(std::move(micros)), Median(std::move(rawMedians))};
}
