#include "tests/support/Kivtool.h"
#include "agents/AgentFileWriter.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/TempDir.h"

#include "Version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Unsafe carried names are refused by the extraction itself, tested with the injection.
TEST(Kivtool, ShowsAgentsAsTextAndAsJsonAndExtractsTheirFiles) {
    // One agent with Windows-1252 text and a two-line script, and one carried sound.
    CAgent agent = MakeAgent({"Caf\xE9", CAgent::kUnlimited, 60, {{1, "zap.wav"}}});
    agent.m_scripts = {"say \"hi\"\r\nendm"};
    agent.m_removeScript.clear();
    const std::uint16_t pixels[] = {1, 2};
    agent.m_picture.Create(pixels, 1, 2, 1, true);
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(1, "zap.wav", Bytes("SOUND"));
    const TempDir folder;
    const std::string path = folder / "sample.kiv";
    writer.Save(path);
    const std::string bad = folder.Write("bad.kiv", "RIFF");
    const std::string out = folder / "out";
    fs::create_directory(out);
    const auto runs = Kivtools({{"show", path},
                                {"show", "--json", path, bad},
                                {"extract", path, out},
                                {"extract", bad, out}});
    // the magic, the agent chunk (8 + 105 bytes), the file chunk's header, fixed part and name
    const std::string carriedAt = std::to_string(4 + 8 + 105 + 8 + 10 + 8);
    EXPECT_EQ(runs[0].status, 0);
    EXPECT_EQ(runs[0].out,
              path +
                  "\nagent 1: Caf\xC3\xA9\n  description: About Caf\xC3\xA9\n"
                  "  quantity: unlimited\n  last used: 0\n  reuse interval: 60 s\n"
                  "  install script: inst,new: simp Caf\xC3\xA9,endm\n  remove script: \n"
                  "  event script: say \"hi\"\\r\\nendm\n  needs sound: zap.wav\n"
                  "  picture: 1x2\n  chunk offset: 4\n"
                  "carried sound: zap.wav, 5 bytes at offset " +
                  carriedAt + "\n");

    const std::string notKiv = "kivtool: Error: \"" + bad + "\" is not a Mirewalk 2 Kiv file\n";
    EXPECT_EQ(runs[1].status, 1);
    EXPECT_EQ(runs[1].out,
              "[{\"path\":\"" + path +
                  "\",\"agents\":[{\"name\":\"Caf\xC3\xA9\",\"description\":\"About Caf\xC3\xA9\","
                  "\"quantity\":65535,\"lastUsed\":0,\"reuseInterval\":60,"
                  "\"installScript\":\"inst,new: simp Caf\xC3\xA9,endm\",\"removeScript\":\"\","
                  "\"scripts\":[\"say \\\"hi\\\"\\r\\nendm\"],"
                  "\"dependencies\":[{\"type\":\"sound\",\"name\":\"zap.wav\"}],"
                  "\"picture\":{\"width\":1,\"height\":2},\"chunkOffset\":4}],"
                  "\"files\":[{\"type\":\"sound\",\"name\":\"zap.wav\",\"size\":5,\"dataOffset\":" +
                  carriedAt + "}]}]\n");
    EXPECT_EQ(runs[1].err, notKiv);
    EXPECT_EQ(std::tuple(runs[2].status, runs[2].out, folder.Read("out/zap.wav")),
              std::tuple(0, out + "/zap.wav\n", "SOUND"));
    EXPECT_EQ(std::tuple(runs[3].status, runs[3].err), std::tuple(1, notKiv));

    const auto german = Kivtool({"show", bad}, "de_DE.UTF-8");
    EXPECT_EQ(german.err, "kivtool: Fehler: \"" + bad + "\" ist keine Mirewalk 2 Kiv-Datei\n");
}

// The words of a command line.
std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

TEST(Kivtool, WrongUsageExitsWithTwoAndHelpWithZero) {
    std::vector<std::vector<std::string>> lines;
    for (const char* line :
         {"", "frobnicate", "show", "show --json", "check", "check a b", "extract a", "pack m.txt",
          "pack m.txt out.kiv x", "inject t.kiv", "inject --json t.kiv 1", "remove --now t.kiv 1",
          "remove t.kiv 1 2", "conflicts", "conflicts --json", "analyse", "analyse --game-dir",
          "analyse --chemicals a --game-dir b t.kiv", "analyse --colour t.kiv"}) {
        lines.push_back(Words(line));
    }
    for (const char* command : {"show", "check", "extract", "pack", "analyse"}) {
        lines.push_back({command, "--help"});
    }
    lines.push_back({"--version", "show"});
    const auto runs = Kivtools(lines); // all at once: each start costs a tenth of a second
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        SCOPED_TRACE(testing::PrintToString(lines[i]));
        const bool help = lines[i].size() == 2 && lines[i][1] == "--help";
        const std::string command = i < 2 ? "" : " " + lines[i][0];
        EXPECT_EQ(runs[i].status, help ? 0 : 2);
        EXPECT_EQ((help ? runs[i].out : runs[i].err).rfind("Usage: kivtool" + command, 0), 0u);
        EXPECT_EQ(help ? runs[i].err : runs[i].out, "");
    }
    const std::string& analyse = runs[runs.size() - 2].out;
    EXPECT_EQ(analyse.substr(0, analyse.find('\n')),
              "Usage: kivtool analyse [--game-dir DIR | --chemicals FILE] FILE...");
    EXPECT_EQ(std::tuple(runs.back().status, runs.back().out),
              std::tuple(0, "kivtool (Splicebox) " SB_VERSION "\n"));
}

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
