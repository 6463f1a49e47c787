#include "agents/AgentFileWriter.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// "toy.kiv", whose one agent touches chemicals 3 and 200, analysed with a
// chemical list naming them "Glucose" and "Säure" (Windows-1252), and then
// with a game folder that has no list, after a file that cannot be read.
TEST(AnalyseCommand, PrintsEveryAgentAndReportsFailuresButAnalysesTheRest) {
    const TempDir game;
    const std::string toy = game / "toy.kiv";
    CAgent agent = MakeAgent({"B\xE4lle"});
    agent.m_installScript = "inst chem 3 10";
    agent.m_scripts = {"scrp 2 5 7 9 stim writ a b c d e 200 1 0 0 0 0 0 0"};
    agent.m_removeScript = "rscr enum 2 0 5 kill next fire";
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.Save(toy);
    const std::string chemicals =
        game.Write("allchemicals.str", Text(ChemicalList([](int i) {
                       return i == 3 ? "Glucose" : i == 200 ? "S\xE4ure" : "";
                   })));
    const TempDir empty;
    const std::string missing = game / "gone.kiv";

    const auto runs =
        Kivtools({{"analyse", "--chemicals", chemicals, toy},
                  {"analyse", "--game-dir", empty.Path().string() + "/", missing, toy}});
    const std::string head = "B\xC3\xA4lle\n  General Information:\n    File \"toy.kiv\"\n"
                             "  Scripts:\n    Installation script\n    Removal script\n"
                             "    <2 5 7> Timer\n  Chemicals Affected:\n";
    const std::string tail = "  Warnings:\n    DANGER - contains suspicious kill commands\n"
                             "    Fires creature neurons\n";
    EXPECT_EQ(std::tuple(runs[0].status, runs[0].err), std::tuple(0, ""));
    EXPECT_EQ(runs[0].out, head + "    Glucose\n    S\xC3\xA4ure\n" + tail);
    EXPECT_EQ(runs[1].status, 1);
    EXPECT_EQ(runs[1].err, "kivtool: Error loading chemical list\n"
                           "kivtool: Error reading from file \"" +
                               missing + "\"\n");
    EXPECT_EQ(runs[1].out, head + "    \n    \n" + tail); // without a list, no names
}

} // namespace
