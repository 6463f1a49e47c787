#include "tools/kivtool/CheckCommand.h"

#include "agents/AgentFile.h"
#include "agents/AgentFileListing.h"
#include "app/KitException.h"
#include "app/StringTable.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool check DIR\n"
    "Loads every agent file of DIR as the applet's catalogue does, but goes on past\n"
    "damaged files: prints one line \"PATH: MESSAGE\" for each. Exit status 1 when any\n"
    "file is damaged or DIR cannot be listed (wholly or part-way).\n";

} // namespace

int RunCheckCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc != 2) {
        return UsageError(kUsage);
    }
    try {
        const auto list = ListAgentFiles(argv[1]);
        if (!list) {
            PrintError(std::string("cannot list the folder ") + argv[1]);
            return kExitFailure;
        }
        const auto& paths = list->paths;
        int damaged = 0;
        for (const auto& path : paths) {
            try {
                const CAgentFile file(path);
            } catch (const CKitException& error) {
                std::printf("%s: %s\n", path.c_str(), error.m_message);
                ++damaged;
            }
        }
        std::printf("%zu agent files checked, %d damaged\n", paths.size(), damaged);
        if (list->failed) {
            ThrowStringId(IDS_ERROR_LOOKING_FOR_KIV);
        }
        return damaged == 0 ? kExitOk : kExitFailure;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}
