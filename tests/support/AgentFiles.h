#pragma once

#include "agents/AgentFile.h"
#include "agents/Clock.h"

#include <span>
#include <string_view>
#include <utility>

// What a test says about an agent; everything else takes a default.
struct AgentDraft {
    std::string name;
    std::uint16_t quantity = CAgent::kUnlimited;
    std::uint32_t reuseInterval = 0;
    std::vector<AgentDependencyRef> references = {};
    std::uint32_t lastUsed = 0;
};

// A carried image (type 0) or sound (type 1).
struct CarriedDraft {
    std::uint16_t type = 0;
    std::string name;
    std::string contents;
};

// An agent with a 20 x 10 picture (white in a black frame, black being its first pixel and so
// transparent), the description "About <name>", one event script, and installation and removal
// scripts naming it.
CAgent MakeAgent(const AgentDraft& draft);
// The bytes of an agent file holding the agents, then the carried files.
std::vector<std::uint8_t> AgentFileBytes(const std::vector<AgentDraft>& agents,
                                         const std::vector<CarriedDraft>& carried = {});
void SaveAgentFile(const std::string& path, const std::vector<AgentDraft>& agents,
                   const std::vector<CarriedDraft>& carried = {});
// Agent-file bytes read from memory under `path`.
std::unique_ptr<CAgentFile> LoadAgentBytes(const std::vector<std::uint8_t>& bytes,
                                           const std::string& path = "mem.kiv");
// Quantity and last-used time as the file holds them now, for agent `index`.
std::pair<std::uint16_t, std::uint32_t> StoredUsage(const std::string& path, std::size_t index);

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}
inline std::string Text(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// Sets the clock that usage accounting reads, for the lifetime of the object.
class ScopedClock {
public:
    explicit ScopedClock(std::uint32_t now) : m_now(now) {
        SetClockSource([this] { return m_now; });
    }
    ~ScopedClock() { SetClockSource({}); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

    void Set(std::uint32_t now) { m_now = now; }

private:
    std::uint32_t m_now;
};
