#include "platform/RegistryStore.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <list>

namespace {

// The game's own folder wins; then the desktop's configuration folder; then
// the one under the home folder. An empty variable counts as unset.
TEST(RegistryStore, FindsItsFolderThroughTheEnvironment) {
    struct Case {
        const char* registryDir;
        const char* configHome;
        const char* expected;
    };
    const Case cases[] = {
        {"/game/registry", "/xdg", "/game/registry"},
        {"", "/xdg", "/xdg/mirewalk2"},
        {"", "", "/home/player/.config/mirewalk2"},
    };
    for (const auto& [registryDir, configHome, expected] : cases) {
        std::list<ScopedVariable> environment;
        environment.emplace_back("MIREWALK_REGISTRY_DIR", registryDir);
        environment.emplace_back("XDG_CONFIG_HOME", configHome);
        environment.emplace_back("HOME", "/home/player");
        EXPECT_EQ(CRegistryStore::DefaultDirectory().string(), expected);
    }
}

} // namespace
