#include "agents/AgentFileWriter.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// A game folder with "toy.kiv", whose one agent touches chemicals 3 and 200,
// and a chemical list naming them "Glucose" and "Säure" (Windows-1252).
class AnalyseCommandTest : public ::testing::Test {
protected:
    AnalyseCommandTest() {
        CAgent agent = MakeAgent({"B\xE4lle"});
        agent.m_installScript = "inst chem 3 10";
        agent.m_scripts = {"scrp 2 5 7 9 stim writ a b c d e 200 1 0 0 0 0 0 0"};
        agent.m_removeScript = "rscr enum 2 0 5 kill next fire";
        CAgentFileWriter writer;
        writer.AddAgent(agent);
        writer.Save(m_toy);
        m_game.Write("allchemicals.str", Text(ChemicalList([](int i) {
                         return i == 3 ? "Glucose" : i == 200 ? "S\xE4ure" : "";
                     })));
    }

    static ToolRun Analyse(std::vector<std::string> arguments, const std::string& locale = "C") {
        arguments.insert(arguments.begin(), "analyse");
        return Kivtool(arguments, locale);
    }

    TempDir m_game;
    const std::string m_toy = m_game / "toy.kiv";
};

TEST_F(AnalyseCommandTest, PrintsEveryAgentInTheUsersLanguage) {
    struct Case {
        std::vector<std::string> arguments;
        const char* locale;
        std::string out;
    };
    const Case cases[] = {
        {{"--chemicals", m_game / "allchemicals.str", m_toy},
         "C",
         "B\xC3\xA4lle\n"
         "  General Information:\n"
         "    File \"toy.kiv\"\n"
         "  Scripts:\n"
         "    Installation script\n"
         "    Removal script\n"
         "    <2 5 7> Timer\n"
         "  Chemicals Affected:\n"
         "    Glucose\n"
         "    S\xC3\xA4ure\n"
         "  Warnings:\n"
         "    DANGER - contains suspicious kill commands\n"
         "    Fires creature neurons\n"},
        {{"--game-dir", m_game.Path().string() + "/", m_toy},
         "de_DE.UTF-8",
         "B\xC3\xA4lle\n"
         "  Allgemeine Informationen:\n"
         "    Datei \"toy.kiv\"\n"
         "  Skripte:\n"
         "    Installationsskript\n"
         "    Entfernungsskript\n"
         "    <2 5 7> Zeitgeber\n"
         "  Betroffene Chemikalien:\n"
         "    Glucose\n"
         "    S\xC3\xA4ure\n"
         "  Warnungen:\n"
         "    GEFAHR - enth\xC3\xA4lt verd\xC3\xA4"
         "chtige Kill-Befehle\n"
         "    L\xC3\xB6st Neuronen der Kreatur aus\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Analyse(c.arguments, c.locale);
        EXPECT_EQ(run.status, 0) << c.locale;
        EXPECT_EQ(run.err, "") << c.locale;
        EXPECT_EQ(run.out, c.out) << c.locale;
    }
}

TEST_F(AnalyseCommandTest, FailuresAreReportedAndTheRestAnalysed) {
    const TempDir empty;
    const std::string missing = m_game / "gone.kiv";
    const ToolRun run = Analyse({"--game-dir", empty.Path().string() + "/", missing, m_toy});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivtool: Error loading chemical list\n"
                       "kivtool: Error reading from file \"" +
                           missing + "\"\n");
    // Without a list the chemicals have no names.
    EXPECT_NE(run.out.find("  Chemicals Affected:\n    \n    \n  Warnings:\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.rfind("B\xC3\xA4lle\n", 0), 0u);
}

} // namespace
