#pragma once

#include "platform/RegistryKeyHandle.h"
#include "platform/WineBridgeClient.h"

// A key of Wine's registry, read and written through a bridge.
class CWineRegistryKey final : public RegistryKeyHandle {
public:
    CWineRegistryKey(CWineBridgeClient bridge, QString root, QString subkey)
        : m_bridge(std::move(bridge)), m_root(std::move(root)), m_subkey(std::move(subkey)) {}

    RegistryStatus Read(std::string_view name, RegistryValue& value) const override;
    RegistryStatus Write(std::string_view name, std::uint32_t type,
                         std::vector<std::uint8_t> data) const override;

private:
    CWineBridgeClient m_bridge;
    QString m_root;
    QString m_subkey;
};
