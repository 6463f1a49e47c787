// Installing a 500 MB carried file as injection does (a temporary file beside
// the destination, the bytes copied in, flushed, renamed into place), beside
// `cp` of a plain file of the same size followed by `sync` of the copy, so that
// both have put the bytes on the disk. Both sources are read once first, so
// both copies start from the page cache; each run is a fresh process, so its
// peak memory is its own. SB_BENCH_CARRIED_MB sets a smaller size.
#include "agents/AgentFile.h"
#include "agents/AgentFileWriter.h"
#include "agents/Extraction.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kDefaultMegabytes = 500;
constexpr int kRepetitions = 3;
constexpr double kThroughputGoal = 0.9;
constexpr double kPeakGoalMiB = 16;

struct Figure {
    double seconds = 0;
    double peakMiB = 0;
};

// Runs the program to its end; its wall-clock time and peak memory.
Figure RunProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", arguments[0].c_str());
        std::exit(1);
    }
    return {elapsed.count(), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

int Extract(const std::string& agentFile, const std::string& directory) {
    const CAgentFile file(agentFile);
    ExtractCarriedFile(*file.CarriedFiles().at(0), directory);
    return 0;
}

void ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(1 << 20);
    while (in.read(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
}

const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--extract") == 0) {
        return Extract(argv[2], argv[3]);
    }
    const char* configured = std::getenv("SB_BENCH_CARRIED_MB");
    const std::uint64_t megabytes =
        configured ? std::strtoull(configured, nullptr, 10) : kDefaultMegabytes;
    const std::uint64_t size = megabytes * 1000 * 1000;
    char pattern[] = "/tmp/bench-extraction-XXXXXX";
    const fs::path root = ::mkdtemp(pattern);
    const fs::path agentFile = root / "big.kiv";
    const fs::path plain = root / "plain.wav";
    const fs::path sounds = root / "Sounds";
    fs::create_directory(sounds);
    {
        std::vector<std::uint8_t> contents(size);
        for (std::size_t i = 0; i < contents.size(); ++i) {
            contents[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
        }
        CAgentFileWriter writer;
        writer.AddCarriedFile(ECarriedFileType::kSound, "big.wav", contents);
        writer.Save(agentFile.string());
        std::ofstream(plain, std::ios::binary)
            .write(reinterpret_cast<const char*>(contents.data()),
                   static_cast<std::streamsize>(contents.size()));
    }
    ReadWhole(agentFile);
    ReadWhole(plain);

    Figure extraction{1e9, 0};
    Figure copy{1e9, 0};
    const std::string copied = (root / "copy.wav").string();
    for (int i = 0; i < kRepetitions; ++i) {
        fs::remove(sounds / "big.wav");
        const Figure run =
            RunProcess({"/proc/self/exe", "--extract", agentFile.string(), sounds.string() + "/"});
        extraction.seconds = std::min(extraction.seconds, run.seconds);
        extraction.peakMiB = std::max(extraction.peakMiB, run.peakMiB);
        fs::remove(copied);
        const Figure cp = RunProcess({"cp", plain.string(), copied});
        const Figure sync = RunProcess({"sync", copied});
        copy.seconds = std::min(copy.seconds, cp.seconds + sync.seconds);
        copy.peakMiB = std::max({copy.peakMiB, cp.peakMiB, sync.peakMiB});
    }
    if (fs::file_size(sounds / "big.wav") != size) {
        std::fprintf(stderr, "the extracted file has the wrong size\n");
        return 1;
    }
    const double rate = static_cast<double>(size) / 1e6 / extraction.seconds;
    const double cpRate = static_cast<double>(size) / 1e6 / copy.seconds;
    std::printf("extraction of a %llu MB carried file  %.0f ms (%.0f MB/s) | cp and sync of the "
                "copy  %.0f ms (%.0f MB/s) | ratio %.2f (goal >= %.1f of cp's throughput: %s)\n",
                static_cast<unsigned long long>(megabytes), extraction.seconds * 1e3, rate,
                copy.seconds * 1e3, cpRate, rate / cpRate, kThroughputGoal,
                Verdict(rate >= kThroughputGoal * cpRate));
    std::printf("peak memory of the extraction  %.1f MiB | cp  %.1f MiB | ratio %.2f (goal < %.0f "
                "MiB: %s)\n",
                extraction.peakMiB, copy.peakMiB, extraction.peakMiB / copy.peakMiB, kPeakGoalMiB,
                Verdict(extraction.peakMiB < kPeakGoalMiB));
    fs::remove_all(root);
    return 0;
}
