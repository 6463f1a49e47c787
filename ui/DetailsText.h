#pragma once

#include <cstdint>
#include <string>

// How long an agent must still wait, as shown over its picture: whole days
// alone, else hours, minutes and seconds, down to a bare count of the last ten
// seconds.
std::string FormatWaitText(std::int32_t seconds);

// The uses left: the number, or "Infinite" in the user's language.
std::string FormatQuantityText(std::uint16_t quantity);
