#include "core/GameConfig.h"
#include "tests/support/Caught.h"
#include "tests/support/RegistryFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kMachineGameKey =
    "HKEY_LOCAL_MACHINE\\Software\\Vantrell Technology\\Mirewalk 2\\1.0";
const std::string kReadError = "Error reading registry";

// The game directory, or the message of the exception it throws.
std::string DirectoryOrMessage(int index) {
    std::string directory;
    const auto message = CaughtMessage([&] { directory = GetGameDirectory(index); });
    return message == "(nothing thrown)" ? directory : message;
}

// A string of `length` bytes stored without its terminating zero.
std::string Unterminated(std::size_t length) {
    std::string list = "hex(2):73";
    for (std::size_t i = 1; i < length; ++i) {
        list += ",73";
    }
    return list;
}

TEST(GameConfig, GameDirectoriesAlwaysEndInASeparator) {
    GameEnvironment environment;
    const std::string longest(2047, 's');
    const struct {
        int index;
        std::string value; // stored under the directory's name; empty: none
        std::string result;
    } cases[] = {
        {kMainDirectory, "\"C:\\\\Game\"", "C:\\Game/"},
        {kMainDirectory, "\"C:\\\\Game\\\\\"", "C:\\Game\\"},
        {kGeneticsDirectory, "\"/game/\"", "/game/"},
        {kObjectsDirectory, "\"\"", "/"},
        {kImagesDirectory, "hex(2):25,47,41,4d,45,25,00", "%GAME%/"},
        {kSoundsDirectory, "\"" + longest + "\"", longest + "/"},
        {kSoundsDirectory, "\"" + longest + "s\"", kReadError},
        {kSoundsDirectory, Unterminated(2047), longest + "/"},
        {kSoundsDirectory, Unterminated(2048), kReadError},
        {kHistoryDirectory, "dword:00000001", kReadError},
        {kEggsDirectory, "", kReadError},
        {kEggsDirectory + 1, "", kReadError},
        {kMainDirectory - 1, "", kReadError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " " + c.value.substr(0, 20));
        const std::string line =
            c.value.empty()
                ? ""
                : "\"" +
                      std::string(c.index == 0 ? "Main" : GameEnvironment::kFolderNames[c.index]) +
                      " Directory\"=" + c.value + "\n";
        WriteRegistryFile(environment, "HKEY_LOCAL_MACHINE", RegistryText(kMachineGameKey, line));
        EXPECT_EQ(DirectoryOrMessage(c.index), c.result);
    }
    WriteRegistryFile(environment, "HKEY_LOCAL_MACHINE",
                      RegistryText("HKEY_LOCAL_MACHINE\\Software", ""));
    EXPECT_EQ(DirectoryOrMessage(kEggsDirectory),
              "Error opening registry key (\"Software\\Vantrell Technology\\Mirewalk 2\\1.0\")");
}

// Each step of the lookup also takes its name spelled in another case, and a
// step's name in any case beats a later step's exact name. A file named with a
// leading '@' is a link to nothing, which no step takes.
TEST(GameConfig, FindsTheLanguageVariantOfAFile) {
    const struct {
        const char* locale;
        std::vector<std::string> files;
        std::string path; // empty: not found, and left as it was
        bool found;
    } cases[] = {
        {"en_GB", {"@HelpENG.chm", "HelpENU.chm", "helpENG.chm"}, "helpENG.chm", true},
        {"en_US",
         {"HelpENZ.chm", "HELPENA.CHM", "HelpENG.chm", "HelpENGL.chm"},
         "HelpENG.chm",
         true},
        {"en_US", {"HelpENA.CHM", "HelpENZ.chm", "@HelpENB.chm"}, "HelpENZ.chm", true},
        {"fr_FR", {"Help.chm", "HelpFR\xC3\xA9.chm"}, "HelpFR\xC3\xA9.chm", true},
        {"fr_FR", {"HelpFR\xC3\xA9.chm", "HelpFRB.chm"}, "HelpFRB.chm", true},
        {"fr_FR", {"HelpFRB.chm", "HelpFR.chm"}, "HelpFR.chm", true},
        {"fr_FR", {"HelpFR.chm", "HelpFRA.chm"}, "HelpFRA.chm", true},
        {"de_DE", {"helpdeu.chm", "HelpDE.chm", "Help.chm"}, "helpdeu.chm", true},
        {"de_DE", {"HELPDE.CHM", "helpde.chm", "Help.chm"}, "HELPDE.CHM", true},
        {"de_DE", {"helpdex.CHM", "Help.chm"}, "helpdex.CHM", true},
        {"de_DE", {"HELP.CHM"}, "HELP.CHM", true},
        {"de_DE", {"HelpDEUT.chm", "HelpDE.chmx", "Help.chm.old", "@Help.chm"}, "Help.chm", false},
        {"pt_BR", {"HelpPT.chm", "HelpPTP.chm", "Help.chm"}, "HelpPTP.chm", true},
        {"POSIX", {"HelpENU.chm", "Help.chm"}, "HelpENU.chm", true},
        {"german", {"Help.chm"}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.files[0]);
        GameEnvironment environment;
        environment.SetLocale(c.locale);
        const auto& root = environment.Root();
        for (const auto& file : c.files) {
            if (file.front() == '@') {
                std::filesystem::create_symlink(root / "nothing", root / file.substr(1));
            } else {
                root.Write(file, "");
            }
        }
        const std::string dir = root.Path().string() + "/";
        std::string path = "unchanged";
        EXPECT_EQ(FindLanguageFile(dir, "Help", ".chm", path), c.found);
        EXPECT_EQ(path, c.path.empty() ? "unchanged" : dir + c.path);
    }
}

} // namespace
