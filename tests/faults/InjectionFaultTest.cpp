// Injections into a game that dies in the middle: no macro is sent twice and the use is counted
// only when all went.
#include "agents/Injection.h"
#include "agents/UsageMemory.h"
#include "gamelink/DBusMacroTransport.h"
#include "gamelink/GameLink.h"
#include "tests/faults/FaultGame.h"
#include "tests/support/Caught.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

const std::vector<std::string> kMacros = {"inst,sys: conv abcd 0,endm", "scrp 2 9 1 1,endm",
                                          "scrp 2 9 1 2,endm", "inst,new: simp ball,endm"};

// The bus to the game, which kills the game after `callsBeforeDeath` macros.
class CKillingTransport final : public IMacroTransport {
public:
    CKillingTransport(CChildProcess& game, int callsBeforeDeath)
        : m_game(game), m_callsLeft(callsBeforeDeath) {}
    bool Connect() override { return m_bus.Connect(); }
    void Disconnect() override { m_bus.Disconnect(); }
    bool IsConnected() const override { return m_bus.IsConnected(); }
    MacroCallResult Call(std::string_view macroUtf8) override {
        if (m_callsLeft-- == 0) {
            m_game.Signal(SIGKILL);
            m_game.WaitForExit(std::chrono::seconds(10));
        }
        return m_bus.Call(macroUtf8);
    }

private:
    CDBusMacroTransport m_bus;
    CChildProcess& m_game;
    int m_callsLeft;
};

TEST(GameDeath, InjectionStopsAtTheFirstMacroAfterTheGameDied) {
    for (std::size_t sent = 0; sent < kMacros.size(); ++sent) {
        SCOPED_TRACE("killed after " + std::to_string(sent) + " macros");
        FaultGame game;
        CSimProcess sim;
        CGameLink link(std::make_unique<CKillingTransport>(sim.Process(), static_cast<int>(sent)));
        ASSERT_TRUE(link.Connect());
        CAgentFile file(game.agentPath);
        CAgent& agent = *file.Agents()[0];

        CUsageMemory memory; // the Inject button's road
        EXPECT_EQ(CaughtMessage([&] {
                      CarryOut(agent, PlanInjection(agent, game.images, game.sounds), link, memory);
                  }),
                  "Error while talking to game\nMacro: \"" + kMacros[sent] + "\"");
        EXPECT_EQ(sim.Macros(), std::vector<std::string>(kMacros.begin(), kMacros.begin() + sent));
        EXPECT_EQ(agent.Usage(), (CAgentUsage{3, 0}));
        // Carried files written before the game went stay; the sound comes after
        // the image's conversion macro.
        EXPECT_EQ(ReadFile(game.agentPath), game.agentBytes);
        EXPECT_EQ(ReadFile(game.images + "abcd.s16"), game.image);
        EXPECT_EQ(ReadFile(game.sounds + "zap.wav"), sent > 0 ? game.sound : "");
    }
}

} // namespace
