#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>

#include <cstdint>
#include <map>
#include <memory>

class CAutomationObjectAdaptor;
class QDBusServiceWatcher;
class QTimer;

// Serves the applet's automation objects on the session bus under its
// automation name: the factory at "/" makes each object at a path of its own,
// owned by the bus client that asked for it. A client that leaves the bus
// releases every object it created, so the applet never outlives a dead game.
// The application learns of requests, notifications and releases by signals.
class CAutomationService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "MW_Injector.OLE")
public:
    CAutomationService(QDBusConnection connection, QString serviceName);
    ~CAutomationService() override;

    // Exports the factory and claims the bus name; false when either fails
    // (another instance already serves the name, or there is no bus).
    bool Start();

    // The objects alive now; while there is one the game still holds the applet.
    std::size_t ObjectCount() const { return m_objects.size(); }

    // From now on every creation request fails: the applet cannot serve it.
    void RefuseNewObjects() { m_refusing = true; }

    // Called by an object's adaptor on the owner's Release(); false for a
    // caller that does not own the object (it stays alive).
    bool ReleaseObject(CAutomationObjectAdaptor* adaptor, const QString& caller);

public Q_SLOTS:
    Q_SCRIPTABLE QDBusObjectPath CreateObject();

Q_SIGNALS:
    // A client asks for an object, which is made once the receivers return
    // unless one of them called RefuseNewObjects(). `creator` is the client's
    // unique bus name (empty for a call that did not come over the bus).
    void ObjectRequested(const QString& creator);
    // A notification through any object: four bytes, the lowest byte first.
    void Notification(quint32 message);
    // An object's last reference is gone; ObjectCount() no longer counts it.
    void ObjectReleased();
    // The bus went away: every object has been released, none can come.
    void BusLost();

private:
    // An adaptor may be in the middle of its own Release() call when it goes.
    struct LaterDeleter {
        void operator()(CAutomationObjectAdaptor* adaptor) const;
    };
    struct Entry {
        QString owner;
        std::unique_ptr<CAutomationObjectAdaptor, LaterDeleter> adaptor;
    };

    void OnClientGone(const QString& client);
    void CheckBus();
    void Destroy(std::map<QString, Entry>::iterator entry);

    QDBusConnection m_connection;
    QString m_serviceName;
    QDBusServiceWatcher* m_watcher; // child of this
    QTimer* m_busCheck;             // child of this
    std::uint64_t m_nextObjectNumber = 1;
    bool m_refusing = false;
    std::map<QString, Entry> m_objects; // by object path
};
