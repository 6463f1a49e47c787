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

CAutomationObjectAdaptor::CAutomationObjectAdaptor(CAutomationService& service,
                                                   IAutomationObject& object, QString path)
    : m_service(service), m_object(object), m_path(std::move(path)) {}

std::array<std::uint8_t, 4> CAutomationObjectAdaptor::NotificationBytes(const QVariant& message) {
    const std::uint32_t value =
        HoldsInteger(message) ? static_cast<std::uint32_t>(message.toULongLong()) : 0;
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

bool CAutomationObjectAdaptor::Communicate(const QDBusVariant& message, const QDBusVariant&) {
    m_object.Communicate(NotificationBytes(message.variant()));
    return true;
}

void CAutomationObjectAdaptor::Release() {
    const QString caller = calledFromDBus() ? message().service() : QString();
    if (!m_service.ReleaseObject(this, caller)) {
        sendErrorReply(kAccessDeniedError,
                       QStringLiteral("Only the client that created the object may release it."));
    }
}
