#include "tools/kivtool/ConflictsCommand.h"

#include "agents/AgentFile.h"
#include "agents/AgentFileListing.h"
#include "agents/CarriedConflicts.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "tools/kivtool/JsonText.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool conflicts [--json] DIR...\n"
    "Finds the images and sounds that agent files of the folders carry under one\n"
    "name (ignoring case) with different contents: the game keeps only one of them.\n"
    "Prints one line \"NAME: PATH, PATH, ...\" per name; with --json, one array.\n"
    "Exit status 1 when there is a conflict or a file cannot be read, 0 otherwise.\n";

// Adds every agent file of the folder that can be read; false, after saying
// why, when the folder or one of its files cannot be.
bool AddFolder(CCarriedFileIndex& index, const char* directory) {
    const auto list = ListAgentFiles(directory);
    if (!list) {
        PrintError(std::string("cannot list the folder ") + directory);
        return false;
    }
    bool complete = true;
    for (const auto& path : list->paths) {
        try {
            index.Add(CAgentFile(path));
        } catch (const CKitException& error) {
            PrintError(error);
            complete = false;
        }
    }
    if (list->failed) {
        CKitException failure;
        PrintError(FormatStringId(failure.m_message, IDS_ERROR_LOOKING_FOR_KIV));
        return false;
    }
    return complete;
}

} // namespace

JsonValue JsonConflicts(const std::vector<CCarriedConflict>& conflicts) {
    JsonValue array = JsonValue::array();
    for (const auto& conflict : conflicts) {
        array.push_back({{"type", CarriedTypeName(conflict.type)},
                         {"name", Json1252Value(conflict.name)},
                         {"files", conflict.paths}});
    }
    return array;
}

void PrintConflicts(const std::vector<CCarriedConflict>& conflicts) {
    for (const auto& conflict : conflicts) {
        std::string paths;
        for (const auto& path : conflict.paths) {
            AddItem(paths, path, ", ");
        }
        std::printf("%s: %s\n", OneLine(conflict.name).c_str(), paths.c_str());
    }
}

int RunConflictsCommand(int argc, char** argv) {
    JsonOperands operands;
    if (const auto done = ReadJsonOperands(argc, argv, kUsage, operands)) {
        return *done;
    }
    const auto [json, first] = operands;
    bool complete = true;
    CCarriedFileIndex index;
    for (int i = first; i < argc; ++i) {
        complete = AddFolder(index, argv[i]) && complete;
    }
    try {
        const auto conflicts = index.Conflicts();
        json ? PrintJsonLines(JsonConflicts(conflicts)) : PrintConflicts(conflicts);
        return conflicts.empty() && complete ? kExitOk : kExitFailure;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}
