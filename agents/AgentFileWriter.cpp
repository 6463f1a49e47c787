#include "agents/AgentFileWriter.h"

#include "agents/AgentFileFormat.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/ByteReader.h"
#include "platform/FileCopy.h"
#include "platform/NewFile.h"

#include <filesystem>

namespace {

using namespace AgentFileFormat;

// Agent files are shared with the game and other users: readable by everyone.
constexpr mode_t kAgentFileMode = 0644;

// Appends little-endian values and zero-terminated strings.
class CByteSink {
public:
    explicit CByteSink(std::vector<std::uint8_t>& out) : m_out(out) {}

    void U8(std::uint8_t v) { m_out.push_back(v); }
    void U16(std::uint16_t v) {
        std::uint8_t bytes[2];
        StoreU16(bytes, v);
        Raw(bytes);
    }
    void U32(std::uint32_t v) {
        std::uint8_t bytes[4];
        StoreU32(bytes, v);
        Raw(bytes);
    }
    void String(std::string_view text) {
        m_out.insert(m_out.end(), text.begin(), text.end());
        U8(0);
    }
    void Raw(std::span<const std::uint8_t> bytes) {
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }

private:
    std::vector<std::uint8_t>& m_out;
};

std::vector<std::uint8_t> AgentChunkData(const CAgent& agent,
                                         std::span<const std::uint8_t> trailing) {
    std::vector<std::uint8_t> data;
    CByteSink sink(data);
    const CAgentUsage usage = agent.Usage();
    sink.U16(usage.quantity);
    sink.U32(usage.lastUsed);
    sink.U32(agent.ReuseInterval());
    const CAgentReserved& reserved = agent.Reserved();
    sink.U8(reserved.reserved1);
    sink.U8(reserved.reserved2);
    sink.U16(reserved.reserved3);
    sink.U32(reserved.reserved4);
    sink.U32(reserved.reserved5);
    sink.U16(reserved.reserved6);
    sink.U16(reserved.reserved7);
    sink.String(agent.Name());
    sink.String(agent.Description());
    sink.String(agent.InstallScript());
    sink.String(agent.RemoveScript());
    sink.U16(static_cast<std::uint16_t>(agent.Scripts().size()));
    for (const auto& script : agent.Scripts()) {
        sink.String(script);
    }
    sink.U16(static_cast<std::uint16_t>(agent.Dependencies().size()));
    for (const auto& reference : agent.Dependencies()) {
        sink.U16(static_cast<std::uint16_t>(reference.type));
        sink.String(reference.name);
    }
    const CAgentPicture& picture = agent.Picture();
    const bool empty = picture.Width() == 0 || picture.Height() == 0;
    const bool hasPixels = picture.HasPicture() && !empty;
    // A listed picture whose pixels could not be read is written as none.
    const bool keepsSize = hasPixels || empty;
    sink.U16(keepsSize ? static_cast<std::uint16_t>(picture.Width()) : 0);
    sink.U16(keepsSize ? static_cast<std::uint16_t>(picture.Height()) : 0);
    const std::size_t count = hasPixels ? std::size_t{picture.Width()} * picture.Height() : 0;
    for (std::size_t i = 0; i < count; ++i) {
        sink.U16(picture.Pixels()[i]);
    }
    sink.Raw(trailing);
    // The reader refuses shorter agent chunks; the padding reads as trailing bytes.
    if (data.size() < kMinAgentChunkSize) {
        data.resize(kMinAgentChunkSize, 0);
    }
    return data;
}

} // namespace

CAgentFileWriter::CAgentFileWriter() : m_bytes(std::begin(kMagic), std::end(kMagic)) {}

void CAgentFileWriter::AddAgent(const CAgent& agent, std::span<const std::uint8_t> trailing) {
    AddChunk(std::string_view(kAgentTag, kTagSize), AgentChunkData(agent, trailing));
}

void CAgentFileWriter::AddCarriedFile(ECarriedFileType type, std::string_view name,
                                      std::span<const std::uint8_t> contents,
                                      std::uint32_t reserved,
                                      std::span<const std::uint8_t> trailing) {
    std::vector<std::uint8_t> data;
    CByteSink sink(data);
    sink.U16(static_cast<std::uint16_t>(type));
    sink.U32(reserved);
    sink.U32(static_cast<std::uint32_t>(contents.size()));
    sink.String(name);
    sink.Raw(contents);
    sink.Raw(trailing);
    AddChunk(std::string_view(kFileTag, kTagSize), data);
}

void CAgentFileWriter::AddChunk(std::string_view tag, std::span<const std::uint8_t> data) {
    CByteSink sink(m_bytes);
    for (std::size_t i = 0; i < kTagSize; ++i) {
        sink.U8(i < tag.size() ? static_cast<std::uint8_t>(tag[i]) : ' ');
    }
    sink.U32(static_cast<std::uint32_t>(data.size()));
    sink.Raw(data);
}

void CAgentFileWriter::Save(const std::string& path) const {
    // Written beside the file and renamed over it, so that a write that fails
    // or is killed leaves the file as it was.
    std::string directory = std::filesystem::path(path).parent_path().string();
    directory = directory.empty() ? "./" : directory + "/";
    CNewFile file(directory, kAgentFileMode);
    if (!file.IsOpen() || !WriteAll(file.Get(), m_bytes.data(), m_bytes.size()) ||
        !file.Commit(path)) {
        ThrowStringId(IDS_ERROR_WRITING_FILE, path.c_str());
    }
}
