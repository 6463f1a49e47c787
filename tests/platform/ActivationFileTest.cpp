#include "platform/ActivationFile.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(ActivationFile, NamesTheServiceAndStartsThisExecutableForAutomation) {
    GameEnvironment environment;
    ASSERT_TRUE(WriteActivationFile("/opt/splice box/bin/splicebox"));
    EXPECT_EQ(ActivationFilePath(),
              environment.DataHome() / "dbus-1/services/MW_Injector.OLE.service");
    EXPECT_EQ(environment.Root().Read("data/dbus-1/services/MW_Injector.OLE.service"),
              "[D-BUS Service]\nName=MW_Injector.OLE\n"
              "Exec='/opt/splice box/bin/splicebox' -Automation\n");
    EXPECT_EQ(ActivationFileText("/usr/bin/splicebox"),
              "[D-BUS Service]\nName=MW_Injector.OLE\nExec=/usr/bin/splicebox -Automation\n");
    // Quoted for the shell-like split of Exec, backslashes doubled for the key file.
    EXPECT_EQ(ActivationFileText("/opt/it's\\here/splicebox"),
              "[D-BUS Service]\nName=MW_Injector.OLE\n"
              "Exec='/opt/it'\\\\''s\\\\here/splicebox' -Automation\n");
    EXPECT_TRUE(RunningExecutablePath().is_absolute());
}

} // namespace
