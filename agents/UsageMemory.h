#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

// Uses that were counted but could not be written into their agent files. They
// stay counted while the program runs: every load of the agent again, and each
// check before an injection, goes by the lower quantity and the later time of
// use of what was counted and what the file says.
//
// An agent is known by its file's path, its chunk's offset, and its chunk's
// length and digest apart from the usage bytes: the same agent in the same
// place, whatever its uses, and never another agent that came to sit there.
class CUsageMemory {
public:
    // Keeps the agent's usage as counted in memory.
    void Remember(const CAgent& agent);
    // The file now holds the agent's use.
    void Forget(const CAgent& agent);
    // `fromFile` with what was counted of the agent.
    CAgentUsage Combined(const CAgent& agent, const CAgentUsage& fromFile) const;
    // Applies what was counted to every agent of a file just read.
    void ApplyTo(CAgentFile& file) const;

private:
    using Key = std::tuple<std::string, std::uint32_t, std::uint32_t, std::uint64_t>;
    static Key KeyOf(const CAgent& agent);

    std::map<Key, CAgentUsage> m_counted;
};
