#include "platform/WineBridgeProcess.h"

#include "platform/ActivationFile.h"
#include "platform/ActiveGameHost.h"
#include "platform/WineBridgeClient.h"
#include "platform/WineBridgeContract.h"
#include "platform/WineGameHost.h"
#include "platform/WinePrefix.h"

#include <QDBusConnectionInterface>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The first start of Wine in a prefix sets the prefix up and starts its
// server before the bridge runs: up to 20 s on a loaded machine, so three
// times that before the bridge counts as silent.
constexpr auto kStartLimit = 60s;
// How often the bus is asked whether the bridge serves yet: quick enough that
// nobody notices, rare enough to cost the bus nothing.
constexpr auto kStartPoll = 100ms;
// RegisterServer and LinkGame go through Wine's COM, whose first use in a
// prefix starts Wine's own services (about a second, far more on a loaded
// machine).
constexpr int kSetupCallTimeoutMs = 30000;

// How the child ended, set once by the thread that reaps it.
struct ChildEnd {
    std::atomic<bool> ended = false;
    int status = -1; // waitpid's status; -1 when it could not be had
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// $SPLICEBOX_BRIDGE when set; otherwise beside this program (a build) or in
// its installation's libexec/splicebox.
std::vector<std::filesystem::path> BridgeCandidates() {
    if (const char* named = std::getenv("SPLICEBOX_BRIDGE"); named != nullptr && named[0] != '\0') {
        return {named};
    }
    const auto folder = RunningExecutablePath().parent_path();
    return {folder / WineBridgeContract::kBridgeFileName,
            folder.parent_path() / "libexec" / "splicebox" / WineBridgeContract::kBridgeFileName};
}

std::optional<std::filesystem::path> FindBridge(std::string& failure) {
    const auto candidates = BridgeCandidates();
    std::string looked;
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
        looked += (looked.empty() ? "" : " and ") + Quoted(candidate.string());
    }
    failure = "Cannot find the Wine bridge; looked for " + looked;
    return std::nullopt;
}

std::string WineCommand() {
    const char* wine = std::getenv("WINE");
    return wine != nullptr && wine[0] != '\0' ? wine : "wine";
}

// Runs `argv` with this environment, no signal blocked, standard input from
// and output to /dev/null and no other descriptor of ours: Wine's background
// processes inherit the bridge's descriptors and keep them open for ever, so
// a pipe handed on would never end. errno's value on failure.
int Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    std::vector<char*> arguments;
    for (const auto& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    const int error =
        posix_spawnp(&pid, arguments[0], &actions, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

// The child is reaped whenever it ends, also long after the start, so that it
// never stays a zombie; the thread lives as long as the child does.
std::shared_ptr<ChildEnd> Reap(pid_t pid) {
    auto end = std::make_shared<ChildEnd>();
    std::thread([pid, end] {
        int status = 0;
        pid_t result = -1;
        do {
            result = ::waitpid(pid, &status, 0);
        } while (result == -1 && errno == EINTR);
        end->status = result == pid ? status : -1;
        end->ended.store(true, std::memory_order_release);
    }).detach();
    return end;
}

std::string EndText(const std::string& command, int status) {
    if (status != -1 && WIFEXITED(status)) {
        return Quoted(command) + " exited with status " + std::to_string(WEXITSTATUS(status));
    }
    if (status != -1 && WIFSIGNALED(status)) {
        return Quoted(command) + " was killed by signal " + std::to_string(WTERMSIG(status));
    }
    return Quoted(command) + " ended";
}

} // namespace

CWineBridgeProcess::CWineBridgeProcess(QDBusConnection connection)
    : m_connection(std::move(connection)),
      m_serviceName(QString::fromStdString(
          WineBridgeContract::ClientServiceName(m_connection.baseService().toStdString()))) {}

bool CWineBridgeProcess::Start(std::string& failure) {
    if (!m_connection.isConnected()) {
        failure = "Cannot reach the Wine bridge: there is no session bus";
        return false;
    }
    const auto bridge = FindBridge(failure);
    if (!bridge) {
        return false;
    }
    const std::string wine = WineCommand();
    pid_t pid = -1;
    if (const int error = Spawn({wine, bridge->string(), WineBridgeContract::kClientSwitch,
                                 m_connection.baseService().toStdString()},
                                pid);
        error != 0) {
        failure = "Cannot start Wine (" + Quoted(wine) + "): " + std::strerror(error) +
                  "; WINE names the wine command";
        return false;
    }
    const auto end = Reap(pid);
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!m_connection.interface()->isServiceRegistered(m_serviceName).value()) {
        if (end->ended.load(std::memory_order_acquire)) {
            failure = "The Wine bridge ended before it served the session bus (" +
                      EndText(wine + " " + bridge->string(), end->status) + ")";
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure = "The Wine bridge did not come up on the session bus within " +
                      std::to_string(kStartLimit.count()) + " seconds";
            return false;
        }
        std::this_thread::sleep_for(kStartPoll);
    }
    InstallGameHost(std::make_unique<CWineGameHost>(m_connection, m_serviceName, WinePrefix()));
    return true;
}

std::uint32_t CWineBridgeProcess::RegisterServer() const {
    return CWineBridgeClient(m_connection, m_serviceName)
        .CallForStatus(WineBridgeContract::kRegisterServerMethod, {}, kSetupCallTimeoutMs);
}

std::uint32_t CWineBridgeProcess::LinkGame() const {
    return CWineBridgeClient(m_connection, m_serviceName)
        .CallForStatus(WineBridgeContract::kLinkGameMethod, {}, kSetupCallTimeoutMs);
}
