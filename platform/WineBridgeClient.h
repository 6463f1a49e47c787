#pragma once

#include "platform/RegistryFile.h"

#include <QDBusConnection>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <optional>

// The bridge answers registry calls from its own bus thread at once; a few
// seconds cover a loaded machine, and a hung bridge cannot hang the applet.
inline constexpr int kBridgeRegistryTimeoutMs = 5000;

// Calls to one Wine bridge on the bus (platform/WineBridgeContract.h), by its
// bus name. Blocking calls: nothing else runs while the bridge answers.
class CWineBridgeClient {
public:
    CWineBridgeClient(QDBusConnection connection, QString busName)
        : m_connection(std::move(connection)), m_busName(std::move(busName)) {}

    // The reply's arguments when the bridge answers `method` within `timeoutMs`
    // with the reply signature `signature`; nothing for an error reply, no
    // answer in time, or a reply of another shape.
    std::optional<QVariantList> Call(const char* method, const QVariantList& arguments,
                                     const char* signature, int timeoutMs) const;
    // A method that answers (u status): that status, kFailed for a failed call.
    std::uint32_t CallForStatus(const char* method, const QVariantList& arguments,
                                int timeoutMs) const;

private:
    QDBusConnection m_connection;
    QString m_busName;
};

// The bridge's status as the registry layer's: Ok, Missing, and Failed for
// anything else.
RegistryStatus RegistryStatusOf(std::uint32_t bridgeStatus);
