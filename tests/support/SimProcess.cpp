#include "tests/support/SimProcess.h"

#include "gamelink/GameContract.h"
#include "platform/FileDescriptor.h"
#include "sim/mirewalk-sim/SimContract.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kPollInterval{5};
// Covers the grace the substitute gives a released applet to leave.
constexpr std::chrono::milliseconds kStopTimeout{10000};
// A command is answered at once; this only bounds a hung substitute.
constexpr int kCommandTimeoutMs = 5000;

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

bool IsMacroKind(const std::string& kind) {
    return kind == SimContract::kLogMacro || kind == SimContract::kLogRefused ||
           kind == SimContract::kLogFailed;
}

} // namespace

std::optional<std::string> ParseSimLogLine(const std::string& line, std::string* kind) {
    const std::size_t kindStart = line.find(' ');
    if (kindStart == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t textStart = line.find(' ', kindStart + 1);
    if (textStart == std::string::npos) {
        return std::nullopt;
    }
    if (kind != nullptr) {
        *kind = line.substr(kindStart + 1, textStart - kindStart - 1);
    }
    return Unescape(line.substr(textStart + 1));
}

CSimProcess::CSimProcess(const std::vector<std::string>& options)
    : m_logPath(m_folder / "mirewalk-sim.log") {
    std::vector<std::string> argv{std::string(SB_BIN_DIR) + "/mirewalk-sim", "run", "--log",
                                  m_logPath.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    const CFileDescriptor discard(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    m_process = std::make_unique<CChildProcess>(argv, CChildProcess::Plumbing{discard.Get(), -1});
    WaitUntilServing();
}

CSimProcess::~CSimProcess() = default;

void CSimProcess::WaitUntilServing() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const QString name = QLatin1String(GameContract::kMacroServerName);
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!m_process->IsRunning()) {
            throw std::runtime_error("mirewalk-sim ended before it served " + name.toStdString());
        }
        const QDBusReply<uint> owner = bus->servicePid(name);
        if (owner.isValid() && owner.value() == static_cast<uint>(m_process->Pid())) {
            return;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    throw std::runtime_error("mirewalk-sim did not serve " + name.toStdString() + " in time");
}

std::string CSimProcess::Command(const std::string& line) {
    return SimCommand(line);
}

std::string SimCommand(const std::string& line) {
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

void CSimProcess::WriteInput(const std::string& line) {
    m_process->WriteInput(line + "\n");
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
        std::string kind;
        const auto text = ParseSimLogLine(line, &kind);
        if (text && IsMacroKind(kind)) {
            macros.push_back(*text);
        }
    }
    return macros;
}

bool CSimProcess::WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (const std::string& line : LogLines()) {
            if (line.find(fragment) != std::string::npos) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::optional<int> CSimProcess::Stop() {
    m_process->Signal(SIGTERM);
    return WaitForExit(kStopTimeout);
}

std::optional<int> CSimProcess::WaitForExit(std::chrono::milliseconds timeout) {
    // Serves this process's events meanwhile: the substitute may be waiting for
    // an applet that lives in the test to answer its release.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto status = m_process->WaitForExit(std::chrono::milliseconds(0))) {
            return status;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(kPollInterval);
    }
}
