#pragma once

#include <string>

// Enough calls for a steady median, few enough to finish within a minute at
// a millisecond a call.
inline constexpr unsigned long kMaxBenchmarkCalls = 100000;

// Calls the running game's macro method count times over one IDispatch, as the
// raw COM call the bridge's round trip is measured against, and prints
// "median_us" and the median time of a call in microseconds. Throws
// std::runtime_error when the game is not running or a call fails.
void RunMacroBenchmark(unsigned long count, const std::wstring& macro);
