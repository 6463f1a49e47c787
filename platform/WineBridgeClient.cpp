#include "platform/WineBridgeClient.h"

#include "platform/WineBridgeContract.h"

#include <QDBusMessage>

std::optional<QVariantList> CWineBridgeClient::Call(const char* method,
                                                    const QVariantList& arguments,
                                                    const char* signature, int timeoutMs) const {
    QDBusMessage call = QDBusMessage::createMethodCall(m_busName, WineBridgeContract::kPath,
                                                       WineBridgeContract::kInterface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = m_connection.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage ||
        reply.signature() != QLatin1String(signature)) {
        return std::nullopt;
    }
    return reply.arguments();
}

std::uint32_t CWineBridgeClient::CallForStatus(const char* method, const QVariantList& arguments,
                                               int timeoutMs) const {
    const auto reply = Call(method, arguments, "u", timeoutMs);
    return reply ? reply->at(0).toUInt() : WineBridgeContract::kFailed;
}

RegistryStatus RegistryStatusOf(std::uint32_t bridgeStatus) {
    switch (bridgeStatus) {
    case WineBridgeContract::kOk:
        return RegistryStatus::Ok;
    case WineBridgeContract::kMissing:
        return RegistryStatus::Missing;
    default:
        return RegistryStatus::Failed;
    }
}
