#include "platform/RegistryStore.h"

#include "platform/TextCodec.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

// The registry's limit on the length of one key name in a path.
constexpr std::size_t kMaxKeyNameLength = 255;

// UTF-8, as all system text, so that any file can hold it; backslash-separated
// names, none empty or too long, none holding a character that would break the
// file's key line.
bool IsValidSubkey(std::string_view subkey) {
    if (subkey.empty()) {
        return true;
    }
    if (!IsValidUtf8(subkey)) {
        return false;
    }
    while (true) {
        const auto separator = subkey.find('\\');
        const auto name = subkey.substr(0, separator);
        if (name.empty() || name.size() > kMaxKeyNameLength ||
            name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) {
            return false;
        }
        if (separator == std::string_view::npos) {
            return true;
        }
        subkey.remove_prefix(separator + 1);
    }
}

std::string FullPath(std::string_view root, std::string_view subkey) {
    std::string path(root);
    if (!subkey.empty()) {
        path.append("\\").append(subkey);
    }
    return path;
}

std::filesystem::path HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr ? user->pw_dir : "/";
}

} // namespace

RegistryStatus RegistryKeyHandle::Read(std::string_view name, RegistryValue& value) const {
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

RegistryStatus RegistryKeyHandle::Write(std::string_view name, std::uint32_t type,
                                        std::vector<std::uint8_t> data) const {
    if (name.size() > kMaxRegistryNameLength || data.size() > kMaxRegistryValueSize) {
        return RegistryStatus::Failed;
    }
    return m_file.Update([&](CRegistryDocument& document) {
        return document.SetValue(m_keyPath, name, type, std::move(data)) ? RegistryChange::Made
                                                                         : RegistryChange::Refused;
    });
}

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
    key = std::make_unique<RegistryKeyHandle>(file.Path(), std::move(path));
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
    key = std::make_unique<RegistryKeyHandle>(file.Path(), std::move(path));
    return RegistryStatus::Ok;
}
