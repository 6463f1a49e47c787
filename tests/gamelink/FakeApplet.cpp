#include "tests/gamelink/FakeApplet.h"

#include "gamelink/GameContract.h"

#include <QDBusConnection>
#include <QTimer>

#include <stdexcept>

namespace {

constexpr const char* kConnectionName = "fake-applet";

} // namespace

CFakeApplet::CFakeApplet() {
    // Not kept: the connection closes when the last QDBusConnection for it goes.
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QLatin1String(kConnectionName));
    const QString interface = QLatin1String(GameContract::kAppletInterface);
    const bool served = bus.registerObject(QLatin1String(GameContract::kAppletFactoryPath),
                                           interface, this, QDBusConnection::ExportAllSlots) &&
                        bus.registerObject(QLatin1String(kObjectPath), interface, this,
                                           QDBusConnection::ExportAllSlots) &&
                        bus.registerService(QLatin1String(GameContract::kAppletServiceName));
    if (!served) {
        throw std::runtime_error("the fake applet cannot serve its name");
    }
}

CFakeApplet::~CFakeApplet() {
    QDBusConnection::disconnectFromBus(QLatin1String(kConnectionName));
}

QDBusObjectPath CFakeApplet::CreateObject() {
    ++m_creations;
    return QDBusObjectPath(QLatin1String(kObjectPath));
}

bool CFakeApplet::Communicate(const QDBusVariant& message, const QDBusVariant& /*reply*/) {
    const std::uint32_t value = message.variant().toUInt();
    m_notifications.push_back(value);
    if (value == (GameContract::kNotificationOnly | GameContract::kNotifySubjectChanged << 8) &&
        (m_game.IsConnected() || m_game.Connect())) {
        m_subjectReplies.emplace_back(m_game.ExecuteMacro(GameContract::kMacroQuerySubjectName));
    }
    return true;
}

void CFakeApplet::Release() {
    ++m_releases;
    // After answering, leave the bus as the applet does after its final release.
    QTimer::singleShot(0, this,
                       [] { QDBusConnection::disconnectFromBus(QLatin1String(kConnectionName)); });
}
