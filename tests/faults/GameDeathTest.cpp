// The game dies in the middle of an injection: the macros before were sent,
// the use is not counted, and the message names the macro that failed.
#include "agents/AgentFile.h"
#include "platform/DBusMacroTransport.h"
#include "tests/faults/FaultGame.h"
#include "tests/support/Caught.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

// The D-Bus road to the game, which kills the game once `callsBeforeDeath`
// macros have gone through it.
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
    const std::vector<std::string> macros = {
        "inst,sys: conv abcd 0,endm",
        "scrp 2 9 1 1,snde zap_,endm",
        "scrp 2 9 1 2,endm",
        "inst,new: simp ball 4 0 1000 0,endm",
    };
    for (int sent = 0; sent < static_cast<int>(macros.size()); ++sent) {
        SCOPED_TRACE("killed after " + std::to_string(sent) + " macros");
        FaultGame game;
        CSimProcess sim;
        CGameLink link(std::make_unique<CKillingTransport>(sim.Process(), sent));
        ASSERT_TRUE(link.Connect());
        CAgentFile file(game.agentPath);
        CAgent& agent = *file.m_agents[0];

        EXPECT_EQ(CaughtMessage([&] {
                      agent.InstallDependencies(game.Images(), game.Sounds(), link);
                      agent.Inject(link, true);
                  }),
                  "Error while talking to game\nMacro: \"" + macros[sent] + "\"");
        EXPECT_EQ(sim.Macros(), std::vector<std::string>(macros.begin(), macros.begin() + sent));
        EXPECT_EQ(agent.m_quantity, 3);
        EXPECT_EQ(agent.m_lastUsed, 0u);
        EXPECT_EQ(FileBytes(game.agentPath), game.agentBytes);
        // Carried files written before the game went stay; the sound comes
        // after the image's conversion macro.
        EXPECT_EQ(FileText(game.Images() + "abcd.s16"), game.image);
        EXPECT_EQ(FileText(game.Sounds() + "zap.wav"), sent > 0 ? game.sound : "");
    }
}

} // namespace
