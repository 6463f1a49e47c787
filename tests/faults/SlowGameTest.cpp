// A game that takes seconds over each macro still gets every macro of an
// injection once, and the use is counted once.
#include "agents/AgentFile.h"
#include "gamelink/GameLink.h"
#include "tests/faults/FaultGame.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(SlowGame, AnInjectionSendsEachMacroOnceAndCountsOneUse) {
    FaultGame game;
    CSimProcess sim({"--delay", "3"});
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    CAgentFile file(game.agentPath);
    CAgent& agent = *file.m_agents[0];

    agent.InstallDependencies(game.Images(), game.Sounds(), link);
    agent.Inject(link, true);

    EXPECT_EQ(sim.Macros(), (std::vector<std::string>{
                                "inst,sys: conv abcd 0,endm",
                                "scrp 2 9 1 1,snde zap_,endm",
                                "scrp 2 9 1 2,endm",
                                "inst,new: simp ball 4 0 1000 0,endm",
                            }));
    EXPECT_EQ(CAgentFile(game.agentPath).m_agents[0]->m_quantity, 2);
}

} // namespace
