#pragma once

#include <cstdint>
#include <functional>

// The calendar time that usage accounting reads: whole seconds since
// 1970-01-01 00:00 UTC. Real time unless a source has been set.
std::uint32_t CurrentTime();

// Replaces the time source (tests); an empty function restores real time.
void SetClockSource(std::function<std::uint32_t()> source);
