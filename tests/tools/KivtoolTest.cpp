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
    CAgentFields agent = AgentFields({"Caf\xE9", CAgent::kUnlimited, 60, {{kSound, "zap.wav"}}});
    agent.scripts = {"say \"hi\"\r\nendm"};
    agent.removeScript.clear();
    CAgentFileWriter writer;
    writer.AddAgent(CAgent(std::move(agent), KeyedPicture({1, 2}, 1, 2)));
    writer.AddCarriedFile(kSound, "zap.wav", Bytes("SOUND"));
    const TempDir folder;
    const std::string path = folder / "sample.kiv";
    writer.Save(path);
    const std::string bad = folder.Write("bad.kiv", "RIFF");
    const std::string out = folder.Path().string();
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
    EXPECT_EQ(std::tuple(runs[2].status, runs[2].out, folder.Read("zap.wav")),
              std::tuple(0, out + "/zap.wav\n", "SOUND"));
    EXPECT_EQ(std::tuple(runs[3].status, runs[3].err), std::tuple(1, notKiv));
}

// The words of a command line.
std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

TEST(Kivtool, WrongUsageExitsWithTwoAndHelpWithZero) {
    std::vector<std::vector<std::string>> lines;
    for (const char* line : {"",
                             "frobnicate",
                             "show",
                             "show --json",
                             "check",
                             "check a b",
                             "extract a",
                             "pack m.txt",
                             "pack m.txt out.kiv x",
                             "inject t.kiv",
                             "inject --dry-run",
                             "inject --json t.kiv 1",
                             "remove --now t.kiv 1",
                             "remove t.kiv 1 2",
                             "conflicts",
                             "conflicts --json",
                             "analyse",
                             "analyse --game-dir",
                             "analyse --chemicals a --game-dir b t.kiv",
                             "analyse --colour t.kiv",
                             "analyse --json",
                             "check --json",
                             "check --json a b",
                             "unpack a",
                             "unpack a b c"}) {
        lines.push_back(Words(line));
    }
    for (const char* command : {"show", "check", "extract", "pack", "unpack", "analyse"}) {
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
    EXPECT_EQ(std::tuple(runs.back().status, runs.back().out),
              std::tuple(0, "kivtool (Splicebox) " SB_VERSION "\n"));
}

// "toy.kiv", whose one agent touches chemicals 3 and 200, analysed with a
// chemical list naming them "Glucose" and "Säure" (Windows-1252), and then
// with a game folder that has no list, after a file that cannot be read.
TEST(AnalyseCommand, PrintsEveryAgentAndReportsFailuresButAnalysesTheRest) {
    const TempDir game;
    const std::string toy = game / "toy.kiv";
    CAgentFields agent = AgentFields({"B\xE4lle"});
    agent.installScript = "inst chem 3 10";
    agent.scripts = {"scrp 2 5 7 9 stim writ a b c d e 200 1 0 0 0 0 0 0"};
    agent.removeScript = "rscr enum 2 0 5 kill next fire";
    CAgentFileWriter writer;
    writer.AddAgent(MakeAgent(std::move(agent)));
    writer.Save(toy);
    const std::string chemicals =
        game.Write("allchemicals.str", Text(ChemicalList([](int i) {
                       return i == 3 ? "Glucose" : i == 200 ? "S\xE4ure" : "";
                   })));
    const TempDir empty;
    const std::string missing = game / "gone.kiv";

    const auto runs =
        Kivtools({{"analyse", "--chemicals", chemicals, toy},
                  {"analyse", "--game-dir", empty.Path().string() + "/", missing, toy},
                  {"analyse", "--json", "--chemicals", chemicals, toy}});
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
    const auto leaf = [](const std::string& text) {
        return "{\"text\":\"" + text + "\",\"items\":[]}";
    };
    EXPECT_EQ(runs[2].out,
              "[{\"path\":\"" + toy + "\",\"agents\":[{\"name\":\"B\xC3\xA4lle\",\"analysis\":[" +
                  "{\"text\":\"General Information:\",\"items\":[" + leaf("File \\\"toy.kiv\\\"") +
                  "]},{\"text\":\"Scripts:\",\"items\":[" + leaf("Installation script") + "," +
                  leaf("Removal script") + "," + leaf("<2 5 7> Timer") +
                  "]},{\"text\":\"Chemicals Affected:\",\"items\":[" + leaf("Glucose") + "," +
                  leaf("S\xC3\xA4ure") + "]},{\"text\":\"Warnings:\",\"items\":[" +
                  leaf("DANGER - contains suspicious kill commands") + "," +
                  leaf("Fires creature neurons") + "]}]}]}]\n");
}

// Each carried name shows one case: another size, under names differing in ASCII case; the same
// contents; the same size with other contents, in one of three files; names differing in a letter
// beyond ASCII, which name two files in the game's folder; an image and a sound of one name, and a
// second copy the injection never uses. The files come in name order ignoring case; other names and
// folders are not agent files.
TEST(ConflictsCommand, NamesCarriedFilesThatClashIgnoringCaseAndTheFilesItCannotRead) {
    const TempDir root;
    const std::string one = root / "one.kiv";
    const std::string two = root / "two.kiv";
    const std::string three = root / "Three.kiv";
    const std::string dir = root.Path().string();
    root.Write("one.kiv.bak", "not read");
    fs::create_directory(root / "folder.kiv");
    const std::vector<CarriedDraft> inOne = {
        {kImage, "Caf\xE9.s16", "RED"}, {kImage, "same.s16", "RED"}, {kSound, "zap.wav", "AAAA"},
        {kImage, "caf\xE9", "RED"},     {kImage, "pic", "IMAGE"},    {kSound, "pic", "SOUND!"}};
    const std::vector<CarriedDraft> inTwo = {
        {kImage, "CAF\xE9.S16", "GREEN"}, {kImage, "SAME.S16", "RED"}, {kSound, "ZAP.WAV", "AAAA"},
        {kImage, "caf\xC9", "BLUE"},      {kImage, "pic", "IMAGE"},    {kImage, "PIC", "other"}};
    SaveAgentFile(one, {}, inOne);
    SaveAgentFile(two, {}, inTwo);
    SaveAgentFile(three, {}, {{kSound, "zap.wav", "AAAB"}});
    const auto found = Kivtools({{"conflicts", dir}, {"conflicts", "--json", dir}});
    EXPECT_EQ(std::tuple(found[0].status, found[0].out, found[0].err),
              std::tuple(1,
                         "Caf\xC3\xA9.s16: " + one + ", " + two + "\nzap.wav: " + one + ", " +
                             three + ", " + two + "\n",
                         ""));
    EXPECT_EQ(found[1].out, "[{\"type\":\"image\",\"name\":\"Caf\xC3\xA9.s16\",\"files\":[\"" +
                                one + "\",\"" + two +
                                "\"]},\n{\"type\":\"sound\",\"name\":\"zap.wav\",\"files\":[\"" +
                                one + "\",\"" + three + "\",\"" + two + "\"]}]\n");

    fs::remove(three);
    const std::string cut = root.Write("cut.kiv", "kiv2agn");
    const std::string magic = root.Write("magic.kiv", "kiv");
    const std::string notKiv = "Error: \"" + magic + "\" is not a Mirewalk 2 Kiv file";
    const auto checks = Kivtools({{"check", dir + "/"}, {"check", "--json", dir}});
    EXPECT_EQ(checks[0].status, 1);
    EXPECT_EQ(checks[0].out, cut + ": Error: Unexpected end of file while reading \"" + cut +
                                 "\"\n" + magic + ": " + notKiv + "\nCaf\xC3\xA9.s16: " + one +
                                 ", " + two + "\n4 agent files checked, 2 damaged, 1 conflict\n");
    EXPECT_EQ(
        std::tuple(checks[1].status, checks[1].out),
        std::tuple(1, "{\"checked\":4,\"damaged\":[{\"path\":\"" + cut +
                          "\",\"message\":\"Error: Unexpected end of file while reading \\\"" +
                          cut + "\\\"\"},{\"path\":\"" + magic + "\",\"message\":\"Error: \\\"" +
                          magic + "\\\" is not a Mirewalk 2 Kiv file\"}],\"conflicts\":[" +
                          "{\"type\":\"image\",\"name\":\"Caf\xC3\xA9.s16\",\"files\":[\"" + one +
                          "\",\"" + two + "\"]}]}\n"));

    fs::remove(two);
    fs::remove(cut);
    const auto unreadable = Kivtool({"conflicts", dir, "/nonexistent"});
    EXPECT_EQ(
        std::tuple(unreadable.status, unreadable.out, unreadable.err),
        std::tuple(1, "",
                   "kivtool: " + notKiv + "\nkivtool: cannot list the folder /nonexistent\n"));

    fs::remove(magic);
    const auto clean = Kivtools({{"check", dir},
                                 {"check", "/nonexistent"},
                                 {"conflicts", dir},
                                 {"conflicts", "/nonexistent"}});
    EXPECT_EQ(std::tuple(clean[0].status, clean[0].out),
              std::tuple(0, "1 agent files checked, 0 damaged, 0 conflicts\n"));
    EXPECT_EQ(clean[1].status, 1);
    EXPECT_EQ(std::tuple(clean[2].status, clean[2].out, clean[2].err), std::tuple(0, "", ""));
    EXPECT_EQ(std::tuple(clean[3].status, clean[3].err),
              std::tuple(1, "kivtool: cannot list the folder /nonexistent\n"));
}

} // namespace
