// Agent files from arbitrary bytes: every input either loads or is refused with
// the program's exception, and whatever loads points only inside the input.
#include "agents/AgentFile.h"
#include "agents/AgentFileSource.h"
#include "core/KitException.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        CMemoryAgentSource source(std::span<const std::uint8_t>(data, size));
        const CAgentFile file("fuzz.kiv", source);
        for (const auto& record : file.CarriedFiles()) {
            if (std::uint64_t{record->m_dataOffset} + record->m_size > size) {
                std::abort();
            }
        }
        for (const auto& agent : file.Agents()) {
            if (agent->Place().offset + 8u + 42u > size ||
                agent->Dependencies().size() > CAgent::kMaxDependencies) {
                std::abort();
            }
        }
    } catch (const CKitException&) {
    }
    return 0;
}
