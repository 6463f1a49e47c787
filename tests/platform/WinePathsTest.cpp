#include "platform/WinePaths.h"
#include "platform/WinePrefix.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <list>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A prefix whose drives are links as Wine makes them: c: relative to
// dosdevices, d: absolute, z: the root; e: has no link and f: leads nowhere.
TEST(WinePaths, FindsWindowsPathsThroughThePrefixsDrivesInAnyCase) {
    const TempDir root;
    const fs::path prefix = root / "prefix";
    for (const char* folder :
         {"drive_c/Games/Mirewalk 2/Objects", "drive_c/Games/Mirewalk 2/objects",
          "drive_c/Games/Mirewalk 2/Caf\xC3\xA9", "dosdevices"}) {
        fs::create_directories(prefix / folder);
    }
    fs::create_directories(root / "elsewhere/Data");
    fs::create_symlink("../drive_c", prefix / "dosdevices/c:");
    fs::create_symlink(root / "elsewhere", prefix / "dosdevices/d:");
    fs::create_symlink("/", prefix / "dosdevices/z:");
    fs::create_symlink("../nothing", prefix / "dosdevices/f:");
    const std::string c = fs::canonical(prefix / "drive_c").string();
    const std::string game = c + "/Games/Mirewalk 2/";
    const std::string tmp = fs::canonical(fs::temp_directory_path()).string();
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"C:\\Games\\Mirewalk 2\\", game},
        {"c:/GAMES/mirewalk 2", c + "/Games/Mirewalk 2"},
        {"C:\\Games\\Mirewalk 2\\objects\\", game + "objects/"},
        {"C:\\games\\MIREWALK 2\\OBJECTS\\", game + "Objects/"},
        {"C:\\GAMES\\mirewalk 2\\CAF\xC3\xA9\\", game + "Caf\xC3\xA9/"},
        {"C:\\Games\\New Game\\Objects\\Sub\\", c + "/Games/New Game/Objects/Sub/"},
        {"C:\\Games\\.\\Mirewalk 2\\..\\..\\..\\..\\games\\\\Mirewalk 2\\", game},
        {"C:\\", c + "/"},
        {"C:", c},
        {"D:\\data\\", fs::canonical(root / "elsewhere/Data").string() + "/"},
        {"Z:\\", "/"},
        {"z:" + tmp, tmp},
        {"E:\\Games\\", std::nullopt},
        {"F:\\", std::nullopt},
        {"\\\\server\\share\\Games\\", std::nullopt},
        {"Games\\Mirewalk 2\\", std::nullopt},
        {"1:\\Games\\", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [windows, local] : cases) {
        SCOPED_TRACE(windows);
        EXPECT_EQ(WindowsPathToUnix(prefix, windows), local);
    }
}

// As Wine's own programs choose it; an empty variable counts as unset.
TEST(WinePaths, FindsThePrefixThroughTheEnvironment) {
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    const std::string database = user->pw_dir;
    const struct {
        const char* prefix;
        const char* home;
        std::string expected;
    } cases[] = {
        {"/games/wine", "/home/player", "/games/wine"},
        {"", "/home/player", "/home/player/.wine"},
        {"", "", database + "/.wine"},
    };
    for (const auto& [prefix, home, expected] : cases) {
        std::list<ScopedVariable> environment;
        environment.emplace_back("WINEPREFIX", prefix);
        environment.emplace_back("HOME", home);
        EXPECT_EQ(WinePrefix().string(), expected);
    }
}

} // namespace
