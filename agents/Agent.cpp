#include "agents/AgentChunk.h"
#include "agents/AgentFile.h"
#include "agents/AgentFileSource.h"
#include "core/KitException.h"

#include <new>

namespace {

std::uint64_t PixelBytes(std::uint32_t width, std::uint32_t height) {
    return std::uint64_t{width} * height * 2;
}

} // namespace

CAgent::CAgent(CAgentFields fields, CAgentPicture picture, const CAgentChunkPlace& place)
    : m_fields(std::move(fields)), m_place(place), m_picture(std::move(picture)) {}

const CAgentPicture& CAgent::Picture() const {
    CAgentPicture& picture = m_picture;
    if (picture.FileOffset() == 0) {
        return picture;
    }
    // A file that has gone or shrunk since it was listed shows no picture, as
    // the display has no way to report it; the next call tries again.
    try {
        CFileAgentSource source(m_place.file->Path());
        const std::uint64_t size = PixelBytes(picture.Width(), picture.Height());
        if (source.Remaining() < picture.FileOffset() + size) {
            return picture;
        }
        source.Skip(picture.FileOffset());
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        if (source.Read(bytes.data(), bytes.size()) == bytes.size()) {
            DecodePixels(bytes, picture.Width(), picture.Height(), picture);
        }
    } catch (const CKitException&) {
    } catch (const std::bad_alloc&) {
    }
    return picture;
}
