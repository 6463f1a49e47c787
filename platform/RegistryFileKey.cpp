#include "platform/RegistryFileKey.h"

RegistryStatus CRegistryFileKey::Read(std::string_view name, RegistryValue& value) const {
    CRegistryDocument document;
    if (const auto status = m_file.Load(document); status != RegistryStatus::Ok) {
        return status;
    }
    const auto* found = document.FindValue(m_keyPath, name);
    if (found == nullptr) {
        return RegistryStatus::Missing;
    }
    value = *found;
    return RegistryStatus::Ok;
}

RegistryStatus CRegistryFileKey::Write(std::string_view name, std::uint32_t type,
                                       std::vector<std::uint8_t> data) const {
    if (name.size() > kMaxRegistryNameLength || data.size() > kMaxRegistryValueSize) {
        return RegistryStatus::Failed;
    }
    return m_file.Update([&](CRegistryDocument& document) {
        return document.SetValue(m_keyPath, name, type, std::move(data)) ? RegistryChange::Made
                                                                         : RegistryChange::Refused;
    });
}
