#include "tools/kivtool/CheckCommand.h"

#include "agents/AgentFile.h"
#include "agents/AgentFileListing.h"
#include "agents/CarriedConflicts.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "tools/kivtool/ConflictsCommand.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool check DIR\n"
    "Loads every agent file of DIR as the applet's catalogue does, but goes on past\n"
    "damaged files: prints one line \"PATH: MESSAGE\" for each, then the carried files\n"
    "that clash by name as \"kivtool conflicts\" prints them, and ends with the counts.\n"
    "Exit status 1 when any file is damaged, any name clashes or DIR cannot be listed\n"
    "(wholly or part-way).\n";

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
        CCarriedFileIndex index;
        for (const auto& path : paths) {
            try {
                index.Add(CAgentFile(path));
            } catch (const CKitException& error) {
                std::printf("%s: %s\n", path.c_str(), error.m_message);
                ++damaged;
            }
        }
        const auto conflicts = index.Conflicts();
        PrintConflicts(conflicts);
        std::printf("%zu agent files checked, %d damaged, %zu %s\n", paths.size(), damaged,
                    conflicts.size(), conflicts.size() == 1 ? "conflict" : "conflicts");
        if (list->failed) {
            ThrowStringId(IDS_ERROR_LOOKING_FOR_KIV);
        }
        return damaged == 0 && conflicts.empty() ? kExitOk : kExitFailure;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}
