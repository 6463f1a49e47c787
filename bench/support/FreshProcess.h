#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What one measurement in a process of its own gave.
struct BenchFigure {
    double seconds = 0;
    double cpuSeconds = 0; // user and system
    double peakMiB = 0;
    long pageFaults = 0; // first touches of fresh memory, costly on some virtual machines
};

// Runs this program again as "PROGRAM --measure MODE FOLDER", so that the peak
// memory is the measurement's own, and takes the wall-clock and CPU seconds it
// prints. A
// measurement that fails ends the benchmark.
BenchFigure MeasureInFreshProcess(const std::string& mode, const std::string& folder);

// The measuring process's side: times `work` and prints its wall-clock and
// CPU seconds.
int PrintSecondsOf(const std::function<void()>& work);

// The agent files of a benchmark's folder, which must be `count`; a folder
// that cannot be listed ends the benchmark.
std::vector<std::string> BenchAgentFiles(const std::string& folder, std::size_t count);
// The same without a count to check.
std::vector<std::string> BenchAgentFiles(const std::string& folder);

// The baseline of the agent-file benchmarks: every byte of the files read once.
void ReadEveryByte(const std::vector<std::string>& paths);

// The MiB that the agent files carry in all: SB_BENCH_CARRIED_MIB when set,
// for quick runs, otherwise `standard`.
std::uint64_t CarriedMiB(std::uint64_t standard);
