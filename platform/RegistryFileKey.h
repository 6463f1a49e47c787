#pragma once

#include "platform/RegistryKeyHandle.h"

#include <filesystem>
#include <string>

// A key of the file store: the root's file and the key's full path in it. The
// file is re-read on every access.
class CRegistryFileKey final : public RegistryKeyHandle {
public:
    CRegistryFileKey(std::filesystem::path file, std::string keyPath)
        : m_file(std::move(file)), m_keyPath(std::move(keyPath)) {}

    RegistryStatus Read(std::string_view name, RegistryValue& value) const override;
    // Takes the lock, re-reads, sets this one value and replaces the file.
    RegistryStatus Write(std::string_view name, std::uint32_t type,
                         std::vector<std::uint8_t> data) const override;

private:
    CRegistryFile m_file;
    std::string m_keyPath;
};
