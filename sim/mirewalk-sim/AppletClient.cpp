#include "sim/mirewalk-sim/AppletClient.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim/MacroLog.h"
#include "sim/mirewalk-sim/SimContract.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QStringList>

namespace {

QString Describe(const QDBusError& error) {
    return error.name() + QLatin1String(": ") + error.message();
}

QString Join(const NotificationBytes& bytes) {
    QStringList texts;
    for (const std::uint8_t byte : bytes) {
        texts << QString::number(byte);
    }
    return texts.join(QLatin1Char(' '));
}

} // namespace

CAppletClient::CAppletClient(QDBusConnection bus, CMacroLog& log) : m_bus(bus), m_log(log) {
    m_graceTimer.setSingleShot(true);
    m_graceTimer.setInterval(kLeaveGraceMs);
    connect(&m_graceTimer, &QTimer::timeout, this, &CAppletClient::Finish);
}

CAppletClient::~CAppletClient() = default;

QString CAppletClient::CreateObject() {
    if (m_creating) {
        return QStringLiteral("an object is already being created");
    }
    if (HoldsObject()) {
        return QLatin1String("already holds ") + m_objectPath;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(GameContract::kAppletServiceName),
                                       QLatin1String(GameContract::kAppletFactoryPath),
                                       QLatin1String(GameContract::kAppletInterface),
                                       QLatin1String(GameContract::kCreateObjectMethod));
    // As the game does: asking for the object is what starts the applet.
    call.setAutoStartService(true);
    m_creating = true;
    m_log.Write(SimContract::kLogEvent, QStringLiteral("create-object"));
    Send(call, kCreateTimeoutMs, [this](const QDBusPendingCall& reply) { OnObjectCreated(reply); });
    return {};
}

QString CAppletClient::Notify(const NotificationBytes& bytes) {
    if (!HoldsObject()) {
        return QStringLiteral("no object held");
    }
    const quint32 value =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<quint32>(bytes[3]) << 24;
    QDBusMessage call = ObjectCall(GameContract::kCommunicateMethod);
    // D-Bus has no empty variant; an empty string stands for the unused reply.
    call << QVariant::fromValue(QDBusVariant(QVariant::fromValue(value)))
         << QVariant::fromValue(QDBusVariant(QString()));
    const QString request = QLatin1String("notify ") + Join(bytes);
    m_log.Write(SimContract::kLogEvent, request);
    Send(call, kCallTimeoutMs,
         [this, request](const QDBusPendingCall& reply) { LogReply(request, reply); });
    return {};
}

QString CAppletClient::Release() {
    if (!HoldsObject()) {
        return QStringLiteral("no object held");
    }
    const QDBusMessage call = ObjectCall(GameContract::kReleaseMethod);
    const QString request = QLatin1String("release ") + m_objectPath;
    m_log.Write(SimContract::kLogEvent, request);
    Send(call, kCallTimeoutMs, [this, request](const QDBusPendingCall& reply) {
        LogReply(request, reply);
        // A refused release leaves nothing to wait for: leaving the bus
        // releases the object anyway.
        if (m_finishing && reply.isError()) {
            Finish();
        }
    });
    // The applet's name stays watched: after its final release it leaves.
    m_objectPath.clear();
    return {};
}

void CAppletClient::ReleaseAndFinish() {
    m_finishing = true;
    if (!HoldsObject()) {
        QTimer::singleShot(0, this, &CAppletClient::Finish);
        return;
    }
    Release();
    m_graceTimer.start();
}

QDBusMessage CAppletClient::ObjectCall(const char* method) const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_owner, m_objectPath, QLatin1String(GameContract::kAppletInterface),
        QLatin1String(method));
    call.setAutoStartService(false);
    return call;
}

void CAppletClient::Send(const QDBusMessage& call, int timeoutMs,
                         std::function<void(const QDBusPendingCall&)> onReply) {
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [onReply = std::move(onReply)](QDBusPendingCallWatcher* finished) {
                onReply(*finished);
                finished->deleteLater();
            });
}

void CAppletClient::OnObjectCreated(const QDBusPendingCall& reply) {
    m_creating = false;
    if (reply.isError()) {
        m_log.Write(SimContract::kLogEvent,
                    QLatin1String("create-object failed: ") + Describe(reply.error()));
        return;
    }
    const QDBusMessage message = reply.reply();
    if (message.signature() != QLatin1String("o")) {
        m_log.Write(SimContract::kLogEvent,
                    QLatin1String("create-object failed: reply of signature \"") +
                        message.signature() + QLatin1Char('"'));
        return;
    }
    StopWatchingOwner();
    m_objectPath = qvariant_cast<QDBusObjectPath>(message.arguments().constFirst()).path();
    m_owner = message.service();
    m_ownerWatcher =
        new QDBusServiceWatcher(m_owner, m_bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_ownerWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &CAppletClient::OnAppletLeft);
    m_log.Write(SimContract::kLogEvent,
                QLatin1String("object ") + m_objectPath + QLatin1String(" of ") + m_owner);
    const auto number = static_cast<std::uint8_t>(m_nextAppletNumber++);
    Notify({GameContract::kControlMessage, GameContract::kControlAppletNumber, number, 0});
}

void CAppletClient::OnAppletLeft() {
    m_log.Write(SimContract::kLogEvent,
                QLatin1String("applet ") + m_owner + QLatin1String(" left"));
    m_objectPath.clear();
    m_owner.clear();
    StopWatchingOwner();
    if (m_finishing) {
        Finish();
    }
}

void CAppletClient::StopWatchingOwner() {
    if (m_ownerWatcher != nullptr) {
        // It may be the sender of the signal being handled.
        m_ownerWatcher->deleteLater();
        m_ownerWatcher = nullptr;
    }
}

void CAppletClient::LogReply(const QString& request, const QDBusPendingCall& reply) {
    if (reply.isError()) {
        m_log.Write(SimContract::kLogEvent,
                    request + QLatin1String(" failed: ") + Describe(reply.error()));
        return;
    }
    QStringList values;
    for (const QVariant& value : reply.reply().arguments()) {
        values << value.toString();
    }
    // A method without results, such as Release, is simply answered.
    const QString answer = values.isEmpty() ? QStringLiteral(" answered")
                                            : QLatin1String(" -> ") + values.join(QLatin1Char(' '));
    m_log.Write(SimContract::kLogEvent, request + answer);
}

void CAppletClient::Finish() {
    m_graceTimer.stop();
    Q_EMIT Finished();
}
