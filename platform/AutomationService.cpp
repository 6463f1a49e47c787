#include "platform/AutomationService.h"

#include "platform/AutomationObjectAdaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QTimer>

namespace {
constexpr const char* kFactoryPath = "/";
constexpr const char* kObjectPathPrefix = "/Object";
constexpr const char* kCreationFailedError = "MW_Injector.OLE.Error.CreationFailed";
// A lost bus sends no message, so it is looked for; once a second ends the
// applet soon after its session without costing anything while it runs.
constexpr int kBusCheckIntervalMs = 1000;
} // namespace

void CAutomationService::LaterDeleter::operator()(CAutomationObjectAdaptor* adaptor) const {
    adaptor->deleteLater();
}

CAutomationService::CAutomationService(QDBusConnection connection, QString serviceName)
    : m_connection(std::move(connection)), m_serviceName(std::move(serviceName)),
      m_watcher(new QDBusServiceWatcher(this)), m_busCheck(new QTimer(this)) {
    m_watcher->setConnection(m_connection);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &CAutomationService::OnClientGone);
    connect(m_busCheck, &QTimer::timeout, this, &CAutomationService::CheckBus);
}

CAutomationService::~CAutomationService() {
    for (auto& [path, entry] : m_objects) {
        m_connection.unregisterObject(path);
        delete entry.adaptor.release();
    }
    m_connection.unregisterObject(kFactoryPath);
    m_connection.unregisterService(m_serviceName);
}

bool CAutomationService::Start() {
    if (!m_connection.isConnected() ||
        !m_connection.registerObject(kFactoryPath, this, QDBusConnection::ExportScriptableSlots)) {
        return false;
    }
    // Queued requests from the bus's activation wait for this name.
    const auto reply = m_connection.interface()->registerService(
        m_serviceName, QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        return false;
    }
    m_busCheck->start(kBusCheckIntervalMs);
    return true;
}

QDBusObjectPath CAutomationService::CreateObject() {
    const QString owner = calledFromDBus() ? message().service() : QString();
    emit ObjectRequested(owner);
    if (m_refusing) {
        sendErrorReply(kCreationFailedError, QStringLiteral("The applet could not start."));
        return {};
    }
    const QString path = kObjectPathPrefix + QString::number(m_nextObjectNumber++);
    Entry entry{owner, {new CAutomationObjectAdaptor(*this, path), {}}};
    connect(entry.adaptor.get(), &CAutomationObjectAdaptor::Notified, this,
            &CAutomationService::Notification);
    m_connection.registerObject(path, entry.adaptor.get(), QDBusConnection::ExportScriptableSlots);
    if (!owner.isEmpty() && !m_watcher->watchedServices().contains(owner)) {
        m_watcher->addWatchedService(owner);
    }
    m_objects.emplace(path, std::move(entry));
    return QDBusObjectPath(path);
}

bool CAutomationService::ReleaseObject(CAutomationObjectAdaptor* adaptor, const QString& caller) {
    const auto entry = m_objects.find(adaptor->Path());
    if (entry == m_objects.end() || entry->second.owner != caller) {
        return false;
    }
    Destroy(entry);
    return true;
}

void CAutomationService::OnClientGone(const QString& client) {
    m_watcher->removeWatchedService(client);
    for (auto entry = m_objects.begin(); entry != m_objects.end();) {
        const auto next = std::next(entry);
        if (entry->second.owner == client) {
            Destroy(entry);
        }
        entry = next;
    }
}

void CAutomationService::CheckBus() {
    if (m_connection.isConnected()) {
        return;
    }
    m_busCheck->stop();
    while (!m_objects.empty()) {
        Destroy(m_objects.begin());
    }
    emit BusLost();
}

void CAutomationService::Destroy(std::map<QString, Entry>::iterator entry) {
    m_connection.unregisterObject(entry->first);
    m_objects.erase(entry);
    emit ObjectReleased();
}
