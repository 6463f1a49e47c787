#include "tools/kivtool/ExtractCommand.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "agents/Extraction.h"
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
    return RunFileAndFolderCommand(argc, argv, kUsage, [](const char* path, const char* folder) {
        const CAgentFile file(path);
        const std::string directory = AsDirectory(folder);
        for (const auto& record : file.CarriedFiles()) {
            ExtractCarriedFile(*record, directory);
            std::printf("%s\n", CarriedFilePath(directory, record->m_name).c_str());
        }
    });
}
