#pragma once

#include "agents/AgentFile.h"

#include <cstdint>

// Whether an agent may be used now: it has uses left and its reuse interval
// has passed since its last use, by the clock of agents/Clock.h.

// The seconds still to wait; 0 once the agent may be used again.
std::int32_t TimeUntilAvailable(const CAgent& agent);
bool IsAvailable(const CAgent& agent);

// Raises the reason (no uses left, or the time still to wait) unless the agent
// is available by `usage` (by its own usage without it).
void RequireAvailable(const CAgent& agent);
void RequireAvailable(const CAgent& agent, const CAgentUsage& usage);
