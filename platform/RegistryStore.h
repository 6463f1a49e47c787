#pragma once

#include "platform/RegistryFile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// An open key: the root's file and the key's full path in it. The file is
// re-read on every access, so values written meanwhile by another process
// (the game) are seen.
class RegistryKeyHandle {
public:
    RegistryKeyHandle(std::filesystem::path file, std::string keyPath)
        : m_file(std::move(file)), m_keyPath(std::move(keyPath)) {}

    RegistryStatus Read(std::string_view name, RegistryValue& value) const;
    // Takes the lock, re-reads, sets this one value and replaces the file.
    RegistryStatus Write(std::string_view name, std::uint32_t type,
                         std::vector<std::uint8_t> data) const;

private:
    CRegistryFile m_file;
    std::string m_keyPath;
};

// The registry as text files, one per root ("HKEY_CURRENT_USER.reg", ...), in
// one folder.
class CRegistryStore {
public:
    explicit CRegistryStore(std::filesystem::path directory) : m_directory(std::move(directory)) {}

    // $MIREWALK_REGISTRY_DIR when set, otherwise ${XDG_CONFIG_HOME:-$HOME/.config}/mirewalk2.
    static std::filesystem::path DefaultDirectory();

    std::filesystem::path RootFile(std::string_view root) const;

    // Opens an existing key; the empty subkey is the root itself.
    RegistryStatus OpenKey(std::string_view root, std::string_view subkey,
                           std::unique_ptr<RegistryKeyHandle>& key) const;
    // Opens the key, adding it to the file when missing; `created` tells which.
    RegistryStatus CreateKey(std::string_view root, std::string_view subkey, bool& created,
                             std::unique_ptr<RegistryKeyHandle>& key) const;

private:
    std::filesystem::path m_directory;
};
