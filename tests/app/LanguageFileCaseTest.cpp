#include "app/GameConfig.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

// Each step of the lookup also takes its name spelled in another case, and a
// step's name in any case beats a later step's exact name.
TEST(LanguageFileCase, EveryStepFindsItsNameSpelledInAnotherCase) {
    struct Case {
        std::vector<std::string> files;
        const char* name;
        const char* ext;
        std::string path; // relative to the folder
        bool found;
    };
    const Case cases[] = {
        {{"helpdeu.chm", "HelpDE.chm", "Help.chm"}, "Help", ".chm", "helpdeu.chm", true},
        {{"HELPDE.CHM", "Help.chm"}, "Help", ".chm", "HELPDE.CHM", true},
        {{"helpdex.CHM", "Help.chm"}, "Help", ".chm", "helpdex.CHM", true},
        {{"HELP.CHM"}, "Help", ".chm", "HELP.CHM", true},
        {{"HelpDEUT.chm", "Help.chm.old"}, "Help", ".chm", "Help.chm", false},
        {{"ALLCHEMICALSDEU.STR"}, "allchemicals", ".str", "ALLCHEMICALSDEU.STR", true},
    };
    for (const auto& c : cases) {
        GameEnvironment environment;
        environment.SetLocale("de_DE.UTF-8");
        for (const auto& file : c.files) {
            environment.Root().Write(file, "");
        }
        const std::string dir = environment.Root().Path().string() + "/";
        std::string path;
        EXPECT_EQ(FindLanguageFile(dir, c.name, c.ext, path), c.found) << c.files[0];
        EXPECT_EQ(path, dir + c.path);
    }
}

} // namespace
