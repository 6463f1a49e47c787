#include "bench/wine/BusPrograms.h"

#include "tests/support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

// Whether the process is gone or only waits for its parent to reap it; its
// parent is Wine or the bus, not this program.
bool Ended(pid_t process) {
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) {
        return true;
    }
    // "PID (NAME) STATE ...", where the name may hold blanks and parentheses.
    const std::size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() || text[close + 2] == 'Z';
}

} // namespace

std::vector<pid_t> OwnersOf(const std::function<bool(const std::string&)>& wanted) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    std::vector<pid_t> owners;
    for (const QString& name : bus->registeredServiceNames().value()) {
        if (!wanted(name.toStdString())) {
            continue;
        }
        const auto owner = bus->servicePid(name);
        const auto process = static_cast<pid_t>(owner.value());
        if (owner.isValid() && std::find(owners.begin(), owners.end(), process) == owners.end()) {
            owners.push_back(process);
        }
    }
    return owners;
}

void WaitUntilEnded(const std::vector<pid_t>& processes, const std::string& what,
                    std::chrono::milliseconds timeout) {
    if (!WaitUntil([&] { return std::all_of(processes.begin(), processes.end(), Ended); }, timeout,
                   std::chrono::milliseconds(20))) {
        throw std::runtime_error(what + " still ran " + std::to_string(timeout.count()) +
                                 " ms later");
    }
}
