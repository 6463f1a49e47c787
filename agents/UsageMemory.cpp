#include "agents/UsageMemory.h"

#include <algorithm>

CUsageMemory::Key CUsageMemory::KeyOf(const CAgent& agent) {
    const CAgentChunkPlace& place = agent.Place();
    return {place.file->Path(), place.offset, place.length, place.digest};
}

void CUsageMemory::Remember(const CAgent& agent) {
    m_counted[KeyOf(agent)] = agent.Usage();
}

void CUsageMemory::Forget(const CAgent& agent) {
    m_counted.erase(KeyOf(agent));
}

CAgentUsage CUsageMemory::Combined(const CAgent& agent, const CAgentUsage& fromFile) const {
    const auto counted = m_counted.find(KeyOf(agent));
    if (counted == m_counted.end()) {
        return fromFile;
    }
    return {std::min(fromFile.quantity, counted->second.quantity),
            std::max(fromFile.lastUsed, counted->second.lastUsed)};
}

void CUsageMemory::ApplyTo(CAgentFile& file) const {
    if (m_counted.empty()) {
        return;
    }
    for (const auto& agent : file.Agents()) {
        agent->SetUsage(Combined(*agent, agent->Usage()));
    }
}
