#include "agents/Clock.h"

#include <ctime>

namespace {

std::function<std::uint32_t()>& ClockSource() {
    static std::function<std::uint32_t()> source;
    return source;
}

} // namespace

std::uint32_t CurrentTime() {
    const auto& source = ClockSource();
    // Agent files store the time in 32 bits, so it wraps like the stored value.
    return source ? source() : static_cast<std::uint32_t>(std::time(nullptr));
}

void SetClockSource(std::function<std::uint32_t()> source) {
    ClockSource() = std::move(source);
}
