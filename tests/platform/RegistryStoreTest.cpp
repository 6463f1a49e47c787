#include "platform/RegistryStore.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <list>
#include <pwd.h>
#include <unistd.h>

namespace {

// The game's own folder wins; then the desktop's configuration folder; then
// the one under the home folder, which the user database names when HOME does
// not. An empty variable counts as unset.
TEST(RegistryStore, FindsItsFolderThroughTheEnvironment) {
    const std::string userHome = ::getpwuid(::getuid())->pw_dir;
    struct Case {
        const char* registryDir;
        const char* configHome;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/game/registry", "/xdg", "/home/player", "/game/registry"},
        {"", "/xdg", "/home/player", "/xdg/mirewalk2"},
        {"", "", "/home/player", "/home/player/.config/mirewalk2"},
        {"", "", "", userHome + "/.config/mirewalk2"},
    };
    for (const auto& [registryDir, configHome, home, expected] : cases) {
        std::list<ScopedVariable> environment;
        environment.emplace_back("MIREWALK_REGISTRY_DIR", registryDir);
        environment.emplace_back("XDG_CONFIG_HOME", configHome);
        environment.emplace_back("HOME", home);
        EXPECT_EQ(CRegistryStore::DefaultDirectory().string(), expected);
    }
}

} // namespace
