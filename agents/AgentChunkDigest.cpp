#include "agents/AgentChunkDigest.h"

#include "agents/AgentFileFormat.h"

#include <xxhash.h>

std::uint64_t AgentChunkDigest(std::span<const std::uint8_t> data) {
    const auto rest = data.subspan(std::min(data.size(), AgentFileFormat::kUsageSize));
    return XXH3_64bits(rest.data(), rest.size());
}
