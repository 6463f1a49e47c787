#include "ui/AgentIdentity.h"

#include "agents/AgentCatalogue.h"

std::optional<AgentIdentity> IdentifyAgent(const CAgentCatalogue& catalogue, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= catalogue.Agents().size()) {
        return std::nullopt;
    }
    const CAgent* agent = catalogue.Agents()[static_cast<std::size_t>(position)];
    const auto& siblings = agent->File()->Agents();
    std::size_t index = 0;
    while (siblings[index].get() != agent) {
        ++index;
    }
    return AgentIdentity{agent->File()->Path(), index, agent->Name(), agent->File()->Identity()};
}

int FindAgent(const CAgentCatalogue& catalogue, const std::optional<AgentIdentity>& identity) {
    if (!identity) {
        return -1;
    }
    int found = -1;
    int position = 0;
    // The flat list holds the agents file by file, in file order.
    for (const auto& file : catalogue.Files()) {
        for (std::size_t index = 0; index < file->Agents().size(); ++index, ++position) {
            if (file->Path() != identity->path || file->Agents()[index]->Name() != identity->name) {
                continue;
            }
            if (index == identity->index) {
                return position;
            }
            if (found == -1) {
                found = position;
            }
        }
    }
    return found;
}
