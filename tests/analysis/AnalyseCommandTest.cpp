#include "agents/AgentFileWriter.h"
#include "analysis/ArchiveString.h"
#include "tests/analysis/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

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
        writer.Save(m_game.Dir() + "toy.kiv");

        std::vector<std::uint8_t> list = {0, 0};
        for (int i = 0; i < 256; ++i) {
            AppendArchiveString(list, i == 3 ? "Glucose" : i == 200 ? "S\xE4ure" : "");
        }
        std::ofstream(m_game.Dir() + "allchemicals.str", std::ios::binary)
            .write(reinterpret_cast<const char*>(list.data()),
                   static_cast<std::streamsize>(list.size()));
    }

    ToolRun Kivtool(const std::string& language, const std::string& arguments) const {
        const std::string out = m_scratch.Dir() + "out";
        const std::string err = m_scratch.Dir() + "err";
        const std::string command = "LC_ALL=" + language + " " SB_BIN_DIR "/kivtool analyse " +
                                    arguments + " >'" + out + "' 2>'" + err + "'";
        ToolRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadText(out);
        run.err = ReadText(err);
        return run;
    }

    std::string Toy() const { return "'" + m_game.Dir() + "toy.kiv'"; }

    TempFolder m_game;
    TempFolder m_scratch;
};

TEST_F(AnalyseCommandTest, PrintsEveryAgentInEnglishAndGerman) {
    const ToolRun english =
        Kivtool("en_US.UTF-8", "--chemicals '" + m_game.Dir() + "allchemicals.str' " + Toy());
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

    const ToolRun german = Kivtool("de_DE.UTF-8", "--game-dir '" + m_game.Dir() + "' " + Toy());
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
    TempFolder empty;
    const std::string missing = m_game.Dir() + "gone.kiv";
    const ToolRun run = Kivtool("C", "--game-dir '" + empty.Dir() + "' '" + missing + "' " + Toy());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivtool: Error loading chemical list\n"
                       "kivtool: Error reading from file \"" +
                           missing + "\"\n");
    EXPECT_NE(run.out.find("  Chemicals Affected:\n    \n    \n  Warnings:\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.rfind("Toy\n", 0), 0u);

    const std::vector<std::string> wrongUsages = {
        "", "--game-dir", "--chemicals a --game-dir b " + Toy(), "--colour " + Toy()};
    for (const auto& wrong : wrongUsages) {
        const ToolRun usage = Kivtool("C", wrong);
        EXPECT_EQ(usage.status, 2) << wrong;
        EXPECT_EQ(usage.out, "") << wrong;
        EXPECT_EQ(usage.err.rfind("Usage: kivtool analyse", 0), 0u) << wrong;
    }
    const ToolRun help = Kivtool("C", "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(
        help.out.rfind("Usage: kivtool analyse [--game-dir DIR | --chemicals FILE] FILE...\n", 0),
        0u);
}

} // namespace
