#include "tests/support/SimProcess.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim/SimContract.h"
#include "tests/support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <csignal>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::chrono::milliseconds kStartTimeout{10000};
// Covers the grace the substitute gives a released applet to leave.
constexpr std::chrono::milliseconds kStopTimeout{10000};
// A command is answered at once; this only bounds a hung substitute.
constexpr int kCommandTimeoutMs = 5000;

std::vector<std::string> RunCommandLine(const std::filesystem::path& log,
                                        const std::vector<std::string>& options) {
    std::vector<std::string> argv{SB_BIN_DIR "/mirewalk-sim", "run", "--log", log.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

std::string Unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const char code = text[++i];
        plain += code == 'n' ? '\n' : code == 'r' ? '\r' : code == 't' ? '\t' : code;
    }
    return plain;
}

// The kind of a log line, after its time, and its text with escapes undone.
std::optional<std::pair<std::string, std::string>> ParseLogLine(const std::string& line) {
    const std::size_t kindStart = line.find(' ');
    const std::size_t textStart =
        kindStart == std::string::npos ? kindStart : line.find(' ', kindStart + 1);
    if (textStart == std::string::npos) {
        return std::nullopt;
    }
    return std::pair{line.substr(kindStart + 1, textStart - kindStart - 1),
                     Unescape(line.substr(textStart + 1))};
}

} // namespace

CSimProcess::CSimProcess(const std::vector<std::string>& options)
    : m_logPath(m_folder / "mirewalk-sim.log"),
      m_process(RunCommandLine(m_logPath, options), CChildProcess::Output::Discarded) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const QString name = QLatin1String(GameContract::kMacroServerName);
    const bool serving = WaitUntil(
        [&] {
            if (!m_process.IsRunning()) {
                throw std::runtime_error("mirewalk-sim ended before it served its name");
            }
            const QDBusReply<uint> owner = bus->servicePid(name);
            return owner.isValid() && owner.value() == static_cast<uint>(m_process.Pid());
        },
        kStartTimeout);
    if (!serving) {
        throw std::runtime_error("mirewalk-sim did not serve " + name.toStdString() + " in time");
    }
}

std::string CSimProcess::Command(const std::string& line) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(SimContract::kControlName), QLatin1String(SimContract::kControlPath),
        QLatin1String(SimContract::kControlInterface), QLatin1String(SimContract::kCommandMethod));
    call << QString::fromStdString(line);
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, kCommandTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return "(no answer: " + reply.errorMessage().toStdString() + ")";
    }
    return reply.arguments().constFirst().toString().toStdString();
}

std::vector<std::string> CSimProcess::LogLines() const {
    std::ifstream log(m_logPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CSimProcess::Macros() const {
    std::vector<std::string> macros;
    for (const std::string& line : LogLines()) {
        const auto parsed = ParseLogLine(line);
        if (parsed &&
            (parsed->first == SimContract::kLogMacro || parsed->first == SimContract::kLogRefused ||
             parsed->first == SimContract::kLogFailed)) {
            macros.push_back(parsed->second);
        }
    }
    return macros;
}

bool CSimProcess::WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] {
            for (const std::string& line : LogLines()) {
                if (line.find(fragment) != std::string::npos) {
                    return true;
                }
            }
            return false;
        },
        timeout);
}

std::optional<int> CSimProcess::Stop() {
    m_process.Signal(SIGTERM);
    return WaitForExit(kStopTimeout);
}

std::optional<int> CSimProcess::WaitForExit(std::chrono::milliseconds timeout) {
    // The substitute may be waiting for an applet that lives in the test to
    // answer its release.
    std::optional<int> status;
    WaitUntil(
        [&] { return (status = m_process.WaitForExit(std::chrono::milliseconds(0))).has_value(); },
        timeout);
    return status;
}
