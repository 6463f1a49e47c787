#include "app/GameConfig.h"
#include "app/RegistryKey.h"
#include "tests/support/Caught.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

void WriteMachineValue(const char* name, const std::string& text) {
    CRegistryKey key;
    key.CreateKey(RegistryRoot::LocalMachine, kGameKeyPath);
    key.WriteString(name, text.c_str());
}

TEST(GameConfig, GameDirectoriesAlwaysEndInASeparator) {
    GameEnvironment environment;
    EXPECT_EQ(CaughtMessage([] { GetGameDirectory(kMainDirectory); }),
              "Error opening registry key (\"Software\\Vantrell Technology\\Mirewalk 2\\1.0\")");
    const auto game = environment.InstallGame();
    EXPECT_EQ(GetGameDirectory(kMainDirectory), game.string() + "/");
    EXPECT_EQ(GetGameDirectory(kAppletDataDirectory), (game / "Applet Data").string() + "/");
    EXPECT_EQ(GetGameDirectory(kEggsDirectory), (game / "Eggs").string() + "/");

    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Game", "C:\\Game/"}, {"C:\\Game\\", "C:\\Game\\"},
        {"/game/", "/game/"},      {"", "/"},
        {"relative", "relative/"}, {std::string(2046, 'd'), std::string(2046, 'd') + "/"},
    };
    for (const auto& [stored, returned] : cases) {
        WriteMachineValue("Main Directory", stored);
        EXPECT_EQ(GetGameDirectory(kMainDirectory), returned);
    }
    for (const auto length : {2048, 3000}) {
        WriteMachineValue("Sounds Directory", std::string(static_cast<std::size_t>(length), 's'));
        EXPECT_EQ(CaughtMessage([] { GetGameDirectory(kSoundsDirectory); }),
                  "Error reading registry");
    }
    WriteMachineValue("Sounds Directory", std::string(2047, 's'));
    EXPECT_EQ(GetGameDirectory(kSoundsDirectory), std::string(2047, 's') + "/");

    // A value of another type, or a missing one, is a read error.
    environment.Root().Write("registry/HKEY_LOCAL_MACHINE.reg",
                             "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Vantrell Technology\\"
                             "Mirewalk 2\\1.0]\n"
                             "\"Images Directory\"=hex(2):25,47,41,4d,45,25,00\n"
                             "\"Genetics Directory\"=dword:00000001\n");
    EXPECT_EQ(GetGameDirectory(kImagesDirectory), "%GAME%/");
    EXPECT_EQ(CaughtMessage([] { GetGameDirectory(kGeneticsDirectory); }),
              "Error reading registry");
    EXPECT_EQ(CaughtMessage([] { GetGameDirectory(kHistoryDirectory); }), "Error reading registry");
}

TEST(GameConfig, FindsTheLanguageVariantOfAFile) {
    GameEnvironment environment;
    const auto& root = environment.Root();
    const std::string dir = root.Path().string() + "/";
    std::string path = "unchanged";

    root.Write("HelpENU.chm", "");
    root.Write("Help.chm", "");
    EXPECT_TRUE(FindLanguageFile(dir, "Help", ".chm", path));
    EXPECT_EQ(path, dir + "HelpENU.chm");

    std::filesystem::remove(root / "HelpENU.chm");
    root.Write("HelpENZ.chm", "");
    root.Write("HelpENG.chm", "");
    root.Write("HelpENGL.chm", "");
    EXPECT_TRUE(FindLanguageFile(dir, "Help", ".chm", path));
    EXPECT_EQ(path, dir + "HelpENG.chm");

    environment.SetLocale("fr_FR.UTF-8");
    const std::pair<const char*, const char*> french[] = {
        {"allchemicalsFRA.str", "allchemicalsFRA.str"},
        {"allchemicalsFR.str", "allchemicalsFR.str"},
        {"allchemicalsFRB.str", "allchemicalsFRB.str"},
        {"allchemicalsFR\xC3\xA9.str", "allchemicalsFR\xC3\xA9.str"},
    };
    root.Write("allchemicals.str", "");
    EXPECT_TRUE(FindLanguageFile(dir, "allchemicals", ".str", path));
    EXPECT_EQ(path, dir + "allchemicals.str");
    // Added from the least to the most preferred candidate: each one takes over.
    for (auto it = std::rbegin(french); it != std::rend(french); ++it) {
        root.Write(it->first, "");
        EXPECT_TRUE(FindLanguageFile(dir, "allchemicals", ".str", path));
        EXPECT_EQ(path, dir + it->second);
    }

    environment.SetLocale("de_DE.UTF-8");
    EXPECT_FALSE(FindLanguageFile(dir, "Readme", ".txt", path));
    EXPECT_EQ(path, dir + "Readme.txt");
    environment.SetLocale("german");
    path = "unchanged";
    EXPECT_FALSE(FindLanguageFile(dir, "Help", ".chm", path));
    EXPECT_EQ(path, "unchanged");
}

// Each step of the lookup also takes its name spelled in another case, and a
// step's name in any case beats a later step's exact name.
TEST(GameConfig, EachLanguageVariantIsFoundSpelledInAnotherCase) {
    const std::tuple<std::vector<std::string>, std::string, bool> cases[] = {
        {{"helpdeu.chm", "HelpDE.chm", "Help.chm"}, "helpdeu.chm", true},
        {{"HELPDE.CHM", "Help.chm"}, "HELPDE.CHM", true},
        {{"helpdex.CHM", "Help.chm"}, "helpdex.CHM", true},
        {{"HELP.CHM"}, "HELP.CHM", true},
        {{"HelpDEUT.chm", "Help.chm.old"}, "Help.chm", false},
    };
    for (const auto& [files, found, exists] : cases) {
        GameEnvironment environment;
        environment.SetLocale("de_DE.UTF-8");
        for (const auto& file : files) {
            environment.Root().Write(file, "");
        }
        const std::string dir = environment.Root().Path().string() + "/";
        std::string path;
        EXPECT_EQ(FindLanguageFile(dir, "Help", ".chm", path), exists) << files[0];
        EXPECT_EQ(path, dir + found);
    }
}

} // namespace
