#include "agents/AgentFile.h"
#include "core/KitException.h"

#include <algorithm>
#include <new>

namespace {

// Pictures report a memory shortage in English, whatever the user's language:
// the message must not depend on loading anything more.
[[noreturn]] void FailAllocation() {
    ThrowString("Error allocating memory");
}

} // namespace

CAgentPicture CAgentPicture::WithoutPixels(std::uint32_t width, std::uint32_t height) {
    CAgentPicture picture;
    picture.m_width = width;
    picture.m_height = height;
    return picture;
}

CAgentPicture CAgentPicture::InFile(std::uint32_t width, std::uint32_t height,
                                    std::uint32_t pixelFormat, std::uint32_t fileOffset) {
    CAgentPicture picture = WithoutPixels(width, height);
    picture.m_pixelFormat = pixelFormat;
    picture.m_fileOffset = fileOffset;
    return picture;
}

std::uint16_t* CAgentPicture::Allocate(std::uint32_t width, std::uint32_t height,
                                       std::uint32_t pixelFormat, bool keyed) {
    try {
        m_pixels = std::make_unique_for_overwrite<std::uint16_t[]>(std::size_t{width} * height);
    } catch (const std::bad_alloc&) {
        FailAllocation();
    }
    m_width = width;
    m_height = height;
    m_pixelFormat = pixelFormat;
    m_keyed = keyed;
    m_fileOffset = 0;
    return m_pixels.get();
}

void CAgentPicture::Create(const std::uint16_t* pixels, std::uint32_t width, std::uint32_t height,
                           std::uint32_t pixelFormat, bool keyed) {
    const std::size_t count = std::size_t{width} * height;
    std::copy(pixels, pixels + count, Allocate(width, height, pixelFormat, keyed));
}
