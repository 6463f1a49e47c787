#include "tests/support/BusCall.h"

#include <QCoreApplication>
#include <QDBusPendingCall>

#include <chrono>
#include <thread>

namespace {
constexpr std::chrono::milliseconds kPollInterval{1};
} // namespace

QDBusMessage CallServingEvents(const QDBusConnection& connection, const QDBusMessage& call,
                               int timeoutMs) {
    const QDBusPendingCall pending = connection.asyncCall(call, timeoutMs);
    while (!pending.isFinished()) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(kPollInterval);
    }
    return pending.reply();
}
