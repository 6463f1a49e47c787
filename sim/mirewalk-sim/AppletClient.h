#pragma once

#include "platform/DBusTimeout.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

class CMacroLog;
class QDBusMessage;
class QDBusServiceWatcher;

using NotificationBytes = std::array<std::uint8_t, 4>;

// The game's side of the applet's automation object: asks the bus for an
// object (which starts the applet), sends it notifications and releases it.
// Every call is asynchronous, because the applet answers a notification by
// sending macros back to this process, which must stay free to serve them.
class CAppletClient : public QObject {
    Q_OBJECT
public:
    // Starting the applet is the slow part of CreateObject: a fresh Qt program
    // loading its resources. Half a minute covers a loaded test machine.
    static constexpr int kCreateTimeoutMs = 30000;
    // Notifications and Release wait as long as the applet takes: it answers
    // them only after the macro it is sending has been answered, which a slow
    // game (this substitute with a delay) may take long to do.
    static constexpr int kCallTimeoutMs = kDBusNoTimeout;
    // After the final release the applet sends its quit macro and exits; this
    // long the substitute keeps serving it before it ends regardless.
    static constexpr int kLeaveGraceMs = 3000;

    CAppletClient(QDBusConnection bus, CMacroLog& log);
    ~CAppletClient() override;

    bool HoldsObject() const { return !m_objectPath.isEmpty(); }

    // Each returns an empty text when the request went out, or the reason why not.
    QString CreateObject();
    QString Notify(const NotificationBytes& bytes);
    QString Release();

    // Releases the object it holds, if any, and emits Finished once the applet
    // has left the bus or kLeaveGraceMs have passed.
    void ReleaseAndFinish();

Q_SIGNALS:
    void Finished();

private:
    QDBusMessage ObjectCall(const char* method) const;
    void Send(const QDBusMessage& call, int timeoutMs,
              std::function<void(const QDBusPendingCall&)> onReply);
    void OnObjectCreated(const QDBusPendingCall& reply);
    void OnAppletLeft();
    void StopWatchingOwner();
    void LogReply(const QString& request, const QDBusPendingCall& reply);
    void Finish();

    QDBusConnection m_bus;
    CMacroLog& m_log;
    bool m_creating = false;
    bool m_finishing = false;
    QString m_owner;      // the applet's unique bus name while an object is held
    QString m_objectPath; // empty when no object is held
    int m_nextAppletNumber = 1;
    QDBusServiceWatcher* m_ownerWatcher = nullptr;
    QTimer m_graceTimer;
};
