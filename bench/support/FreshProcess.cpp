#include "bench/support/FreshProcess.h"

#include "agents/AgentFileListing.h"
#include "platform/FileDescriptor.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Large enough that the system calls cost nothing beside the copying.
constexpr std::size_t kReadBlock = 1 << 20;

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

BenchFigure MeasureInFreshProcess(const std::string& mode, const std::string& folder) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::execl("/proc/self/exe", "bench", "--measure", mode.c_str(), folder.c_str(),
                static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(pipeEnds[1]);
    char text[64] = {};
    const ssize_t got = ::read(pipeEnds[0], text, sizeof text - 1);
    ::close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "measurement %s failed\n", mode.c_str());
        std::exit(1);
    }
    char* cpu = nullptr;
    const double seconds = std::strtod(text, &cpu);
    return {seconds, std::strtod(cpu, nullptr), static_cast<double>(usage.ru_maxrss) / 1024.0,
            usage.ru_minflt};
}

int PrintSecondsOf(const std::function<void()>& work) {
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.9f %.9f\n", elapsed.count(), CpuSeconds() - cpuStart);
    return 0;
}

std::vector<std::string> BenchAgentFiles(const std::string& folder) {
    auto list = ListAgentFiles(folder);
    if (!list || list->failed) {
        std::exit(3);
    }
    return std::move(list->paths);
}

std::vector<std::string> BenchAgentFiles(const std::string& folder, std::size_t count) {
    auto paths = BenchAgentFiles(folder);
    if (paths.size() != count) {
        std::exit(3);
    }
    return paths;
}

void ReadEveryByte(const std::vector<std::string>& paths) {
    std::vector<std::uint8_t> block(kReadBlock);
    for (const auto& path : paths) {
        const CFileDescriptor file(::open(path.c_str(), O_RDONLY));
        while (::read(file.Get(), block.data(), block.size()) > 0) {
        }
    }
}

std::uint64_t CarriedMiB(std::uint64_t standard) {
    const char* configured = std::getenv("SB_BENCH_CARRIED_MIB");
    return configured != nullptr ? std::strtoull(configured, nullptr, 10) : standard;
}
