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

CAgentFields ParseAgentFields(CByteReader& reader) {
    CAgentFields fields;
    fields.usage.quantity = NeedInChunk(reader.U16());
    fields.usage.lastUsed = NeedInChunk(reader.U32());
    fields.reuseInterval = NeedInChunk(reader.U32());
    CAgentReserved& reserved = fields.reserved;
    reserved.reserved1 = NeedInChunk(reader.U8());
    reserved.reserved2 = NeedInChunk(reader.U8());
    reserved.reserved3 = NeedInChunk(reader.U16());
    reserved.reserved4 = NeedInChunk(reader.U32());
    reserved.reserved5 = NeedInChunk(reader.U32());
    reserved.reserved6 = NeedInChunk(reader.U16());
    reserved.reserved7 = NeedInChunk(reader.U16());
    fields.name = NeedString(reader);
    fields.description = NeedString(reader);
    fields.installScript = NeedString(reader);
    fields.removeScript = NeedString(reader);
    const std::uint16_t scriptCount = NeedInChunk(reader.U16());
    // Each script takes at least its terminator, so the chunk bounds the count.
    for (std::uint16_t i = 0; i < scriptCount; ++i) {
        fields.scripts.push_back(NeedString(reader));
    }
    const std::uint16_t dependencyCount = NeedInChunk(reader.U16());
    if (dependencyCount > CAgent::kMaxDependencies) {
        FailChunkFormat();
    }
    fields.dependencies.reserve(dependencyCount);
    for (std::uint16_t i = 0; i < dependencyCount; ++i) {
        const auto type = static_cast<ECarriedFileType>(NeedInChunk(reader.U16()));
        fields.dependencies.push_back(AgentDependencyRef{type, NeedString(reader)});
    }
    return fields;
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
    std::uint16_t* pixels =
        picture.Allocate(width, height, AgentFileFormat::kPicturePixelFormat, true);
    CByteReader(bytes).U16s(std::span(pixels, std::size_t{width} * height));
}

CarriedFileHead ParseCarriedFileHead(CByteReader& reader) {
    CarriedFileHead head;
    head.type = static_cast<ECarriedFileType>(NeedInChunk(reader.U16()));
    head.reserved = NeedInChunk(reader.U32());
    head.size = NeedInChunk(reader.U32());
    head.name = NeedString(reader);
    return head;
}
