// One script of any bytes, split both ways: the plain tokenizer and the word
// bits must read the same words, and the analyses by each the same tree.
#include "agents/AgentFile.h"
#include "analysis/ChemicalNameTable.h"
#include "analysis/MemoryResultsTree.h"
#include "analysis/ScriptAnalyser.h"
#include "analysis/ScriptWords.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {
void Check(bool same) {
    if (!same) {
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CAgentFields fields;
    fields.installScript.assign(reinterpret_cast<const char*>(data), size);
    const CAgent agent(std::move(fields));
    CScriptWords words("c");
    words.Split(agent.InstallScript());
    CScriptWords::Cursor bits(words, 0);
    for (const char* cursor = agent.InstallScript().c_str(); *cursor != '\0';) {
        const std::string_view token = GetNextToken(cursor);
        if (!token.empty()) {
            const std::string_view word = bits.Next();
            Check(word.data() == token.data() && word.size() == token.size());
        }
    }
    Check(bits.Next().empty());
    CMemoryResultsTree trees[2];
    AnalyseAgent(&agent, CChemicalNameTable(), trees[0], ScriptReading::kWordBits);
    AnalyseAgent(&agent, CChemicalNameTable(), trees[1], ScriptReading::kTokens);
    Check(trees[0] == trees[1]);
    return 0;
}
