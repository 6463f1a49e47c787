#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <vector>

class CUsageMemory;

// The usage account of an agent against its file as it is now. Each step opens
// the file, takes an exclusive lock on it (see CLockedFile), reads the agent's
// chunk and, for the count, writes its six usage bytes, then lets go: the lock
// is never held while the game is waited for, and a second injector of the
// same agent, in this process or another, counts its own use on top.

// A counted use stamps the time `now` and takes one use, unless there are none
// or they are unlimited.
CAgentUsage UsageAfterOneUse(const CAgentUsage& before, std::uint32_t now);

// The agent's chunk data as the file holds it at the agent's offset. Raises
// IDS_ERROR_READING_FILE with the path when the file cannot be read, IDS_UNEXPECTED_FILE_FORMAT
// when the chunk there is not this agent, and the reason when the agent is not available by the
// file's usage combined with what `memory` kept. The agent takes on that usage.
std::vector<std::uint8_t> ReadAvailableChunk(CAgent& agent, const CUsageMemory& memory);

// Counts one use (the time of use now, one use fewer unless unlimited) on top
// of the file's current usage and writes it, provided the chunk at the agent's
// offset is still `asRead` apart from its usage bytes. The agent takes on the
// usage written, and the file's identity becomes the version written. When
// the use cannot be written (IDS_ERROR_WRITING_FILE with the path; the chunk changed:
// IDS_USE_NOT_COUNTED with the path, and nothing is written) it is counted in memory, in the agent
// and in `memory`, before the message is raised.
void CountUse(CAgent& agent, const std::vector<std::uint8_t>& asRead, CUsageMemory& memory);
