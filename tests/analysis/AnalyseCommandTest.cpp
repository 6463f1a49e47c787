#include "agents/AgentFileWriter.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A game folder with "toy.kiv" (two agents) and a chemical list in which
// chemical 3 is "Glucose" and chemical 200 "Säure" (Windows-1252).
class AnalyseCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        CAgent toy;
        toy.m_name = "Toy";
        toy.m_installScript = "inst chem 3 10";
        toy.m_scripts = {"scrp 2 5 7 9 stim writ a b c d e 200 1 0 0 0 0 0 0"};
        CAgent ball;
        ball.m_name = "B\xE4lle";
        ball.m_removeScript = "rscr enum 2 0 5 kill next fire";
        CAgentFileWriter writer;
        writer.AddAgent(toy);
        writer.AddAgent(ball);
        writer.Save(m_toy);
        const auto list = ChemicalList([](int i) {
            return i == 3 ? "Glucose" : i == 200 ? "S\xE4ure" : "";
        });
        m_game.Write("allchemicals.str", {reinterpret_cast<const char*>(list.data()), list.size()});
    }

    static ToolRun Analyse(const std::vector<std::string>& arguments,
                           const std::string& locale = "C") {
        std::vector<std::string> command{"analyse"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return RunTool("kivtool", command, locale);
    }

    TempDir m_game;
    const std::string m_toy = m_game / "toy.kiv";
};

TEST_F(AnalyseCommandTest, PrintsEveryAgentInEnglishAndGerman) {
    const ToolRun english =
        Analyse({"--chemicals", m_game / "allchemicals.str", m_toy}, "en_US.UTF-8");
    EXPECT_EQ(english.status, 0);
    EXPECT_EQ(english.err, "");
    EXPECT_EQ(english.out, "Toy\n"
                           "  General Information:\n"
                           "    File \"toy.kiv\"\n"
                           "  Scripts:\n"
                           "    Installation script\n"
                           "    <2 5 7> Timer\n"
                           "  Chemicals Affected:\n"
                           "    Glucose\n"
                           "    S\xC3\xA4ure\n"
                           "  Warnings:\n"
                           "    No Removal script\n"
                           "B\xC3\xA4lle\n"
                           "  General Information:\n"
                           "    File \"toy.kiv\"\n"
                           "  Scripts:\n"
                           "    Removal script\n"
                           "  Chemicals Affected:\n"
                           "  Warnings:\n"
                           "    No Installation script\n"
                           "    DANGER - contains suspicious kill commands\n"
                           "    Fires creature neurons\n");

    const ToolRun german =
        Analyse({"--game-dir", m_game.Path().string() + "/", m_toy}, "de_DE.UTF-8");
    EXPECT_EQ(german.status, 0);
    EXPECT_EQ(german.err, "");
    EXPECT_EQ(german.out, "Toy\n"
                          "  Allgemeine Informationen:\n"
                          "    Datei \"toy.kiv\"\n"
                          "  Skripte:\n"
                          "    Installationsskript\n"
                          "    <2 5 7> Zeitgeber\n"
                          "  Betroffene Chemikalien:\n"
                          "    Glucose\n"
                          "    S\xC3\xA4ure\n"
                          "  Warnungen:\n"
                          "    Kein Entfernungsskript\n"
                          "B\xC3\xA4lle\n"
                          "  Allgemeine Informationen:\n"
                          "    Datei \"toy.kiv\"\n"
                          "  Skripte:\n"
                          "    Entfernungsskript\n"
                          "  Betroffene Chemikalien:\n"
                          "  Warnungen:\n"
                          "    Kein Installationsskript\n"
                          "    GEFAHR - enth\xC3\xA4lt verd\xC3\xA4"
                          "chtige Kill-Befehle\n"
                          "    L\xC3\xB6st Neuronen der Kreatur aus\n");
}

TEST_F(AnalyseCommandTest, FailuresAreReportedAndTheRestAnalysed) {
    const TempDir empty;
    const std::string missing = m_game / "gone.kiv";
    const ToolRun run = Analyse({"--game-dir", empty.Path().string() + "/", missing, m_toy});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivtool: Error loading chemical list\n"
                       "kivtool: Error reading from file \"" +
                           missing + "\"\n");
    EXPECT_NE(run.out.find("  Chemicals Affected:\n    \n    \n  Warnings:\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.rfind("Toy\n", 0), 0u);

    const std::vector<std::vector<std::string>> wrongUsages = {
        {}, {"--game-dir"}, {"--chemicals", "a", "--game-dir", "b", m_toy}, {"--colour", m_toy}};
    for (const auto& wrong : wrongUsages) {
        SCOPED_TRACE(wrong.size());
        const ToolRun usage = Analyse(wrong);
        EXPECT_EQ(usage.status, 2);
        EXPECT_EQ(usage.out, "");
        EXPECT_EQ(usage.err.rfind("Usage: kivtool analyse", 0), 0u);
    }
    const ToolRun help = Analyse({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(
        help.out.rfind("Usage: kivtool analyse [--game-dir DIR | --chemicals FILE] FILE...\n", 0),
        0u);
}

} // namespace
