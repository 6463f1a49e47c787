#pragma once

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim/SimContract.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <regex>

// The game substitute, build/bin/mirewalk-sim run, as a child of the test on the private bus. It
// logs into a fresh folder. Its waits serve Qt events, as the applet's side may live in the test.
class CSimProcess {
public:
    // Starts it with run options (such as "--subject", "Bob") and returns once it serves the
    // game's macro server; throws std::runtime_error otherwise.
    explicit CSimProcess(const std::vector<std::string>& options = {})
        : m_process(CommandLine(m_folder, options), CChildProcess::Output::Discarded) {
        const auto serving = [&] {
            if (!m_process.IsRunning()) {
                throw std::runtime_error("mirewalk-sim ended before it served its name");
            }
            const auto owner = QDBusConnection::sessionBus().interface()->servicePid(
                QLatin1String(GameContract::kMacroServerName));
            return owner.isValid() && owner.value() == static_cast<uint>(m_process.Pid());
        };
        if (!WaitUntil(serving, kStartTimeout)) {
            throw std::runtime_error("mirewalk-sim did not serve its name in time");
        }
    }
    // One command through its control interface: "ok", a query's answer, "error: ...", or
    // "(no answer: ...)".
    std::string Command(const std::string& line) {
        const QDBusMessage reply = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(SimContract::kControlName, SimContract::kControlPath,
                                           SimContract::kControlInterface,
                                           SimContract::kCommandMethod)
                << QString::fromStdString(line),
            QDBus::Block, kCommandTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return "(no answer: " + reply.errorMessage().toStdString() + ")";
        }
        return reply.arguments().constFirst().toString().toStdString();
    }
    std::vector<std::string> LogLines() const {
        std::ifstream log(m_folder / kLogName);
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    // The texts of the macros it has received, answered or not, in order.
    std::vector<std::string> Macros() const {
        const std::regex macroLine(std::string("^\\S+ (") + SimContract::kLogMacro + "|" +
                                   SimContract::kLogRefused + "|" + SimContract::kLogFailed +
                                   ") (.*)$");
        std::vector<std::string> macros;
        std::smatch match;
        for (const std::string& line : LogLines()) {
            if (std::regex_match(line, match, macroLine)) {
                macros.push_back(Unescape(match[2]));
            }
        }
        return macros;
    }
    // Whether a log line contains `fragment` within `timeout`.
    bool WaitForLog(const std::string& fragment,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const {
        return WaitUntil(
            [&] { return m_folder.Read(kLogName).find(fragment) != std::string::npos; }, timeout);
    }
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
        WaitUntil([&] { return !m_process.IsRunning(); }, timeout);
        return m_process.WaitForExit({});
    }
    CChildProcess& Process() { return m_process; }

private:
    static constexpr const char* kLogName = "mirewalk-sim.log";
    static constexpr std::chrono::milliseconds kStartTimeout{10000};
    // A command is answered at once; this only bounds a hung substitute.
    static constexpr int kCommandTimeoutMs = 5000;
    static std::vector<std::string> CommandLine(const TempDir& folder,
                                                const std::vector<std::string>& options) {
        std::vector<std::string> argv{SB_BIN_DIR "/mirewalk-sim", "run", "--log",
                                      folder / kLogName};
        argv.insert(argv.end(), options.begin(), options.end());
        return argv;
    }
    // A log line's text with its escapes undone.
    static std::string Unescape(const std::string& text) {
        std::string plain;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : 0;
            plain += c == 0 ? text[i] : c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
        }
        return plain;
    }

    TempDir m_folder;
    CChildProcess m_process;
};
