#include "platform/FileNameCase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

// The name part of a path found in `dir`; empty for none.
std::string Name(const std::string& dir, const std::optional<std::string>& path) {
    if (!path) {
        return "";
    }
    EXPECT_TRUE(path->starts_with(dir)) << *path;
    return path->substr(dir.size());
}

TEST(FileNameCase, ANameIsFoundInAnyAsciiCaseExactSpellingFirstThenByteOrder) {
    // A file starting with '@' is a link to nothing under the rest of its name;
    // a name looked for as "HelpEN?.chm" stands for any one character there.
    const struct {
        std::vector<std::string> files;
        std::string looked;
        std::string found; // empty: none
    } cases[] = {
        {{"WALLPAPER.BMP"}, "wallpaper.bmp", "WALLPAPER.BMP"},
        {{"wallpaper.bmp", "WALLPAPER.BMP"}, "wallpaper.bmp", "wallpaper.bmp"},
        {{"wallpaper.BMP", "Wallpaper.bmp", "WALLPAPER.BMP"}, "wallpaper.bmp", "WALLPAPER.BMP"},
        {{"wallpaper.bmp.bak", "wallpaper.bm", "wallpaperXbmp"}, "wallpaper.bmp", ""},
        {{"@WALLPAPER.BMP", "Wallpaper.bmp"}, "wallpaper.bmp", "Wallpaper.bmp"},
        {{"@wallpaper.bmp"}, "wallpaper.bmp", ""},
        // Only ASCII letters fold: the bytes of "Ä" and "ä" stay apart.
        {{"\xC3\x84pfel.c16"}, "\xC3\x84PFEL.C16", "\xC3\x84pfel.c16"},
        {{"\xC3\x84pfel.c16"}, "\xC3\xA4pfel.c16", ""},
        {{"\xC4pfel.c16"}, "\xE4pfel.c16", ""},
        {{"HELPENA.CHM", "HelpENG.chm"}, "HelpEN?.chm", "HelpENG.chm"},
        {{"helpenb.chm", "HELPENA.CHM"}, "HelpEN?.chm", "HELPENA.CHM"},
        {{"HelpENz.chm", "HelpENa.CHM"}, "HelpEN?.chm", "HelpENz.chm"},
        {{"HelpEN\xC3\xA9.chm", "HelpENGL.chm", "HelpEN.chm"}, "HelpEN?.chm", "HelpEN\xC3\xA9.chm"},
        {{"HelpENGL.chm", "HelpEN.chm", "HelpENG.chmx", "@HelpENG.chm"}, "HelpEN?.chm", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files[0] + " for " + c.looked);
        const TempDir root;
        for (const auto& name : c.files) {
            if (name.front() == '@') {
                std::filesystem::create_symlink(root / "nothing", root / name.substr(1));
            } else {
                root.Write(name, "x");
            }
        }
        const std::string dir = root.Path().string() + "/";
        if (const auto any = c.looked.find('?'); any != std::string::npos) {
            const auto found = FindFileWithOneCharacterIgnoringCase(dir, c.looked.substr(0, any),
                                                                    c.looked.substr(any + 1));
            EXPECT_EQ(Name(dir, found), c.found);
            continue;
        }
        EXPECT_EQ(Name(dir, FindFileIgnoringCase(dir, c.looked)), c.found);
        EXPECT_EQ(PathIgnoringCase(dir, c.looked), dir + (c.found.empty() ? c.looked : c.found));
    }
    EXPECT_EQ(FindFileIgnoringCase("/nonexistent-folder/", "x"), std::nullopt);
}

} // namespace
