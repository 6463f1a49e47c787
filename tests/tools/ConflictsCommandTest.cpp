#include "tests/support/AgentFiles.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

struct FolderFile {
    std::string name; // below one of the two folders, "a/..." or "b/..."
    std::vector<CarriedDraft> carried;
};

struct Case {
    const char* what;
    std::vector<FolderFile> files;
    std::string out; // "@" stands for the folders' parent; any clash makes the status 1
};

TEST(ConflictsCommand, NamesCarriedFilesThatClashIgnoringCase) {
    const std::vector<Case> cases = {
        {"same contents under names differing in case",
         {{"a/one.kiv", {{0, "ball.s16", "RED"}}}, {"b/two.kiv", {{0, "BALL.S16", "RED"}}}},
         ""},
        {"another size",
         {{"a/one.kiv", {{0, "ball.s16", "RED"}}}, {"b/two.kiv", {{0, "Ball.s16", "GREEN"}}}},
         "ball.s16: @/a/one.kiv, @/b/two.kiv\n"},
        {"the same size, other contents, one of three",
         {{"a/one.kiv", {{1, "zap.wav", "AAAA"}, {0, "x", "1"}}},
          {"a/three.kiv", {{1, "ZAP.WAV", "AAAA"}}},
          {"b/two.kiv", {{1, "zap.wav", "AAAB"}, {0, "x", "1"}}}},
         "zap.wav: @/a/one.kiv, @/a/three.kiv, @/b/two.kiv\n"},
        {"names that differ in a letter beyond ASCII name two files in the game's folder",
         {{"a/one.kiv", {{0, "caf\xE9", "RED"}}}, {"b/two.kiv", {{0, "caf\xC9", "BLUE"}}}},
         ""},
        {"an image and a sound of one name, and a second copy the injection never uses",
         {{"a/one.kiv", {{0, "pic", "IMAGE"}, {1, "pic", "SOUND!"}}},
          {"b/two.kiv", {{0, "pic", "IMAGE"}, {0, "PIC", "other"}}}},
         ""},
    };
    for (const auto& c : cases) {
        const TempDir root;
        for (const auto& file : c.files) {
            std::filesystem::create_directories((root / file.name).parent_path());
            SaveAgentFile((root / file.name).string(), {}, file.carried);
        }
        std::filesystem::create_directories(root / "b");
        const auto result = Kivtool({"conflicts", (root / "a").string(), (root / "b").string()});
        EXPECT_EQ(result.status, c.out.empty() ? 0 : 1) << c.what;
        EXPECT_EQ(result.out, std::regex_replace(c.out, std::regex("@"), root.Path().string()))
            << c.what;
        EXPECT_EQ(result.err, "") << c.what;
    }
}

TEST(ConflictsCommand, PrintsJsonAndCountsInCheckAndReportsUnreadableFiles) {
    const TempDir root;
    const std::string one = (root / "one.kiv").string();
    const std::string two = (root / "two.kiv").string();
    SaveAgentFile(one, {}, {{0, "Caf\xE9.s16", "RED"}});
    SaveAgentFile(two, {}, {{0, "CAF\xE9.S16", "BLUE"}});
    const auto json = Kivtool({"conflicts", "--json", root.Path().string()});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "[{\"type\":\"image\",\"name\":\"Caf\xC3\xA9.s16\",\"files\":[\"" + one +
                            "\",\"" + two + "\"]}]\n");

    const std::string cut = root.Write("cut.kiv", "kiv2agn");
    const std::string three = root.Write("three.kiv", "kiv");
    const std::string notKiv = "Error: \"" + three + "\" is not a Mirewalk 2 Kiv file";
    const auto check = Kivtool({"check", root.Path().string() + "/"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, cut + ": Error: Unexpected end of file while reading \"" + cut + "\"\n" +
                             three + ": " + notKiv + "\nCaf\xC3\xA9.s16: " + one + ", " + two +
                             "\n4 agent files checked, 2 damaged, 1 conflict\n");

    std::filesystem::remove(two);
    std::filesystem::remove(cut);
    const auto unreadable = Kivtool({"conflicts", root.Path().string(), "/nonexistent"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_EQ(unreadable.err,
              "kivtool: " + notKiv + "\nkivtool: cannot list the folder /nonexistent\n");

    std::filesystem::remove(three);
    const auto clean = Kivtools({{"check", root.Path().string()}, {"check", "/nonexistent"}});
    EXPECT_EQ(std::tuple(clean[0].status, clean[0].out),
              std::tuple(0, "1 agent files checked, 0 damaged, 0 conflicts\n"));
    EXPECT_EQ(clean[1].status, 1);
}

} // namespace
