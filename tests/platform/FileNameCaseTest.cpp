#include "platform/FileNameCase.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

// A name starting with '@' becomes a link to nothing under the rest of it.
struct Case {
    std::vector<std::string> files;
    std::string looked;
    std::string found; // empty: none
};

std::string Folder(const TempDir& root, const std::vector<std::string>& files) {
    for (const auto& name : files) {
        if (name.front() == '@') {
            std::filesystem::create_symlink(root / "nothing", root / name.substr(1));
        } else {
            root.Write(name, "x");
        }
    }
    return root.Path().string() + "/";
}

// The name part of a path found in `dir`; empty for none.
std::string Name(const std::string& dir, const std::optional<std::string>& path) {
    if (!path) {
        return "";
    }
    EXPECT_TRUE(path->starts_with(dir)) << *path;
    return path->substr(dir.size());
}

TEST(FileNameCase, ANameIsFoundInAnyAsciiCaseExactSpellingFirstThenByteOrder) {
    const Case cases[] = {
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
    };
    for (const auto& c : cases) {
        const TempDir root;
        const std::string dir = Folder(root, c.files);
        EXPECT_EQ(Name(dir, FindFileIgnoringCase(dir, c.looked)), c.found) << c.files[0];
        EXPECT_EQ(PathIgnoringCase(dir, c.looked), dir + (c.found.empty() ? c.looked : c.found));
    }
    EXPECT_EQ(FindFileIgnoringCase("/nonexistent-folder/", "x"), std::nullopt);
}

TEST(FileNameCase, AOneCharacterPatternPrefersItsFixedPartsSpelledExactly) {
    struct PatternCase {
        std::vector<std::string> files;
        std::string found;
    };
    const PatternCase cases[] = {
        {{"HELPENA.CHM", "HelpENG.chm"}, "HelpENG.chm"},
        {{"helpenb.chm", "HELPENA.CHM"}, "HELPENA.CHM"},
        {{"HelpENz.chm", "HelpENa.CHM"}, "HelpENz.chm"},
        {{"HelpEN\xC3\xA9.chm", "HelpENGL.chm", "HelpEN.chm"}, "HelpEN\xC3\xA9.chm"},
        {{"HelpENGL.chm", "HelpEN.chm", "HelpENG.chmx", "@HelpENG.chm"}, ""},
    };
    for (const auto& c : cases) {
        const TempDir root;
        const std::string dir = Folder(root, c.files);
        EXPECT_EQ(Name(dir, FindFileWithOneCharacterIgnoringCase(dir, "HelpEN", ".chm")), c.found)
            << c.files[0];
    }
}

} // namespace
