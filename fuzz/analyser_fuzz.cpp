// Scripts of any bytes: the input is split at zero bytes into the installation
// script, the event scripts and, last, the removal script of one agent.
#include "agents/AgentFile.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/MemoryResultsTree.h"
#include "analysis/ScriptAnalyser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> scripts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            scripts.emplace_back();
        } else {
            scripts.back() += static_cast<char>(data[i]);
        }
    }
    CAgentFields fields;
    fields.installScript = scripts.front();
    fields.removeScript = scripts.size() > 1 ? scripts.back() : "";
    fields.scripts.assign(scripts.begin() + (scripts.size() > 1 ? 1 : 0),
                          scripts.end() - (scripts.size() > 1 ? 1 : 0));
    const CAgent agent(std::move(fields));
    CMemoryResultsTree tree;
    AnalyseAgent(&agent, CChemicalNameTable(), tree);
    if (tree.TopLevel().size() != 4) {
        std::abort();
    }
    return 0;
}
