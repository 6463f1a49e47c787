#include "platform/WineGameHost.h"

#include "platform/RegistrySubkey.h"
#include "platform/WineBridgeContract.h"
#include "platform/WinePaths.h"
#include "platform/WineRegistryKey.h"

namespace {

// A bridge answers from its own bus thread at once, and a program that is
// no bridge answers with an error at once. A bridge that is only slow (a
// loaded machine) must not be taken for a game of this machine, so it gets as
// long as any registry call; the limit keeps a hung creator from holding up
// the window for ever.
constexpr int kPrefixQueryTimeoutMs = kBridgeRegistryTimeoutMs;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::unique_ptr<CWineGameHost> CWineGameHost::OfCreator(QDBusConnection connection,
                                                        const QString& creator) {
    if (creator.isEmpty()) {
        return nullptr;
    }
    const CWineBridgeClient bridge(connection, creator);
    const auto reply =
        bridge.Call(WineBridgeContract::kPrefixMethod, {}, "s", kPrefixQueryTimeoutMs);
    if (!reply) {
        return nullptr;
    }
    return std::make_unique<CWineGameHost>(std::move(connection), creator,
                                           reply->at(0).toString().toStdString());
}

RegistryStatus CWineGameHost::OpenKey(std::string_view root, std::string_view subkey,
                                      std::unique_ptr<RegistryKeyHandle>& key) const {
    bool created = false;
    return Open(root, subkey, false, created, key);
}

RegistryStatus CWineGameHost::CreateKey(std::string_view root, std::string_view subkey,
                                        bool& created,
                                        std::unique_ptr<RegistryKeyHandle>& key) const {
    return Open(root, subkey, true, created, key);
}

std::optional<std::string> CWineGameHost::LocalDirectory(const std::string& directoryValue) const {
    return WindowsPathToUnix(m_prefix, directoryValue);
}

RegistryStatus CWineGameHost::Open(std::string_view root, std::string_view subkey, bool create,
                                   bool& created, std::unique_ptr<RegistryKeyHandle>& key) const {
    created = false;
    if (!IsValidSubkey(subkey)) {
        return RegistryStatus::Failed;
    }
    const auto reply =
        m_bridge.Call(WineBridgeContract::kOpenKeyMethod, {Utf8(root), Utf8(subkey), create}, "ub",
                      kBridgeRegistryTimeoutMs);
    if (!reply) {
        return RegistryStatus::Failed;
    }
    const auto status = RegistryStatusOf(reply->at(0).toUInt());
    if (status == RegistryStatus::Ok) {
        created = reply->at(1).toBool();
        key = std::make_unique<CWineRegistryKey>(m_bridge, Utf8(root), Utf8(subkey));
    }
    return status;
}
