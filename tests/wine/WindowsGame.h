#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

using namespace std::chrono_literals;

// The tests' Wine prefix, made once per build folder by scripts/wine-prefix.
inline const std::filesystem::path kWinePrefix = SB_WINE_PREFIX;
inline const std::string kWine = "/usr/bin/wine";
inline const std::string kWindowsGame = SB_BIN_DIR "/mirewalk-sim-win.exe";
// The first Wine program of a test may start the prefix's services; a loaded machine is slow.
constexpr auto kWineStartTimeout = 60s;

// The Windows name of a file of this machine, through the prefix's drive Z:, which is "/".
inline std::string OnDriveZ(const std::filesystem::path& path) {
    std::string name = "Z:" + path.string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// A Wine program run to its end; its output, with its errors, is in `log`.
inline std::optional<int> RunWine(const std::vector<std::string>& arguments,
                                  const std::filesystem::path& log) {
    std::vector<std::string> command{kWine};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return CChildProcess(command, CChildProcess::Output::Logged, log)
        .WaitForExit(kWineStartTimeout);
}

// The Windows game substitute running in the prefix, driven through its standard input and
// watched through its log.
class CWindowsGame {
public:
    CWindowsGame(const TempDir& folder, const std::vector<std::string>& options)
        : m_log(folder / "game.log"), m_output(folder / "game.out") {
        std::vector<std::string> command{kWine, kWindowsGame, "run", "--log", OnDriveZ(m_log)};
        command.insert(command.end(), options.begin(), options.end());
        m_process = std::make_unique<CChildProcess>(command, CChildProcess::Output::Logged,
                                                    m_output.string());
        if (!Logged("event serving", kWineStartTimeout)) {
            throw std::runtime_error("the Windows game did not start: " + Read(m_output));
        }
    }
    ~CWindowsGame() {
        if (m_process->IsRunning()) {
            m_process->Send("quit");
            m_process->WaitForExit(10s);
        }
    }

    // Runs a command and returns its result, "ok" or "error: ...".
    std::string Command(const std::string& line) {
        const std::string logged = "event command " + line + " -> ";
        const std::size_t before = Count(logged);
        m_process->Send(line);
        WaitUntil([&] { return Count(logged) > before; }, kWineStartTimeout);
        const std::string log = Log();
        std::size_t at = log.rfind(logged);
        if (at == std::string::npos) {
            return "no answer";
        }
        at += logged.size();
        return log.substr(at, log.find('\n', at) - at);
    }
    bool Logged(const std::string& text, std::chrono::milliseconds timeout = 30s) const {
        return WaitUntil([&] { return Log().find(text) != std::string::npos; }, timeout, 20ms);
    }
    std::size_t Count(const std::string& text) const {
        const std::string log = Log();
        std::size_t count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos;
             at = log.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
    std::string Log() const { return Read(m_log); }
    CChildProcess& Process() { return *m_process; }

private:
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path m_log;
    std::filesystem::path m_output;
    std::unique_ptr<CChildProcess> m_process;
};
