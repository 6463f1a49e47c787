#pragma once

#include "platform/GameHost.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// The registry as text files, one per root ("HKEY_CURRENT_USER.reg", ...), in
// one folder; the host of a game of this machine, whose folder values are
// this machine's paths already.
class CRegistryStore final : public IGameHost {
public:
    explicit CRegistryStore(std::filesystem::path directory) : m_directory(std::move(directory)) {}

    // $MIREWALK_REGISTRY_DIR when set, otherwise ${XDG_CONFIG_HOME:-$HOME/.config}/mirewalk2.
    static std::filesystem::path DefaultDirectory();

    std::filesystem::path RootFile(std::string_view root) const;

    RegistryStatus OpenKey(std::string_view root, std::string_view subkey,
                           std::unique_ptr<RegistryKeyHandle>& key) const override;
    RegistryStatus CreateKey(std::string_view root, std::string_view subkey, bool& created,
                             std::unique_ptr<RegistryKeyHandle>& key) const override;
    // The value as it is.
    std::optional<std::string> LocalDirectory(const std::string& directoryValue) const override;

private:
    std::filesystem::path m_directory;
};
