#include "tools/kivtool/CheckCommand.h"

#include "agents/AgentFile.h"
#include "agents/AgentFileListing.h"
#include "agents/CarriedConflicts.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "tools/kivtool/ConflictsCommand.h"
#include "tools/kivtool/JsonText.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool check [--json] DIR\n"
    "Loads every agent file of DIR as the applet's catalogue does, but goes on past\n"
    "damaged files: prints one line \"PATH: MESSAGE\" for each, then the carried files\n"
    "that clash by name as \"kivtool conflicts\" prints them, and ends with the counts.\n"
    "With --json, prints one object: \"checked\" (the count), \"damaged\" (an array of\n"
    "{\"path\", \"message\"}) and \"conflicts\" (as \"kivtool conflicts --json\").\n"
    "Exit status 1 when any file is damaged, any name clashes or DIR cannot be listed\n"
    "(wholly or part-way).\n";

struct DamagedFile {
    std::string path;
    std::string message;
};

void PrintText(std::size_t checked, const std::vector<DamagedFile>& damaged,
               const std::vector<CCarriedConflict>& conflicts) {
    for (const auto& file : damaged) {
        std::printf("%s: %s\n", file.path.c_str(), file.message.c_str());
    }
    PrintConflicts(conflicts);
    std::printf("%zu agent files checked, %zu damaged, %zu %s\n", checked, damaged.size(),
                conflicts.size(), conflicts.size() == 1 ? "conflict" : "conflicts");
}

void PrintJson(std::size_t checked, const std::vector<DamagedFile>& damaged,
               const std::vector<CCarriedConflict>& conflicts) {
    JsonValue files = JsonValue::array();
    for (const auto& file : damaged) {
        files.push_back({{"path", file.path}, {"message", file.message}});
    }
    const JsonValue report = {
        {"checked", checked}, {"damaged", files}, {"conflicts", JsonConflicts(conflicts)}};
    std::printf("%s\n", JsonDump(report).c_str());
}

} // namespace

int RunCheckCommand(int argc, char** argv) {
    JsonOperands operands;
    if (const auto done = ReadJsonOperands(argc, argv, kUsage, operands)) {
        return *done;
    }
    if (argc != operands.first + 1) {
        return UsageError(kUsage);
    }
    const char* folder = argv[operands.first];
    try {
        const auto list = ListAgentFiles(folder);
        if (!list) {
            PrintError(std::string("cannot list the folder ") + folder);
            return kExitFailure;
        }
        std::vector<DamagedFile> damaged;
        CCarriedFileIndex index;
        for (const auto& path : list->paths) {
            try {
                index.Add(CAgentFile(path));
            } catch (const CKitException& error) {
                damaged.push_back({path, error.m_message});
            }
        }
        const auto conflicts = index.Conflicts();
        (operands.json ? PrintJson : PrintText)(list->paths.size(), damaged, conflicts);
        if (list->failed) {
            ThrowStringId(IDS_ERROR_LOOKING_FOR_KIV);
        }
        return damaged.empty() && conflicts.empty() ? kExitOk : kExitFailure;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}
