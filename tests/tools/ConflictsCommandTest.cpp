#include "tests/support/AgentFiles.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// Each carried name shows one case: the same contents under names differing in
// case; another size; the same size with other contents, in one of three files;
// names differing in a letter beyond ASCII, which name two files in the game's
// folder; an image and a sound of one name, and a second copy the injection
// never uses.
TEST(ConflictsCommand, NamesCarriedFilesThatClashIgnoringCase) {
    const TempDir root;
    const std::string one = root / "a/one.kiv";
    const std::string three = root / "a/three.kiv";
    const std::string two = root / "b/two.kiv";
    std::filesystem::create_directories(root / "a");
    std::filesystem::create_directories(root / "b");
    SaveAgentFile(one, {},
                  {{0, "same.s16", "RED"},
                   {0, "size.s16", "RED"},
                   {1, "zap.wav", "AAAA"},
                   {0, "x", "1"},
                   {0, "caf\xE9", "RED"},
                   {0, "pic", "IMAGE"},
                   {1, "pic", "SOUND!"}});
    SaveAgentFile(three, {}, {{1, "ZAP.WAV", "AAAA"}});
    SaveAgentFile(two, {},
                  {{0, "SAME.S16", "RED"},
                   {0, "Size.s16", "GREEN"},
                   {1, "zap.wav", "AAAB"},
                   {0, "x", "1"},
                   {0, "caf\xC9", "BLUE"},
                   {0, "pic", "IMAGE"},
                   {0, "PIC", "other"}});
    const auto runs = Kivtools({{"conflicts", (root / "a").string(), (root / "b").string()},
                                {"conflicts", (root / "b").string()}});
    EXPECT_EQ(std::tuple(runs[0].status, runs[0].out, runs[0].err),
              std::tuple(1,
                         "size.s16: " + one + ", " + two + "\nzap.wav: " + one + ", " + three +
                             ", " + two + "\n",
                         ""));
    EXPECT_EQ(std::tuple(runs[1].status, runs[1].out, runs[1].err), std::tuple(0, "", ""));
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
