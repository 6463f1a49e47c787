// Looking for conflicting carried files among 1,000 agent files that carry
// 1 GiB in all, in the worst case: every file carries an image of the same
// name and size, so every carried byte must be hashed. Measured beside reading
// every byte of the same files once; each figure comes from a fresh process,
// so its peak memory is its own. SB_BENCH_CARRIED_MIB sets a smaller carried
// total for quick runs.
#include "agents/AgentFile.h"
#include "agents/AgentFileWriter.h"
#include "agents/CarriedConflicts.h"
#include "bench/support/FreshProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kFileCount = 1000;
constexpr std::uint64_t kDefaultCarriedMiB = 1024;
constexpr int kRepetitions = 3;
constexpr double kTimeGoal = 1.2;
constexpr double kMemoryGoalMiB = 64;

void MakeFolder(const std::string& folder, std::uint64_t carriedPerFile) {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> contents(carriedPerFile, 0xA5);
    for (int i = 0; i < kFileCount; ++i) {
        CAgentFields agent;
        agent.name = "agent " + std::to_string(i);
        agent.usage.quantity = 1;
        agent.dependencies = {AgentDependencyRef{ECarriedFileType::kImage, "shared.s16"}};
        CAgentFileWriter writer;
        writer.AddAgent(CAgent(std::move(agent)));
        // Names differ in case only, as files from different authors do.
        writer.AddCarriedFile(ECarriedFileType::kImage, i % 2 == 0 ? "shared.s16" : "SHARED.S16",
                              contents);
        char name[32];
        std::snprintf(name, sizeof name, "agent%04d.kiv", i);
        writer.Save(folder + "/" + name);
    }
}

void FindConflicts(const std::string& folder) {
    CCarriedFileIndex index;
    for (const auto& path : BenchAgentFiles(folder, kFileCount)) {
        index.Add(CAgentFile(path));
    }
    if (!index.Conflicts().empty()) {
        std::exit(3);
    }
}

int Measure(const std::string& mode, const std::string& folder) {
    return PrintSecondsOf([&] {
        mode == "conflicts" ? FindConflicts(folder)
                            : ReadEveryByte(BenchAgentFiles(folder, kFileCount));
    });
}

// The two are measured in turns, so that a slow moment of a shared machine
// falls on both alike.
void MeasureBoth(const std::string& folder, BenchFigure& conflicts, BenchFigure& bytes) {
    for (int i = 0; i < kRepetitions; ++i) {
        for (auto [mode, figure] : {std::pair{"conflicts", &conflicts}, {"bytes", &bytes}}) {
            const BenchFigure run = MeasureInFreshProcess(mode, folder);
            figure->seconds = std::min(figure->seconds, run.seconds);
            figure->peakMiB = std::max(figure->peakMiB, run.peakMiB);
        }
    }
}

const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        return Measure(argv[2], argv[3]);
    }
    const std::uint64_t carriedMiB = CarriedMiB(kDefaultCarriedMiB);
    char pattern[] = "/tmp/bench-conflicts-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    const std::string folder = root + "/Objects";
    MakeFolder(folder, (carriedMiB << 20) / kFileCount);
    MeasureInFreshProcess("bytes", folder); // warms the page cache

    BenchFigure conflicts{1e9};
    BenchFigure bytes{1e9};
    MeasureBoth(folder, conflicts, bytes);
    const double ratio = conflicts.seconds / bytes.seconds;
    std::printf("%d agent files carrying %llu MiB, one name and size in all\n", kFileCount,
                static_cast<unsigned long long>(carriedMiB));
    std::printf("conflicts with xxHash       %9.4f s   peak %7.1f MiB\n", conflicts.seconds,
                conflicts.peakMiB);
    std::printf("baseline: read every byte   %9.4f s   peak %7.1f MiB\n", bytes.seconds,
                bytes.peakMiB);
    std::printf("time ratio %.2f (goal <= %.1f: %s)\n", ratio, kTimeGoal,
                Verdict(ratio <= kTimeGoal));
    std::printf("peak memory %.1f MiB (goal < %.0f MiB: %s)\n", conflicts.peakMiB, kMemoryGoalMiB,
                Verdict(conflicts.peakMiB < kMemoryGoalMiB));
    std::filesystem::remove_all(root);
    return 0;
}
