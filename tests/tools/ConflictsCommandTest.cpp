#include "tests/support/AgentFiles.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// Each carried name shows one case: another size, under names differing in
// ASCII case; the same contents; the same size with other contents, in one of
// three files; names differing in a letter beyond ASCII, which name two files
// in the game's folder; an image and a sound of one name, and a second copy the
// injection never uses.
TEST(ConflictsCommand, NamesCarriedFilesThatClashIgnoringCaseAndTheFilesItCannotRead) {
    const TempDir root;
    const std::string one = root / "one.kiv";
    const std::string two = root / "two.kiv";
    const std::string three = root / "three.kiv";
    const std::string dir = root.Path().string();
    SaveAgentFile(one, {},
                  {{0, "Caf\xE9.s16", "RED"},
                   {0, "same.s16", "RED"},
                   {1, "zap.wav", "AAAA"},
                   {0, "caf\xE9", "RED"},
                   {0, "pic", "IMAGE"},
                   {1, "pic", "SOUND!"}});
    SaveAgentFile(two, {},
                  {{0, "CAF\xE9.S16", "GREEN"},
                   {0, "SAME.S16", "RED"},
                   {1, "ZAP.WAV", "AAAA"},
                   {0, "caf\xC9", "BLUE"},
                   {0, "pic", "IMAGE"},
                   {0, "PIC", "other"}});
    SaveAgentFile(three, {}, {{1, "zap.wav", "AAAB"}});
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

    std::filesystem::remove(three);
    const std::string cut = root.Write("cut.kiv", "kiv2agn");
    const std::string magic = root.Write("magic.kiv", "kiv");
    const std::string notKiv = "Error: \"" + magic + "\" is not a Mirewalk 2 Kiv file";
    const auto check = Kivtool({"check", dir + "/"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, cut + ": Error: Unexpected end of file while reading \"" + cut + "\"\n" +
                             magic + ": " + notKiv + "\nCaf\xC3\xA9.s16: " + one + ", " + two +
                             "\n4 agent files checked, 2 damaged, 1 conflict\n");

    std::filesystem::remove(two);
    std::filesystem::remove(cut);
    const auto unreadable = Kivtool({"conflicts", dir, "/nonexistent"});
    EXPECT_EQ(
        std::tuple(unreadable.status, unreadable.out, unreadable.err),
        std::tuple(1, "",
                   "kivtool: " + notKiv + "\nkivtool: cannot list the folder /nonexistent\n"));

    std::filesystem::remove(magic);
    const auto clean = Kivtools({{"check", dir}, {"check", "/nonexistent"}, {"conflicts", dir}});
    EXPECT_EQ(std::tuple(clean[0].status, clean[0].out),
              std::tuple(0, "1 agent files checked, 0 damaged, 0 conflicts\n"));
    EXPECT_EQ(clean[1].status, 1);
    EXPECT_EQ(std::tuple(clean[2].status, clean[2].out, clean[2].err), std::tuple(0, "", ""));
}

} // namespace
