#pragma once

#include "platform/FileIdentity.h"

#include <cstddef>
#include <optional>
#include <string>

class CAgentCatalogue;

// An agent told apart in a way that outlives the catalogue it came from: its
// file, its place in that file and its name. A page keeps its selection
// through a reload of the catalogue with it. The version of the file tells
// whether the agent was read again.
struct AgentIdentity {
    std::string path;
    std::size_t index = 0;
    std::string name;
    CFileIdentity version;

    bool operator==(const AgentIdentity&) const = default;
};

// The identity of the agent at `position` of the catalogue; nothing for -1.
std::optional<AgentIdentity> IdentifyAgent(const CAgentCatalogue& catalogue, int position);

// The position of that agent in a catalogue loaded since: the agent of that
// file with that name, at the same place when the file still has it there;
// -1 when there is none.
int FindAgent(const CAgentCatalogue& catalogue, const std::optional<AgentIdentity>& identity);
