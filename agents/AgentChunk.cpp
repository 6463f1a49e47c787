#include "agents/AgentChunk.h"

#include "agents/AgentFileFormat.h"
#include "core/KitException.h"
#include "core/StringTable.h"

namespace {

std::string NeedString(CByteReader& reader) {
    return std::string(NeedInChunk(reader.ZeroTerminated()));
}

} // namespace

void FailChunkFormat() {
    ThrowStringId(IDS_UNEXPECTED_FILE_FORMAT);
}

void ParseAgentFields(CByteReader& reader, CAgent& agent) {
    agent.m_quantity = NeedInChunk(reader.U16());
    agent.m_lastUsed = NeedInChunk(reader.U32());
    agent.m_reuseInterval = NeedInChunk(reader.U32());
    agent.m_reserved1 = NeedInChunk(reader.U8());
    agent.m_reserved2 = NeedInChunk(reader.U8());
    agent.m_reserved3 = NeedInChunk(reader.U16());
    agent.m_reserved4 = NeedInChunk(reader.U32());
    agent.m_reserved5 = NeedInChunk(reader.U32());
    agent.m_reserved6 = NeedInChunk(reader.U16());
    agent.m_reserved7 = NeedInChunk(reader.U16());
    agent.m_name = NeedString(reader);
    agent.m_description = NeedString(reader);
    agent.m_installScript = NeedString(reader);
    agent.m_removeScript = NeedString(reader);
    agent.m_scriptCount = NeedInChunk(reader.U16());
    // Each script takes at least its terminator, so the chunk bounds the count.
    for (std::uint16_t i = 0; i < agent.m_scriptCount; ++i) {
        agent.m_scripts.push_back(NeedString(reader));
    }
    agent.m_dependencyCount = NeedInChunk(reader.U16());
    if (agent.m_dependencyCount > CAgent::kMaxDependencies) {
        FailChunkFormat();
    }
    agent.m_dependencies.reserve(agent.m_dependencyCount);
    for (std::uint16_t i = 0; i < agent.m_dependencyCount; ++i) {
        const auto type = static_cast<ECarriedFileType>(NeedInChunk(reader.U16()));
        agent.m_dependencies.push_back(AgentDependencyRef{type, NeedString(reader)});
    }
}

AgentPictureBytes ParsePictureBytes(CByteReader& reader) {
    AgentPictureBytes picture;
    picture.width = NeedInChunk(reader.U16());
    picture.height = NeedInChunk(reader.U16());
    if (picture.width != 0 && picture.height != 0) {
        picture.pixels =
            NeedInChunk(reader.Bytes(std::uint64_t{picture.width} * picture.height * 2));
    }
    return picture;
}

void DecodePixels(std::span<const std::uint8_t> bytes, std::uint32_t width, std::uint32_t height,
                  CAgentPicture& picture) {
    std::uint16_t* pixels = picture.Allocate(width, height, AgentFileFormat::kPicturePixelFormat);
    CByteReader(bytes).U16s(std::span(pixels, std::size_t{width} * height));
    picture.m_keyed = true;
}

CarriedFileHead ParseCarriedFileHead(CByteReader& reader) {
    CarriedFileHead head;
    head.type = static_cast<ECarriedFileType>(NeedInChunk(reader.U16()));
    head.reserved = NeedInChunk(reader.U32());
    head.size = NeedInChunk(reader.U32());
    head.name = NeedString(reader);
    return head;
}
