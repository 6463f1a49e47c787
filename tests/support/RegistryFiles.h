#pragma once

#include "tests/support/GameEnvironment.h"

// The key path of the game's settings under the user's root, as a key line names it.
inline constexpr const char* kUserGameKey =
    "HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0";

// A registry file as people write one by hand: the header, one key and its value lines.
inline std::string RegistryText(std::string_view keyPath, std::string_view valueLines) {
    return "REGEDIT4\n[" + std::string(keyPath) + "]\n" + std::string(valueLines);
}

// A text file as registry editors export it: UTF-16 LE after a byte-order mark.
inline std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Puts `bytes` in place of the store's file of `root`, e.g. "HKEY_LOCAL_MACHINE".
inline void WriteRegistryFile(const GameEnvironment& environment, const char* root,
                              std::string_view bytes) {
    environment.Root().Write(environment.RegistryFile(root), bytes);
}
