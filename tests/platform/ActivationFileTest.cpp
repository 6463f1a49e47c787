#include "platform/ActivationFile.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

TEST(ActivationFile, NamesTheServiceAndStartsTheExecutableForAutomation) {
    // Quoted for the shell-like split of Exec, backslashes doubled for the key file.
    const std::pair<const char*, const char*> executables[] = {
        {"/usr/bin/splicebox", "/usr/bin/splicebox"},
        {"/opt/splice box/bin/splicebox", "'/opt/splice box/bin/splicebox'"},
        {"/opt/it's\\here/splicebox", "'/opt/it'\\\\''s\\\\here/splicebox'"},
    };
    for (const auto& [path, exec] : executables) {
        EXPECT_EQ(ActivationFileText(path), "[D-BUS Service]\nName=MW_Injector.OLE\nExec=" +
                                                std::string(exec) + " -Automation\n");
    }
}

// In the desktop's data folder, else under the home folder, which the user
// database names when HOME does not. An empty variable counts as unset.
TEST(ActivationFile, LiesInTheDesktopsDataFolder) {
    const std::string userHome = ::getpwuid(::getuid())->pw_dir;
    const struct {
        std::optional<std::string> dataHome;
        std::string home;
        std::string folder;
    } cases[] = {
        {"/data", "/home/player", "/data"},
        {"", "/home/player", "/home/player/.local/share"},
        {std::nullopt, "/home/player", "/home/player/.local/share"},
        {std::nullopt, "", userHome + "/.local/share"},
    };
    for (const auto& c : cases) {
        const ScopedVariable home("HOME", c.home);
        const auto dataHome = c.dataHome ? ScopedVariable("XDG_DATA_HOME", *c.dataHome)
                                         : ScopedVariable("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(ActivationFilePath(), c.folder + "/dbus-1/services/MW_Injector.OLE.service");
    }
}

} // namespace
