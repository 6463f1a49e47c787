#include "platform/ActivationFile.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
