#pragma once

#include "platform/GameHost.h"
#include "platform/WineBridgeClient.h"

#include <filesystem>

// The game's settings in Wine's registry, through a bridge on the bus, and
// its folder values as Windows paths of the Wine prefix.
class CWineGameHost final : public IGameHost {
public:
    CWineGameHost(QDBusConnection connection, QString bridgeName, std::filesystem::path prefix)
        : m_bridge(std::move(connection), std::move(bridgeName)), m_prefix(std::move(prefix)) {}

    // The host of `creator`, the bus client that asked for the applet's
    // object, when it is a bridge: it tells its prefix. Nothing when it
    // answers with an error (a game of this machine knows no such call) or
    // not in time.
    static std::unique_ptr<CWineGameHost> OfCreator(QDBusConnection connection,
                                                    const QString& creator);

    RegistryStatus OpenKey(std::string_view root, std::string_view subkey,
                           std::unique_ptr<RegistryKeyHandle>& key) const override;
    RegistryStatus CreateKey(std::string_view root, std::string_view subkey, bool& created,
                             std::unique_ptr<RegistryKeyHandle>& key) const override;
    std::optional<std::string> LocalDirectory(const std::string& directoryValue) const override;

private:
    RegistryStatus Open(std::string_view root, std::string_view subkey, bool create, bool& created,
                        std::unique_ptr<RegistryKeyHandle>& key) const;

    CWineBridgeClient m_bridge;
    std::filesystem::path m_prefix;
};
