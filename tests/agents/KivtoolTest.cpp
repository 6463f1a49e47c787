#include "tests/support/Kivtool.h"
#include "agents/AgentFileWriter.h"
#include "tests/agents/AgentTestSupport.h"
#include "tests/support/BitmapFile.h"

#include "Version.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// One agent with Windows-1252 text and a two-line script, and one carried sound.
std::string SaveSample(const TemporaryFolder& folder, const std::string& name = "sample.kiv") {
    CAgent agent = MakeAgent("Caf\xE9", CAgent::kUnlimited, 60);
    agent.m_scripts = {"say \"hi\"\r\nendm"};
    agent.m_removeScript.clear();
    AddReference(agent, 1, "zap.wav");
    SetPicture(agent, 1, 2, {1, 2});
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(1, "zap.wav", Bytes("SOUND"));
    writer.Save(folder.Path(name));
    return folder.Path(name);
}

TEST(Kivtool, ShowsAgentsAsTextAndAsJson) {
    TemporaryFolder folder;
    const std::string path = SaveSample(folder);
    // magic, agent header, fixed part, four texts, one script, one reference,
    // picture size and pixels, file header, fixed part, name
    const std::string carriedAt =
        std::to_string(4 + 8 + 26 + (5 + 11 + 25 + 1) + (2 + 15) + (2 + 10) + 4 + 4 + 8 + 10 + 8);
    const auto text = Kivtool({"show", path});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, path +
                            "\n"
                            "agent 1: Caf\xC3\xA9\n"
                            "  description: About Caf\xC3\xA9\n"
                            "  quantity: unlimited\n"
                            "  last used: 0\n"
                            "  reuse interval: 60 s\n"
                            "  install script: inst,new: simp Caf\xC3\xA9,endm\n"
                            "  remove script: \n"
                            "  event script: say \"hi\"\\r\\nendm\n"
                            "  needs sound: zap.wav\n"
                            "  picture: 1x2\n"
                            "  chunk offset: 4\n"
                            "carried sound: zap.wav, 5 bytes at offset " +
                            carriedAt + "\n");

    const std::string bad = folder.Path("bad.kiv");
    WriteFileBytes(bad, Bytes("RIFF"));
    const auto json = Kivtool({"show", "--json", path, bad});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out,
              "[{\"path\":\"" + path +
                  "\",\"agents\":[{\"name\":\"Caf\xC3\xA9\",\"description\":\"About Caf\xC3\xA9\","
                  "\"quantity\":65535,\"lastUsed\":0,\"reuseInterval\":60,"
                  "\"installScript\":\"inst,new: simp Caf\xC3\xA9,endm\",\"removeScript\":\"\","
                  "\"scripts\":[\"say \\\"hi\\\"\\r\\nendm\"],"
                  "\"dependencies\":[{\"type\":\"sound\",\"name\":\"zap.wav\"}],"
                  "\"picture\":{\"width\":1,\"height\":2},\"chunkOffset\":4}],"
                  "\"files\":[{\"type\":\"sound\",\"name\":\"zap.wav\",\"size\":5,\"dataOffset\":" +
                  carriedAt + "}]}]\n");
    EXPECT_EQ(json.err, "kivtool: Error: \"" + bad + "\" is not a Mirewalk 2 Kiv file\n");

    const auto german = Kivtool({"show", bad}, "de_DE.UTF-8");
    EXPECT_EQ(german.err, "kivtool: Fehler: \"" + bad + "\" ist keine Mirewalk 2 Kiv-Datei\n");
}

TEST(Kivtool, WrongUsageExitsWithTwoAndHelpWithZero) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"show"},
                                               {"show", "--json"},
                                               {"check"},
                                               {"check", "a", "b"},
                                               {"extract", "a"},
                                               {"pack", "m.txt"},
                                               {"pack", "m.txt", "out.kiv", "x"}}) {
        const auto result = Kivtool(arguments);
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(arguments);
        EXPECT_EQ(result.err.rfind("Usage: kivtool", 0), 0u);
    }
    for (const char* command : {"show", "check", "extract", "pack"}) {
        const auto help = Kivtool({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: kivtool ") + command, 0), 0u);
    }
    const auto version = Kivtool({"--version", "show"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "kivtool (Splicebox) " SB_VERSION "\n");
}

TEST(Kivtool, CheckReportsEveryDamagedFileAndGoesOn) {
    TemporaryFolder folder;
    SaveSample(folder, "a.kiv");
    WriteFileBytes(folder.Path("b.kiv"), Bytes("kiv"));
    auto cut = ReadFileBytes(SaveSample(folder, "c.kiv"));
    cut.resize(cut.size() - 3);
    WriteFileBytes(folder.Path("c.kiv"), cut);
    SaveSample(folder, "d.kiv");
    const auto result = Kivtool({"check", folder.Dir()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, folder.Path("b.kiv") + ": Error: \"" + folder.Path("b.kiv") +
                              "\" is not a Mirewalk 2 Kiv file\n" + folder.Path("c.kiv") +
                              ": Error: Unexpected end of file while reading \"" +
                              folder.Path("c.kiv") +
                              "\"\n4 agent files checked, 2 damaged, 0 conflicts\n");

    fs::remove(folder.Path("b.kiv"));
    fs::remove(folder.Path("c.kiv"));
    const auto clean = Kivtool({"check", folder.Dir()});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "2 agent files checked, 0 damaged, 0 conflicts\n");
    EXPECT_EQ(Kivtool({"check", folder.Path("missing")}).status, 1);
}

TEST(Kivtool, ExtractWritesCarriedFilesButNothingOutsideTheFolder) {
    TemporaryFolder folder;
    const std::string path = SaveSample(folder);
    const std::string target = folder.MakeDir("out");
    const auto result = Kivtool({"extract", path, folder.Path("out")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, target + "zap.wav\n");
    const auto bytes = ReadFileBytes(target + "zap.wav");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "SOUND");

    CAgentFileWriter hostile;
    hostile.AddCarriedFile(0, "../escaped", Bytes("x"));
    hostile.Save(folder.Path("hostile.kiv"));
    const auto refused = Kivtool({"extract", folder.Path("hostile.kiv"), target});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "kivtool: Error: unexpected file format\n");
    EXPECT_FALSE(fs::exists(folder.Path("escaped")));
}

TEST(Kivtool, PackBuildsAnAgentFileFromAManifest) {
    TemporaryFolder folder;
    fs::create_directory(folder.Path("art"));
    // Red, green; blue, red: rows stored bottom first as blue, green, red.
    const BitmapFile picture{.width = 2,
                             .height = 2,
                             .pixels = {255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}};
    WriteFileBytes(folder.Path("art/ball.bmp"), picture.Build());
    WriteFileBytes(folder.Path("art/ball.s16"), Bytes("image bytes"));
    WriteFileBytes(folder.Path("manifest.txt"), Bytes("# a ball\n"
                                                      "[agent]\n"
                                                      "name = Caf\xC3\xA9 ball\n"
                                                      "description = Bounces.\n"
                                                      "quantity = unlimited\n"
                                                      "reuse interval = 3600\n"
                                                      "last used = 12\n"
                                                      "install script = inst,endm\n"
                                                      "remove script <<END\n"
                                                      "rscr\n"
                                                      "  endm\n"
                                                      "END\n"
                                                      "script = scrp 1\n"
                                                      "script = scrp 2\n"
                                                      "image = ball.s16\n"
                                                      "sound = zap.wav\n"
                                                      "picture = art/ball.bmp\n"
                                                      "\n"
                                                      "[file]\n"
                                                      "type = image\n"
                                                      "path = art/ball.s16\n"));
    const auto result =
        Kivtool({"pack", folder.Path("manifest.txt"), "-o", folder.Path("out.kiv")});
    ASSERT_EQ(result.status, 0) << result.err;
    const CAgentFile file(folder.Path("out.kiv"));
    ASSERT_EQ(file.m_agents.size(), 1u);
    const CAgent& agent = *file.m_agents[0];
    EXPECT_EQ(agent.m_name, "Caf\xE9 ball");
    EXPECT_EQ(agent.m_description, "Bounces.");
    EXPECT_EQ(agent.m_quantity, CAgent::kUnlimited);
    EXPECT_EQ(agent.m_reuseInterval, 3600u);
    EXPECT_EQ(agent.m_lastUsed, 12u);
    EXPECT_EQ(agent.m_installScript, "inst,endm");
    EXPECT_EQ(agent.m_removeScript, "rscr\n  endm");
    EXPECT_EQ(agent.m_scripts, (std::vector<std::string>{"scrp 1", "scrp 2"}));
    ASSERT_EQ(agent.m_dependencyCount, 2);
    EXPECT_EQ(agent.m_dependencies[1].type, 1);
    EXPECT_EQ(agent.m_dependencies[1].name, "zap.wav");
    ASSERT_EQ(agent.m_picture.m_width, 2u);
    EXPECT_EQ(std::vector<std::uint16_t>(agent.m_picture.m_pixels.get(),
                                         agent.m_picture.m_pixels.get() + 4),
              (std::vector<std::uint16_t>{0xF800, 0x07E0, 0x001F, 0xF800}));
    ASSERT_EQ(file.m_dependencies.size(), 1u);
    EXPECT_EQ(file.m_dependencies[0]->m_name, "ball.s16");
    EXPECT_EQ(file.m_dependencies[0]->m_size, 11u);
}

TEST(Kivtool, PackNamesTheManifestLineThatIsWrong) {
    TemporaryFolder folder;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[agent]\nname = x\ncolour = red\n", ":3: unknown agent key \"colour\""},
        {"name = x\n", ":1: \"name\" before the first [agent] or [file] section"},
        {"[agent]\nquantity = 70000\n", ":2: \"70000\" is not a number from 0 to 65535"},
        {"[agent]\nscript <<END\nnever ends\n", ":2: no line \"END\" ends the text"},
        {"[agent]\nname = \xE2\x82\xAC \xE4\xB8\x80\n", ":2: \"\xE2\x82\xAC \xE4\xB8\x80\" "
                                                        "cannot be written in Windows-1252"},
        {"[file]\ntype = video\n", ":2: the type is \"image\" or \"sound\", not \"video\""},
        {"[file]\nname = ../x\n", ":2: \"../x\" is not a plain file name"},
    };
    for (const auto& [manifest, error] : cases) {
        WriteFileBytes(folder.Path("m.txt"), Bytes(manifest));
        const auto result = Kivtool({"pack", folder.Path("m.txt"), "-o", folder.Path("o.kiv")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "kivtool: " + folder.Path("m.txt") + error + "\n");
        EXPECT_FALSE(fs::exists(folder.Path("o.kiv")));
    }
}

} // namespace
