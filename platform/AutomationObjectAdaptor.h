#pragma once

#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>

#include <cstdint>

class CAutomationService;

// The bus face of one automation object, at its own object path.
class CAutomationObjectAdaptor : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "MW_Injector.OLE")
public:
    CAutomationObjectAdaptor(CAutomationService& service, QString path);

    const QString& Path() const { return m_path; }

    // The notification in a Communicate message: the low 32 bits of an
    // integer; anything else is zero.
    static std::uint32_t NotificationValue(const QVariant& message);

public Q_SLOTS:
    Q_SCRIPTABLE bool Communicate(const QDBusVariant& message, const QDBusVariant& reply);
    Q_SCRIPTABLE void Release();

Q_SIGNALS:
    // A notification: four bytes, the lowest byte of `message` first.
    void Notified(quint32 message);

private:
    CAutomationService& m_service;
    QString m_path;
};
