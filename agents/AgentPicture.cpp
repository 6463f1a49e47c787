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

std::uint16_t* CAgentPicture::Allocate(std::uint32_t width, std::uint32_t height,
                                       std::uint32_t pixelFormat) {
    m_mask.reset();
    try {
        m_pixels = std::make_unique_for_overwrite<std::uint16_t[]>(std::size_t{width} * height);
    } catch (const std::bad_alloc&) {
        FailAllocation();
    }
    m_width = width;
    m_height = height;
    m_pixelFormat = pixelFormat;
    return m_pixels.get();
}

void CAgentPicture::Create(const std::uint16_t* pixels, std::uint32_t width, std::uint32_t height,
                           std::uint32_t pixelFormat, bool buildMask) {
    const std::size_t count = std::size_t{width} * height;
    std::copy(pixels, pixels + count, Allocate(width, height, pixelFormat));
    if (buildMask && count > 0) {
        BuildMask(pixels[0]);
    }
}

void CAgentPicture::BuildMask(std::uint16_t keyColour) {
    const std::size_t count = std::size_t{m_width} * m_height;
    m_mask.reset();
    try {
        m_mask = std::make_unique_for_overwrite<std::uint8_t[]>(count);
    } catch (const std::bad_alloc&) {
        FailAllocation();
    }
    const std::uint16_t* pixels = m_pixels.get();
    std::uint8_t* mask = m_mask.get();
    for (std::size_t i = 0; i < count; ++i) {
        mask[i] = pixels[i] == keyColour ? 0 : 255;
    }
}
