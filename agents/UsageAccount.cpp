#include "agents/UsageAccount.h"

#include "agents/AgentChunkDigest.h"
#include "agents/AgentFileFormat.h"
#include "agents/Availability.h"
#include "agents/Clock.h"
#include "agents/UsageMemory.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/ByteReader.h"
#include "platform/FileLock.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <optional>

namespace {

using namespace AgentFileFormat;

// The agent's file, locked for one read or one count. A failure to open, lock,
// read or write it raises `failureId` with its path.
class CLockedAgentFile {
public:
    CLockedAgentFile(const CAgent& agent, int flags, unsigned failureId)
        : m_agent(agent), m_path(agent.File()->Path()), m_file(m_path, flags),
          m_failureId(failureId) {
        if (!m_file.IsHeld()) {
            Fail();
        }
    }

    // The data of the chunk at the agent's offset; nothing unless an agent
    // chunk of the agent's length is there.
    std::optional<std::vector<std::uint8_t>> ReadChunk() const {
        std::uint8_t header[kChunkHeaderSize];
        if (!ReadAt(header, kChunkHeaderSize, m_agent.Place().offset) ||
            std::memcmp(header, kAgentTag, kTagSize) != 0 ||
            CByteReader(header + kTagSize, 4).U32() != m_agent.Place().length) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> data = Buffer(m_agent.Place().length);
        if (!ReadAt(data.data(), data.size(), m_agent.Place().offset + kChunkHeaderSize)) {
            return std::nullopt;
        }
        return data;
    }

    void WriteUsage(const CAgentUsage& usage) const {
        std::uint8_t bytes[kUsageSize];
        StoreU16(bytes, usage.quantity);
        StoreU32(bytes + 2, usage.lastUsed);
        if (::pwrite(m_file.Get(), bytes, kUsageSize, m_agent.Place().offset + kChunkHeaderSize) !=
            static_cast<ssize_t>(kUsageSize)) {
            Fail();
        }
    }

    // The version of the file as it is now.
    CFileIdentity Identity() const {
        const auto identity = FileIdentityOf(m_file.Get());
        if (!identity) {
            Fail();
        }
        return *identity;
    }

    [[noreturn]] void Fail() const { ThrowStringId(m_failureId, m_path.c_str()); }

private:
    // Agent chunks can be large; no memory for one is the program's message.
    static std::vector<std::uint8_t> Buffer(std::size_t size) {
        try {
            return std::vector<std::uint8_t>(size);
        } catch (const std::bad_alloc&) {
            ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
        }
    }

    // False when the file ends first.
    bool ReadAt(std::uint8_t* out, std::size_t count, std::uint64_t offset) const {
        const ssize_t got = ::pread(m_file.Get(), out, count, static_cast<off_t>(offset));
        if (got < 0) {
            Fail();
        }
        return static_cast<std::size_t>(got) == count;
    }

    const CAgent& m_agent;
    const std::string& m_path;
    CLockedFile m_file;
    unsigned m_failureId;
};

// An agent chunk holds at least its fixed numbers, so both are there.
CAgentUsage UsageIn(const std::vector<std::uint8_t>& data) {
    CByteReader reader(data);
    const std::uint16_t quantity = reader.U16().value();
    return {quantity, reader.U32().value()};
}

bool EqualApartFromUsage(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin() + kUsageSize, a.end(), b.begin() + kUsageSize);
}

} // namespace

CAgentUsage UsageAfterOneUse(const CAgentUsage& before, std::uint32_t now) {
    const bool counted = before.quantity != 0 && before.quantity != CAgent::kUnlimited;
    return {static_cast<std::uint16_t>(before.quantity - (counted ? 1 : 0)), now};
}

std::vector<std::uint8_t> ReadAvailableChunk(CAgent& agent, const CUsageMemory& memory) {
    const CLockedAgentFile file(agent, O_RDONLY, IDS_ERROR_READING_FILE);
    auto data = file.ReadChunk();
    // Anything but this agent at its offset means the file was changed since
    // it was read, and its uses are another agent's.
    if (!data || AgentChunkDigest(*data) != agent.Place().digest) {
        ThrowStringId(IDS_UNEXPECTED_FILE_FORMAT);
    }
    const CAgentUsage usage = memory.Combined(agent, UsageIn(*data));
    RequireAvailable(agent, usage);
    agent.SetUsage(usage);
    return std::move(*data);
}

void CountUse(CAgent& agent, const std::vector<std::uint8_t>& asRead, CUsageMemory& memory) {
    const std::uint32_t now = CurrentTime();
    try {
        const CLockedAgentFile file(agent, O_RDWR, IDS_ERROR_WRITING_FILE);
        const auto data = file.ReadChunk();
        // Another agent there now would take this one's use in its own bytes.
        if (!data || !EqualApartFromUsage(*data, asRead)) {
            ThrowStringId(IDS_USE_NOT_COUNTED, agent.File()->Path().c_str());
        }
        const CAgentUsage after = UsageAfterOneUse(memory.Combined(agent, UsageIn(*data)), now);
        file.WriteUsage(after);
        // Taken under the lock, so that only someone else's change makes the
        // file look changed.
        agent.File()->WroteUsage(file.Identity());
        agent.SetUsage(after);
        memory.Forget(agent);
    } catch (const CKitException&) {
        agent.SetUsage(UsageAfterOneUse(agent.Usage(), now));
        memory.Remember(agent);
        throw;
    }
}
