#include "tools/kivtool/AnalyseCommand.h"

#include "agents/AgentFile.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/MemoryResultsTree.h"
#include "analysis/ScriptAnalyser.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "platform/TextCodec.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool analyse [--game-dir DIR | --chemicals FILE] FILE...\n"
    "Prints, for every agent of each agent file, what the Analysis page shows: its\n"
    "file, its scripts, the chemicals they change and the warnings, in the user's\n"
    "language. Chemical names come from the game's list in DIR, from the list FILE,\n"
    "or, with neither, from the game's main directory. A list that cannot be loaded\n"
    "is reported once and the chemicals are listed without names. A file that\n"
    "cannot be read is reported on standard error; the exit status is then 1.\n";

struct Options {
    std::optional<std::string> gameDir;
    std::optional<std::string> chemicalsFile;
    std::vector<const char*> files;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const bool gameDir = std::strcmp(argv[i], "--game-dir") == 0;
        const bool chemicals = std::strcmp(argv[i], "--chemicals") == 0;
        if (gameDir || chemicals) {
            if (i + 1 == argc || options.gameDir || options.chemicalsFile) {
                return std::nullopt;
            }
            (gameDir ? options.gameDir : options.chemicalsFile) = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return std::nullopt;
        } else {
            options.files.push_back(argv[i]);
        }
    }
    if (options.files.empty()) {
        return std::nullopt;
    }
    return options;
}

// Fills the table as the options ask; reports a failure and leaves the names
// that could not be read empty.
void LoadChemicals(const Options& options, CChemicalNameTable& table) {
    try {
        if (options.chemicalsFile) {
            table.LoadChemicalNamesFromFile(*options.chemicalsFile);
        } else {
            table.LoadChemicalNames(options.gameDir ? AsDirectory(*options.gameDir)
                                                    : GetGameDirectory(kMainDirectory));
        }
    } catch (const CKitException& error) {
        PrintError(error);
    }
}

void PrintItems(const std::vector<std::unique_ptr<CMemoryResultsTree::Node>>& items, int indent) {
    for (const auto& item : items) {
        std::printf("%*s%s\n", indent, "", item->text.c_str());
        PrintItems(item->children, indent + 2);
    }
}

void PrintAnalysis(const CAgentFile& file, const CChemicalNameTable& chemicals) {
    for (const auto& agent : file.m_agents) {
        CMemoryResultsTree tree;
        AnalyseAgent(agent.get(), chemicals, tree);
        std::printf("%s\n", Windows1252ToUtf8(agent->m_name).c_str());
        PrintItems(tree.TopLevel(), 2);
    }
}

} // namespace

int RunAnalyseCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        return UsageError(kUsage);
    }
    CChemicalNameTable chemicals;
    LoadChemicals(*options, chemicals);
    int status = kExitOk;
    for (const char* path : options->files) {
        try {
            const CAgentFile file(path);
            PrintAnalysis(file, chemicals);
        } catch (const CKitException& error) {
            PrintError(error);
            status = kExitFailure;
        }
    }
    return status;
}
