#include "tests/support/AgentFiles.h"

#include "agents/AgentFileSource.h"
#include "agents/AgentFileWriter.h"

namespace {

constexpr int kPictureWidth = 20;
constexpr int kPictureHeight = 10;

CAgentFileWriter Writer(const std::vector<AgentDraft>& agents,
                        const std::vector<CarriedDraft>& carried) {
    CAgentFileWriter writer;
    for (const AgentDraft& draft : agents) {
        writer.AddAgent(MakeAgent(draft));
    }
    for (const CarriedDraft& file : carried) {
        writer.AddCarriedFile(file.type, file.name, Bytes(file.contents));
    }
    return writer;
}

} // namespace

CAgent MakeAgent(const AgentDraft& draft) {
    CAgent agent;
    agent.m_name = draft.name;
    agent.m_description = "About " + draft.name;
    agent.m_quantity = draft.quantity;
    agent.m_lastUsed = draft.lastUsed;
    agent.m_reuseInterval = draft.reuseInterval;
    agent.m_scripts = {"scrp 2 9 1 1,endm"};
    agent.m_scriptCount = 1;
    agent.m_installScript = "inst,new: simp " + draft.name + ",endm";
    agent.m_removeScript = "rscr,kill " + draft.name + ",endm";
    agent.m_dependencies = draft.references;
    agent.m_dependencyCount = static_cast<std::uint16_t>(draft.references.size());
    std::vector<std::uint16_t> pixels; // RGB 565: white, or black in the frame
    for (int i = 0; i < kPictureWidth * kPictureHeight; ++i) {
        const bool inside = i % kPictureWidth % (kPictureWidth - 1) != 0 &&
                            i / kPictureWidth % (kPictureHeight - 1) != 0;
        pixels.push_back(inside ? std::uint16_t{0xFFFF} : std::uint16_t{0x0000});
    }
    agent.m_picture.Create(pixels.data(), kPictureWidth, kPictureHeight, 1, true);
    return agent;
}

std::vector<std::uint8_t> AgentFileBytes(const std::vector<AgentDraft>& agents,
                                         const std::vector<CarriedDraft>& carried) {
    return Writer(agents, carried).Bytes();
}

void SaveAgentFile(const std::string& path, const std::vector<AgentDraft>& agents,
                   const std::vector<CarriedDraft>& carried) {
    Writer(agents, carried).Save(path);
}

std::unique_ptr<CAgentFile> LoadAgentBytes(const std::vector<std::uint8_t>& bytes,
                                           const std::string& path) {
    CMemoryAgentSource source(bytes);
    return std::make_unique<CAgentFile>(path, source);
}

std::pair<std::uint16_t, std::uint32_t> StoredUsage(const std::string& path, std::size_t index) {
    const CAgentFile file(path);
    return {file.m_agents.at(index)->m_quantity, file.m_agents.at(index)->m_lastUsed};
}
