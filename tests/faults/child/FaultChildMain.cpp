// fault-child [--file-size-limit BYTES] [--obey-file-modes]
//             [--fail-allocations-over BYTES] COMMAND ARGUMENT...
// runs one operation of the applet in a process a test can limit, deprive of
// root's file access or of memory, or kill. Commands, on the file's first agent
// or the game's user key: inject AGENT IMAGES SOUNDS [TIMES] (injects as the
// Agents page does, TIMES times, reading the file through a catalogue before
// each as the live folder reads it again; each failure but the last is printed
// and the next attempt follows); extract AGENT RECORD DIR; chemicals DIR (loads
// the chemical list); write NAME TEXT (prints "writing", then writes until it
// fails or is killed); write-many PREFIX COUNT (PREFIX0=0 ...).
// It prints each macro as "macro: TEXT" (the game accepts them all), a
// CKitException as "message: TEXT", and success as "done".
#include "agents/AgentCatalogue.h"
#include "agents/Extraction.h"
#include "agents/Injection.h"
#include "analysis/ChemicalNameTable.h"
#include "core/KitException.h"
#include "core/RegistryKey.h"
#include "gamelink/GameLink.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <linux/capability.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUsageError = 2;
constexpr int kSetupError = 3;

class CPrintingTransport final : public IMacroTransport {
public:
    bool Connect() override { return true; }
    void Disconnect() override {}
    bool IsConnected() const override { return true; }
    MacroCallResult Call(std::string_view macroUtf8) override {
        std::printf("macro: %.*s\n", static_cast<int>(macroUtf8.size()), macroUtf8.data());
        return MacroCallResult{true, true, ""};
    }
};

// Writes past the limit fail with EFBIG, as on a full disk, instead of ending the process. Only the
// soft limit is lowered, and it is lifted at exit, before a coverage build writes its counters: a
// cut counter file spoils every later run that merges into it.
rlimit g_originalFileSizeLimit{};

bool LowerFileSizeLimit(const std::string& bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &g_originalFileSizeLimit) != 0 ||
        std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR ||
        std::atexit([] { ::setrlimit(RLIMIT_FSIZE, &g_originalFileSizeLimit); }) != 0) {
        return false;
    }
    const rlimit limit{std::stoull(bytes), g_originalFileSizeLimit.rlim_max};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// Allocations larger than this throw std::bad_alloc, as when memory runs out.
std::size_t g_largestAllocation = SIZE_MAX;

// The tests run as root, whom file modes do not stop; without these
// capabilities a read-only folder refuses this process as it would any user.
bool ObeyFileModes() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        data[capability / 32].effective &= ~(1u << (capability % 32));
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

bool Run(const std::vector<std::string>& args) {
    const std::string& command = args.at(0);
    CGameLink link(std::make_unique<CPrintingTransport>(), [](std::chrono::milliseconds) {});
    CRegistryKey key;
    if (command == "inject" && (args.size() == 4 || args.size() == 5)) {
        const int times = args.size() == 5 ? std::stoi(args[4]) : 1;
        CAgentCatalogue catalogue;
        for (int attempt = 1; attempt <= times; ++attempt) {
            catalogue.Clear();
            catalogue.AddFile(args[1]);
            CAgent& agent = *catalogue.Agents().at(0);
            try {
                CarryOut(agent, PlanInjection(agent, args[2], args[3]), link,
                         catalogue.UsageMemory());
            } catch (const CKitException& e) {
                if (attempt == times) {
                    throw;
                }
                std::printf("message: %s\n", e.m_message);
            }
        }
    } else if (command == "extract" && args.size() == 4) {
        CAgentFile file(args[1]);
        ExtractCarriedFile(*file.CarriedFiles().at(std::stoul(args[2])), args[3]);
    } else if (command == "chemicals" && args.size() == 2) {
        CChemicalNameTable().LoadChemicalNames(args[1]);
    } else if (command == "write" && args.size() == 3) {
        key.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath);
        std::printf("writing\n");
        std::fflush(stdout);
        for (;;) {
            key.WriteString(args[1].c_str(), args[2].c_str());
        }
    } else if (command == "write-many" && args.size() == 3) {
        key.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath);
        for (long i = 0; i < std::stol(args[2]); ++i) {
            key.WriteString((args[1] + std::to_string(i)).c_str(), std::to_string(i).c_str());
        }
    } else {
        return false;
    }
    return true;
}

} // namespace

void* operator new(std::size_t size) {
    void* memory = size <= g_largestAllocation ? std::malloc(size == 0 ? 1 : size) : nullptr;
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (; !args.empty() && args[0].starts_with("--"); args.erase(args.begin())) {
        bool ready = false;
        if (args[0] == "--file-size-limit" && args.size() > 1) {
            args.erase(args.begin());
            ready = LowerFileSizeLimit(args[0]);
        } else if (args[0] == "--obey-file-modes") {
            ready = ObeyFileModes();
        } else if (args[0] == "--fail-allocations-over" && args.size() > 1) {
            args.erase(args.begin());
            g_largestAllocation = std::stoull(args[0]);
            ready = true;
        } else {
            break;
        }
        if (!ready) {
            std::perror("fault-child: setup");
            return kSetupError;
        }
    }
    try {
        if (args.empty() || !Run(args)) {
            std::fprintf(stderr, "fault-child: unknown command line\n");
            return kUsageError;
        }
        std::printf("done\n");
    } catch (const CKitException& e) {
        std::printf("message: %s\n", e.m_message);
    }
    return 0;
}
