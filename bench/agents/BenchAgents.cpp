// Scanning an Objects folder of 1,000 agent files that carry 1 GiB in all, beside
// reading every byte of the same files and a lower bound that reads only the
// chunk headers. Each figure comes from a fresh process, so its peak memory is
// its own. SB_BENCH_CARRIED_MIB sets a smaller carried total for quick runs;
// SB_BENCH_FOLDER names a folder to make once and keep (for profiling).
#include "agents/AgentCatalogue.h"
#include "agents/AgentFileWriter.h"
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

constexpr int kFileCount = 1000;
constexpr std::uint64_t kDefaultCarriedMiB = 1024;
constexpr int kRepetitions = 3;

CAgent BenchAgent(int number) {
    CAgent agent;
    agent.m_name = "agent " + std::to_string(number);
    agent.m_description = "A bench agent carrying one large sound.";
    agent.m_quantity = 3;
    agent.m_installScript = "inst,new: simp bench,endm";
    agent.m_scripts = {"scrp 2 9 1 1,endm"};
    agent.m_dependencies[0] = AgentDependencyRef{1, "bench.wav"};
    agent.m_dependencyCount = 1;
    const std::vector<std::uint16_t> pixels(32 * 32, 0x1234);
    agent.m_picture.Create(pixels.data(), 32, 32, 1, true);
    return agent;
}

void MakeFolder(const std::string& folder, std::uint64_t carriedPerFile) {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> contents(carriedPerFile, 0x5A);
    for (int i = 0; i < kFileCount; ++i) {
        CAgentFileWriter writer;
        writer.AddAgent(BenchAgent(i));
        writer.AddCarriedFile(1, "bench.wav", contents);
        char name[32];
        std::snprintf(name, sizeof name, "bench%04d.kiv", i);
        writer.Save(folder + "/" + name);
    }
}

void Scan(const std::string& folder) {
    CAgentCatalogue catalogue;
    catalogue.ScanDirectory(folder);
    if (catalogue.m_agents.size() != kFileCount) {
        std::exit(3);
    }
}

// The least any reader must do: open each file and visit each chunk header.
void ReadChunkHeaders(const std::string& folder) {
    for (const auto& path : BenchAgentFiles(folder, kFileCount)) {
        const CFileDescriptor file(::open(path.c_str(), O_RDONLY));
        off_t at = 4;
        std::uint8_t header[8];
        while (::pread(file.Get(), header, sizeof header, at) == sizeof header) {
            at += 8 + static_cast<off_t>(*CByteReader(header + 4, 4).U32());
        }
    }
}

int Measure(const std::string& mode, const std::string& folder) {
    return PrintSecondsOf([&] {
        if (mode == "scan") {
            Scan(folder);
        } else if (mode == "bytes") {
            ReadEveryByte(BenchAgentFiles(folder, kFileCount));
        } else {
            ReadChunkHeaders(folder);
        }
    });
}

BenchFigure Best(const std::string& mode, const std::string& folder) {
    BenchFigure best{1e9, 0, 0};
    for (int i = 0; i < kRepetitions; ++i) {
        const BenchFigure figure = MeasureInFreshProcess(mode, folder);
        best.seconds = std::min(best.seconds, figure.seconds);
        best.peakMiB = std::max(best.peakMiB, figure.peakMiB);
        best.pageFaults = std::max(best.pageFaults, figure.pageFaults);
    }
    return best;
}

void Print(const char* label, const BenchFigure& figure) {
    std::printf("%-34s %9.4f s   peak %7.1f MiB   %6ld page faults\n", label, figure.seconds,
                figure.peakMiB, figure.pageFaults);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        return Measure(argv[2], argv[3]);
    }
    const std::uint64_t carriedMiB = CarriedMiB(kDefaultCarriedMiB);
    const std::uint64_t perFile = (carriedMiB << 20) / kFileCount;
    const char* kept = std::getenv("SB_BENCH_FOLDER");
    char pattern[] = "/tmp/bench-agents-XXXXXX";
    const std::string root = kept != nullptr ? kept : ::mkdtemp(pattern);
    const std::string folder = root + "/Objects";
    std::printf("%d agent files carrying %llu MiB in all (%llu bytes each)\n", kFileCount,
                static_cast<unsigned long long>(carriedMiB),
                static_cast<unsigned long long>(perFile));
    if (kept == nullptr || !std::filesystem::exists(folder)) {
        MakeFolder(folder, perFile);
    }
    MeasureInFreshProcess("bytes", folder); // warms the page cache

    const BenchFigure scan = Best("scan", folder);
    const BenchFigure headers = Best("headers", folder);
    const BenchFigure bytes = Best("bytes", folder);
    Print("scan with CAgentCatalogue", scan);
    Print("lower bound: chunk headers only", headers);
    Print("baseline: read every byte", bytes);
    std::printf("scan / lower bound:         %6.2fx   (goal: at most 1.5x)\n",
                scan.seconds / headers.seconds);
    std::printf("read every byte / scan:     %6.1fx   (goal: at least 10x)\n",
                bytes.seconds / scan.seconds);
    std::printf("peak memory of the scan:    %6.1f MiB (goal: below 64 MiB)\n", scan.peakMiB);
    if (kept == nullptr) {
        std::filesystem::remove_all(root);
    }
    return 0;
}
