#include "tools/kivtool/AnalyseCommand.h"

#include "agents/AgentFile.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/MemoryResultsTree.h"
#include "analysis/ScriptAnalyser.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "platform/Windows1252.h"
#include "tools/kivtool/JsonText.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool analyse [--json] [--game-dir DIR | --chemicals FILE] FILE...\n"
    "Prints, for every agent of each agent file, what the Analysis page shows: its\n"
    "file, its scripts, the chemicals they change and the warnings, in the user's\n"
    "language. Chemical names come from the game's list in DIR, from the list FILE,\n"
    "or, with neither, from the game's main directory. A list that cannot be loaded\n"
    "is reported once and the chemicals are listed without names. A file that\n"
    "cannot be read is reported on standard error; the exit status is then 1.\n"
    "With --json, prints one array holding an object per readable file: \"path\" and\n"
    "\"agents\", each with its \"name\" and \"analysis\", a tree of {\"text\", \"items\"}.\n";

struct Options {
    bool json = false;
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
        } else if (std::strcmp(argv[i], "--json") == 0) {
            options.json = true;
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
    for (const auto& agent : file.Agents()) {
        CMemoryResultsTree tree;
        AnalyseAgent(agent.get(), chemicals, tree);
        std::printf("%s\n", Windows1252ToUtf8(agent->Name()).c_str());
        PrintItems(tree.TopLevel(), 2);
    }
}

JsonValue JsonItems(const std::vector<std::unique_ptr<CMemoryResultsTree::Node>>& items) {
    JsonValue array = JsonValue::array();
    for (const auto& item : items) {
        array.push_back({{"text", item->text}, {"items", JsonItems(item->children)}});
    }
    return array;
}

JsonValue JsonAnalysis(const CAgentFile& file, const CChemicalNameTable& chemicals) {
    JsonValue agents = JsonValue::array();
    for (const auto& agent : file.Agents()) {
        CMemoryResultsTree tree;
        AnalyseAgent(agent.get(), chemicals, tree);
        agents.push_back(
            {{"name", Json1252Value(agent->Name())}, {"analysis", JsonItems(tree.TopLevel())}});
    }
    return {{"path", file.Path()}, {"agents", agents}};
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
    JsonValue files = JsonValue::array();
    for (const char* path : options->files) {
        try {
            const CAgentFile file(path);
            if (options->json) {
                files.push_back(JsonAnalysis(file, chemicals));
            } else {
                PrintAnalysis(file, chemicals);
            }
        } catch (const CKitException& error) {
            PrintError(error);
            status = kExitFailure;
        }
    }
    if (options->json) {
        PrintJsonLines(files);
    }
    return status;
}
