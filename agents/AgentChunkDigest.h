#pragma once

#include <cstdint>
#include <span>

// A digest of an agent chunk's data apart from its leading usage bytes: two
// chunks with the same length and digest hold the same agent, whatever its
// uses. 64 bits make a chance match of two different agents negligible.
std::uint64_t AgentChunkDigest(std::span<const std::uint8_t> data);
