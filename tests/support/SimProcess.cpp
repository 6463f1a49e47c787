#include "tests/support/SimProcess.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim/SimContract.h"
#include "tests/support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <csignal>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace {

constexpr std::chrono::milliseconds kStartTimeout{10000};
// Covers the grace the substitute gives a released applet to leave.
constexpr std::chrono::milliseconds kStopTimeout{10000};
// A command is answered at once; this only bounds a hung substitute.
constexpr int kCommandTimeoutMs = 5000;

std::vector<std::string> RunCommandLine(const TempDir& folder,
                                        const std::vector<std::string>& options) {
    std::vector<std::string> argv{SB_BIN_DIR "/mirewalk-sim", "run", "--log",
                                  folder / "mirewalk-sim.log"};
    argv.insert(argv.end(), options.begin(), options.end());
    return argv;
}

// A log line's text with its escapes undone.
std::string Unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char code = text[i] == '\\' && i + 1 < text.size() ? text[++i] : 0;
        plain += code == 0     ? text[i]
                 : code == 'n' ? '\n'
                 : code == 'r' ? '\r'
                 : code == 't' ? '\t'
                               : code;
    }
    return plain;
}

} // namespace

CSimProcess::CSimProcess(const std::vector<std::string>& options)
    : m_process(RunCommandLine(m_folder, options), CChildProcess::Output::Discarded) {
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
    std::ifstream log(m_folder / "mirewalk-sim.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CSimProcess::Macros() const {
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

bool CSimProcess::WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] { return m_folder.Read("mirewalk-sim.log").find(fragment) != std::string::npos; },
        timeout);
}

std::optional<int> CSimProcess::Stop() {
    m_process.Signal(SIGTERM);
    return WaitForExit(kStopTimeout);
}

std::optional<int> CSimProcess::WaitForExit(std::chrono::milliseconds timeout) {
    std::optional<int> status;
    WaitUntil([&] { return (status = m_process.WaitForExit({})).has_value(); }, timeout);
    return status;
}
