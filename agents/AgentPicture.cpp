#include "agents/AgentFile.h"
#include "app/KitException.h"

#include <algorithm>
#include <new>

namespace {

// Pictures report a memory shortage in English, whatever the user's language:
// the message must not depend on loading anything more.
[[noreturn]] void FailAllocation() {
    ThrowString("Error allocating memory");
}

} // namespace

void CAgentPicture::Create(const std::uint16_t* pixels, std::uint32_t width, std::uint32_t height,
                           std::uint32_t pixelFormat, bool buildMask) {
    const std::size_t count = std::size_t{width} * height;
    try {
        m_pixels = std::make_unique<std::uint16_t[]>(count);
    } catch (const std::bad_alloc&) {
        FailAllocation();
    }
    std::copy(pixels, pixels + count, m_pixels.get());
    m_width = width;
    m_height = height;
    m_pixelFormat = pixelFormat;
    m_mask.reset();
    if (buildMask && count > 0) {
        BuildMask(pixels[0]);
    }
}

void CAgentPicture::BuildMask(std::uint16_t keyColour) {
    const std::size_t count = std::size_t{m_width} * m_height;
    m_mask.reset();
    try {
        m_mask = std::make_unique<std::uint8_t[]>(count);
    } catch (const std::bad_alloc&) {
        FailAllocation();
    }
    for (std::size_t i = 0; i < count; ++i) {
        m_mask[i] = m_pixels[i] == keyColour ? 0 : 255;
    }
}
