#include "platform/AutomationObjectAdaptor.h"

#include "platform/AutomationService.h"

#include <QDBusMessage>

namespace {
constexpr const char* kAccessDeniedError = "org.freedesktop.DBus.Error.AccessDenied";

// The D-Bus integer types; a boolean is not one of them.
bool HoldsInteger(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}
} // namespace

CAutomationObjectAdaptor::CAutomationObjectAdaptor(CAutomationService& service, QString path)
    : m_service(service), m_path(std::move(path)) {}

std::uint32_t CAutomationObjectAdaptor::NotificationValue(const QVariant& message) {
    return HoldsInteger(message) ? static_cast<std::uint32_t>(message.toLongLong()) : 0;
}

bool CAutomationObjectAdaptor::Communicate(const QDBusVariant& message, const QDBusVariant&) {
    emit Notified(NotificationValue(message.variant()));
    return true;
}

void CAutomationObjectAdaptor::Release() {
    const QString caller = calledFromDBus() ? message().service() : QString();
    if (!m_service.ReleaseObject(this, caller)) {
        sendErrorReply(kAccessDeniedError,
                       QStringLiteral("Only the client that created the object may release it."));
    }
}
