#pragma once

#include "agents/AgentFile.h"
#include "agents/AgentFileSource.h"
#include "agents/AgentFileWriter.h"
#include "agents/Clock.h"

#include <utility>

// What a test says about an agent; everything else takes a default.
struct AgentDraft {
    std::string name;
    std::uint16_t quantity = CAgent::kUnlimited;
    std::uint32_t reuseInterval = 0;
    std::vector<AgentDependencyRef> references = {};
    std::uint32_t lastUsed = 0;
};

// Test data names the carried-file types briefly.
using enum ECarriedFileType;

struct CarriedDraft {
    ECarriedFileType type = kImage;
    std::string name;
    std::string contents;
};

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}
inline std::string Text(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// The description "About <name>", one event script, and install and remove scripts naming it.
inline CAgentFields AgentFields(const AgentDraft& draft) {
    CAgentFields fields;
    fields.name = draft.name;
    fields.description = "About " + draft.name;
    fields.usage = {draft.quantity, draft.lastUsed};
    fields.reuseInterval = draft.reuseInterval;
    fields.scripts = {"scrp 2 9 1 1,endm"};
    fields.installScript = "inst,new: simp " + draft.name + ",endm";
    fields.removeScript = "rscr,kill " + draft.name + ",endm";
    fields.dependencies = draft.references;
    return fields;
}

// A picture of `width` x `height` 5-6-5 pixels, keyed.
inline CAgentPicture KeyedPicture(const std::vector<std::uint16_t>& pixels, std::uint32_t width,
                                  std::uint32_t height) {
    CAgentPicture picture;
    picture.Create(pixels.data(), width, height, 1, true);
    return picture;
}

// The fields with a 20 x 10 picture, white in a black frame, the black transparent.
inline CAgent MakeAgent(CAgentFields fields) {
    constexpr int kWidth = 20;
    constexpr int kHeight = 10;
    std::vector<std::uint16_t> pixels; // RGB 565
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const bool inside = i % kWidth % (kWidth - 1) != 0 && i / kWidth % (kHeight - 1) != 0;
        pixels.push_back(inside ? std::uint16_t{0xFFFF} : std::uint16_t{0x0000});
    }
    return CAgent(std::move(fields), KeyedPicture(pixels, kWidth, kHeight));
}
inline CAgent MakeAgent(const AgentDraft& draft) {
    return MakeAgent(AgentFields(draft));
}

// A writer holding the agents, then the carried files.
inline CAgentFileWriter AgentFileWriter(const std::vector<AgentDraft>& agents,
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
inline std::vector<std::uint8_t> AgentFileBytes(const std::vector<AgentDraft>& agents,
                                                const std::vector<CarriedDraft>& carried = {}) {
    return AgentFileWriter(agents, carried).Bytes();
}
inline void SaveAgentFile(const std::string& path, const std::vector<AgentDraft>& agents,
                          const std::vector<CarriedDraft>& carried = {}) {
    AgentFileWriter(agents, carried).Save(path);
}

// Agent-file bytes read from memory under `path`.
inline std::unique_ptr<CAgentFile> LoadAgentBytes(const std::vector<std::uint8_t>& bytes,
                                                  const std::string& path = "mem.kiv") {
    CMemoryAgentSource source(bytes);
    return std::make_unique<CAgentFile>(path, source);
}
// Quantity and last-used time as the file holds them now, for agent `index`.
inline std::pair<std::uint16_t, std::uint32_t> StoredUsage(const std::string& path,
                                                           std::size_t index) {
    const CAgentFile file(path);
    const CAgentUsage usage = file.Agents().at(index)->Usage();
    return {usage.quantity, usage.lastUsed};
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
