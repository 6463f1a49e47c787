#include "tests/tools/ToolAgents.h"

#include "agents/AgentFileWriter.h"

void SaveToolAgentFile(const std::string& path, const std::vector<ToolAgent>& agents,
                       const std::vector<ToolCarried>& carried) {
    CAgentFileWriter writer;
    for (const auto& wanted : agents) {
        CAgent agent;
        agent.m_name = wanted.name;
        agent.m_quantity = wanted.quantity;
        agent.m_lastUsed = wanted.lastUsed;
        agent.m_reuseInterval = wanted.reuseInterval;
        agent.m_scripts = {"scrp " + wanted.name + " 1", "scrp " + wanted.name + " 2"};
        agent.m_installScript = "inst " + wanted.name;
        agent.m_removeScript = "rscr " + wanted.name;
        for (const auto& reference : wanted.references) {
            agent.m_dependencies.push_back(reference);
            ++agent.m_dependencyCount;
        }
        writer.AddAgent(agent);
    }
    for (const auto& file : carried) {
        writer.AddCarriedFile(
            file.type, file.name,
            {reinterpret_cast<const std::uint8_t*>(file.contents.data()), file.contents.size()});
    }
    writer.Save(path);
}

std::pair<std::uint16_t, std::uint32_t> StoredUsage(const std::string& path, std::size_t index) {
    const CAgentFile file(path);
    const CAgent& agent = *file.m_agents.at(index);
    return {agent.m_quantity, agent.m_lastUsed};
}
