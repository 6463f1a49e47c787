// Scanning an Objects folder of agent files with CAgentCatalogue, beside
//   the least work any reader must do to list the agents: open each file,
//   read each chunk header and each agent chunk's bytes, skip carried contents
//   (files in the page cache);
//   reading every byte of the same files, both evicted from the page cache
//   before each run, as at a player's first start after booting;
//   the same scan of ten times as many files, per file and in peak memory.
// Each figure comes from a fresh process, so its peak memory is its own; the
// cached figures and their baselines are measured in turns.
// SB_BENCH_CARRIED_MIB sets a smaller carried total for quick runs;
// SB_BENCH_FOLDER names a folder to make once and keep (for profiling).
#include "agents/AgentCatalogue.h"
#include "agents/AgentFileFormat.h"
#include "agents/AgentFileListing.h"
#include "agents/AgentFileWriter.h"
#include "bench/agents/PageCache.h"
#include "bench/support/FreshProcess.h"
#include "platform/ByteReader.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace AgentFileFormat;

constexpr int kFileCount = 1000;
constexpr int kManyFileCount = 10000;
constexpr std::uint64_t kDefaultCarriedMiB = 1024;
// Cold runs each wait on the disk for a second or more; three show a steady best.
constexpr int kColdRepetitions = 3;
// Cached runs take milliseconds, and another program's moment on a shared
// machine moves one of them by a third: the best of fifteen, taken in turns
// with the baselines, is the undisturbed figure of both.
constexpr int kCachedRounds = 15;
// A run whose files kept more of their pages cached than this was not cold.
constexpr double kMaxCachedShare = 0.01;

constexpr double kLeastWorkGoal = 1.5;
constexpr double kColdGoal = 20;
constexpr double kPerFileGoal = 1.2;
constexpr double kPeakGoalMiB = 32;

struct Figure {
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMiB = 0;
    double cachedShare = 0; // of the files' pages, after eviction; 0 for warm runs
};

CAgent BenchAgent(int number) {
    CAgentFields agent;
    agent.name = "agent " + std::to_string(number);
    agent.description = "A bench agent carrying one large sound.";
    agent.usage.quantity = 3;
    agent.installScript = "inst,new: simp bench,endm";
    agent.scripts = {"scrp 2 9 1 1,endm"};
    agent.dependencies = {AgentDependencyRef{ECarriedFileType::kSound, "bench.wav"}};
    const std::vector<std::uint16_t> pixels(32 * 32, 0x1234);
    CAgentPicture picture;
    picture.Create(pixels.data(), 32, 32, 1, true);
    return CAgent(std::move(agent), std::move(picture));
}

void MakeFolder(const std::string& folder, int count, std::uint64_t carriedPerFile) {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> contents(carriedPerFile, 0x5A);
    for (int i = 0; i < count; ++i) {
        CAgentFileWriter writer;
        writer.AddAgent(BenchAgent(i));
        writer.AddCarriedFile(ECarriedFileType::kSound, "bench.wav", contents);
        char name[32];
        std::snprintf(name, sizeof name, "bench%05d.kiv", i);
        writer.Save(folder + "/" + name);
    }
}

// The catalogue outlives the measured work: the applet keeps what it listed,
// and freeing it is no part of listing.
int MeasureScan(const std::string& folder) {
    CAgentCatalogue catalogue;
    const int status = PrintSecondsOf([&] { catalogue.ScanDirectory(folder); });
    if (catalogue.Agents().empty()) {
        std::exit(3);
    }
    return status;
}

// What any reader must do to list the agents: each chunk header, and each
// agent chunk's bytes into memory (unparsed); carried contents are skipped.
void ReadLeastWork(const std::string& folder) {
    std::vector<std::uint8_t> chunk;
    for (const auto& path : BenchAgentFiles(folder)) {
        const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        off_t at = kTagSize;
        std::uint8_t header[kChunkHeaderSize];
        while (::pread(file.Get(), header, sizeof header, at) == sizeof header) {
            const std::uint32_t length = *CByteReader(header + kTagSize, 4).U32();
            at += kChunkHeaderSize;
            if (std::memcmp(header, kAgentTag, kTagSize) == 0) {
                chunk.resize(std::max<std::size_t>(chunk.size(), length));
                if (::pread(file.Get(), chunk.data(), length, at) != length) {
                    std::exit(3);
                }
            }
            at += length;
        }
    }
}

int Measure(const std::string& mode, const std::string& folder) {
    if (mode == "scan") {
        return MeasureScan(folder);
    }
    return PrintSecondsOf([&] {
        if (mode == "bytes") {
            ReadEveryByte(BenchAgentFiles(folder));
        } else {
            ReadLeastWork(folder);
        }
    });
}

// One measurement in a fresh process of this program.
Figure Run(const std::string& mode, const std::string& folder) {
    const BenchFigure figure = MeasureInFreshProcess(mode, folder);
    return {figure.seconds, figure.cpuSeconds, figure.peakMiB, 0};
}

// Keeps the fastest times and the largest peak and cached share seen.
void KeepBest(Figure& best, const Figure& figure) {
    best.seconds = std::min(best.seconds, figure.seconds);
    best.cpuSeconds = std::min(best.cpuSeconds, figure.cpuSeconds);
    best.peakMiB = std::max(best.peakMiB, figure.peakMiB);
    best.cachedShare = std::max(best.cachedShare, figure.cachedShare);
}

constexpr Figure kNoFigure{1e9, 1e9, 0, 0};

// The best of kColdRepetitions runs, each after evicting the folder's files,
// with the largest share of them that stayed cached.
Figure BestCold(const std::string& mode, const std::string& folder) {
    Figure best = kNoFigure;
    const auto paths = BenchAgentFiles(folder);
    for (int i = 0; i < kColdRepetitions; ++i) {
        const double cached = EvictFromPageCache(paths);
        Figure figure = Run(mode, folder);
        figure.cachedShare = cached;
        KeepBest(best, figure);
    }
    return best;
}

// One measurement with its files cached.
struct CachedRun {
    const char* mode;
    std::string folder;
    Figure best = kNoFigure;
};

// Runs each measurement once a round, in turns, for kCachedRounds rounds, so
// that a busy moment of the machine falls on the figures and their baselines
// alike, and keeps each one's best.
void BestCachedInTurns(std::vector<CachedRun>& runs) {
    for (int round = 0; round < kCachedRounds; ++round) {
        for (CachedRun& run : runs) {
            KeepBest(run.best, Run(run.mode, run.folder));
        }
    }
}

const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

void PrintColdness(const char* what, const Figure& figure) {
    if (figure.cachedShare > kMaxCachedShare) {
        std::printf("eviction did not take effect for %s: %.1f %% of the pages stayed cached\n",
                    what, figure.cachedShare * 100);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        return Measure(argv[2], argv[3]);
    }
    const char* configured = std::getenv("SB_BENCH_CARRIED_MIB");
    const std::uint64_t carriedMiB =
        configured ? std::strtoull(configured, nullptr, 10) : kDefaultCarriedMiB;
    const char* kept = std::getenv("SB_BENCH_FOLDER");
    char pattern[] = "/tmp/bench-agents-XXXXXX";
    const std::string root = kept != nullptr ? kept : ::mkdtemp(pattern);
    const std::string folder = root + "/Objects";
    const std::string many = root + "/Objects 10000";
    std::printf("%d agent files carrying %llu MiB in all; %d files carrying as much\n", kFileCount,
                static_cast<unsigned long long>(carriedMiB), kManyFileCount);
    if (kept == nullptr || !std::filesystem::exists(folder)) {
        MakeFolder(folder, kFileCount, (carriedMiB << 20) / kFileCount);
        MakeFolder(many, kManyFileCount, (carriedMiB << 20) / kManyFileCount);
    }

    const Figure coldScan = BestCold("scan", folder);
    const Figure coldBytes = BestCold("bytes", folder);
    Run("bytes", folder); // brings the files back into the page cache
    Run("bytes", many);
    std::vector<CachedRun> cached{
        {"scan", folder}, {"least", folder}, {"scan", many}, {"least", many}};
    BestCachedInTurns(cached);
    const Figure& scan = cached[0].best;
    const Figure& least = cached[1].best;
    const Figure& manyScan = cached[2].best;
    const Figure& manyLeast = cached[3].best;

    PrintColdness("the scan", coldScan);
    PrintColdness("reading every byte", coldBytes);
    // The cached figures are CPU time, which other work on a shared machine
    // moves less than the wall clock; the cold ones wait on the disk.
    const double perFile = scan.cpuSeconds / kFileCount * 1e6;
    const double manyPerFile = manyScan.cpuSeconds / kManyFileCount * 1e6;
    std::printf("scan of %d files, cached, CPU time  %.2f ms | least work: chunk headers and "
                "agent chunks  %.2f ms | ratio %.2f (goal <= %.1f: %s)\n",
                kFileCount, scan.cpuSeconds * 1e3, least.cpuSeconds * 1e3,
                scan.cpuSeconds / least.cpuSeconds, kLeastWorkGoal,
                Verdict(scan.cpuSeconds <= kLeastWorkGoal * least.cpuSeconds));
    std::printf("scan of %d files, cold cache  %.2f ms | read every byte, cold  %.2f ms | ratio "
                "%.1f (goal >= %.0f times faster: %s)\n",
                kFileCount, coldScan.seconds * 1e3, coldBytes.seconds * 1e3,
                coldBytes.seconds / coldScan.seconds, kColdGoal,
                Verdict(coldBytes.seconds >= kColdGoal * coldScan.seconds));
    std::printf("scan CPU time per file, %d files  %.2f us | per file at %d files  %.2f us | ratio "
                "%.2f (goal <= %.1f: %s)\n",
                kManyFileCount, manyPerFile, kFileCount, perFile, manyPerFile / perFile,
                kPerFileGoal, Verdict(manyPerFile <= kPerFileGoal * perFile));
    std::printf("peak memory of the scan, %d files  %.1f MiB | least work, %d files  %.1f MiB | "
                "ratio %.2f (goal < %.0f MiB: %s)\n",
                kManyFileCount, manyScan.peakMiB, kManyFileCount, manyLeast.peakMiB,
                manyScan.peakMiB / manyLeast.peakMiB, kPeakGoalMiB,
                Verdict(manyScan.peakMiB < kPeakGoalMiB));
    if (kept == nullptr) {
        std::filesystem::remove_all(root);
    }
    return 0;
}
