#include "platform/WineRegistryKey.h"

#include "platform/WineBridgeContract.h"

#include <QByteArray>

namespace {
QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

RegistryStatus CWineRegistryKey::Read(std::string_view name, RegistryValue& value) const {
    const auto reply =
        m_bridge.Call(WineBridgeContract::kReadValueMethod, {m_root, m_subkey, Utf8(name)}, "uuay",
                      kBridgeRegistryTimeoutMs);
    if (!reply) {
        return RegistryStatus::Failed;
    }
    const auto status = RegistryStatusOf(reply->at(0).toUInt());
    if (status == RegistryStatus::Ok) {
        const QByteArray data = reply->at(2).toByteArray();
        value.name = std::string(name);
        value.type = reply->at(1).toUInt();
        value.data.assign(data.begin(), data.end());
    }
    return status;
}

RegistryStatus CWineRegistryKey::Write(std::string_view name, std::uint32_t type,
                                       std::vector<std::uint8_t> data) const {
    const QByteArray bytes(reinterpret_cast<const char*>(data.data()),
                           static_cast<qsizetype>(data.size()));
    return RegistryStatusOf(
        m_bridge.CallForStatus(WineBridgeContract::kWriteValueMethod,
                               {m_root, m_subkey, Utf8(name), QVariant::fromValue(type), bytes},
                               kBridgeRegistryTimeoutMs));
}
