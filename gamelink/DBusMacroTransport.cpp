#include "gamelink/DBusMacroTransport.h"

#include "gamelink/GameContract.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

CDBusMacroTransport::CDBusMacroTransport() : CDBusMacroTransport(QDBusConnection::sessionBus()) {}

CDBusMacroTransport::CDBusMacroTransport(const QDBusConnection& bus, int callTimeoutMs)
    : m_bus(bus), m_callTimeoutMs(callTimeoutMs) {}

bool CDBusMacroTransport::Connect() {
    m_server.clear();
    if (!m_bus.isConnected()) {
        return false;
    }
    // GetNameOwner answers from the bus's own table: an unowned name is an
    // error reply, never an activation of the game.
    const QDBusReply<QString> owner =
        m_bus.interface()->serviceOwner(QString::fromLatin1(GameContract::kMacroServerName));
    if (!owner.isValid()) {
        return false;
    }
    m_server = owner.value();
    return true;
}

void CDBusMacroTransport::Disconnect() {
    m_server.clear();
}

bool CDBusMacroTransport::IsConnected() const {
    return !m_server.isEmpty();
}

MacroCallResult CDBusMacroTransport::Call(std::string_view macroUtf8) {
    if (m_server.isEmpty()) {
        return {};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_server, QString::fromLatin1(GameContract::kMacroServerPath),
        QString::fromLatin1(GameContract::kMacroServerInterface),
        QString::fromLatin1(GameContract::kExecuteMacroMethod));
    call.setAutoStartService(false);
    // fromValue keeps the 16-bit type; a plain QVariant would widen it to int.
    call << QVariant::fromValue<qint16>(GameContract::kMacroKind)
         << QString::fromUtf8(macroUtf8.data(), static_cast<qsizetype>(macroUtf8.size()));
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, m_callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return Failure(reply);
    }
    // The game answered, but not as the method does: what it ran is unknown.
    if (reply.signature() != QLatin1String("bs")) {
        return {false, false, {}, true};
    }
    const QList<QVariant> arguments = reply.arguments();
    return {true, arguments[0].toBool(), arguments[1].toString().toStdString()};
}

MacroCallResult CDBusMacroTransport::Failure(const QDBusMessage& error) const {
    // NoReply comes from the bus, not the game: when the game left without
    // answering, or when the call's timeout or a bus configured with a reply
    // limit stopped waiting.
    const bool busStoppedWaiting =
        error.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") &&
        m_bus.interface()->isServiceRegistered(m_server).value();
    return {false, false, {}, busStoppedWaiting};
}
