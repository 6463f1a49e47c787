#include "tools/kivtool/ExtractCommand.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "agents/Extraction.h"
#include "core/KitException.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool extract FILE DIR\n"
    "Writes every image and sound carried by the agent file FILE into the folder DIR,\n"
    "under the names the injection would use; prints the path of each file written.\n"
    "Names that could reach outside DIR are refused.\n";

} // namespace

int RunExtractCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc != 3) {
        return UsageError(kUsage);
    }
    try {
        const CAgentFile file(argv[1]);
        const std::string directory = AsDirectory(argv[2]);
        for (const auto& record : file.m_dependencies) {
            ExtractCarriedFile(*record, directory);
            std::printf("%s\n", CarriedFilePath(directory, record->m_name).c_str());
        }
        return kExitOk;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}
