#include "platform/RegistryStore.h"

#include "platform/HomeDirectory.h"
#include "platform/RegistryFileKey.h"
#include "platform/RegistrySubkey.h"

#include <cstdlib>

namespace {

std::string FullPath(std::string_view root, std::string_view subkey) {
    std::string path(root);
    if (!subkey.empty()) {
        path.append("\\").append(subkey);
    }
    return path;
}

} // namespace

std::filesystem::path CRegistryStore::DefaultDirectory() {
    if (const char* dir = std::getenv("MIREWALK_REGISTRY_DIR"); dir != nullptr && dir[0] != '\0') {
        return dir;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path base = config != nullptr && config[0] != '\0'
                                           ? std::filesystem::path(config)
                                           : HomeDirectory() / ".config";
    return base / "mirewalk2";
}

std::filesystem::path CRegistryStore::RootFile(std::string_view root) const {
    return m_directory / (std::string(root) + ".reg");
}

RegistryStatus CRegistryStore::OpenKey(std::string_view root, std::string_view subkey,
                                       std::unique_ptr<RegistryKeyHandle>& key) const {
    if (!IsValidSubkey(subkey)) {
        return RegistryStatus::Failed;
    }
    CRegistryFile file(RootFile(root));
    CRegistryDocument document;
    if (const auto status = file.Load(document); status != RegistryStatus::Ok) {
        return status;
    }
    auto path = FullPath(root, subkey);
    if (!subkey.empty() && !document.HasKey(path)) {
        return RegistryStatus::Missing;
    }
    key = std::make_unique<CRegistryFileKey>(file.Path(), std::move(path));
    return RegistryStatus::Ok;
}

RegistryStatus CRegistryStore::CreateKey(std::string_view root, std::string_view subkey,
                                         bool& created,
                                         std::unique_ptr<RegistryKeyHandle>& key) const {
    if (!IsValidSubkey(subkey)) {
        return RegistryStatus::Failed;
    }
    CRegistryFile file(RootFile(root));
    auto path = FullPath(root, subkey);
    created = false;
    const auto status = file.Update([&](CRegistryDocument& document) {
        created = !subkey.empty() && !document.HasKey(path) && document.AddKey(path);
        return created ? RegistryChange::Made : RegistryChange::None;
    });
    if (status != RegistryStatus::Ok) {
        return status;
    }
    key = std::make_unique<CRegistryFileKey>(file.Path(), std::move(path));
    return RegistryStatus::Ok;
}

std::optional<std::string> CRegistryStore::LocalDirectory(const std::string& directoryValue) const {
    return directoryValue;
}
