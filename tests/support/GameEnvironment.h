#pragma once

#include "tests/support/TempDir.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A private world for one test: the registry store, XDG_DATA_HOME and
// XDG_CONFIG_HOME point into a fresh temporary folder, and the language is
// English (en_US) until SetLocale changes it. Everything it changes in the
// environment is put back when it goes.
class GameEnvironment {
public:
    // The names of the game folders below the game folder, by index 1 to 7
    // (index 0, Main, is the game folder itself).
    static const char* const kFolderNames[8];

    GameEnvironment();
    ~GameEnvironment();
    GameEnvironment(const GameEnvironment&) = delete;
    GameEnvironment& operator=(const GameEnvironment&) = delete;

    const TempDir& Root() const { return m_root; }
    std::filesystem::path RegistryDir() const { return m_root / "registry"; }
    std::filesystem::path DataHome() const { return m_root / "data"; }
    // The registry file of a root, e.g. "HKEY_CURRENT_USER".
    std::filesystem::path RegistryFile(const char* root) const;

    // Sets LC_ALL, e.g. "de_DE.UTF-8".
    void SetLocale(const char* locale);

    // Creates the game folder (by default Root()/game) with its seven
    // subfolders, writes the eight directory values (each ending in "/") under
    // the machine root's game key and creates the game key under the user
    // root. Returns the game folder.
    std::filesystem::path InstallGame();
    std::filesystem::path InstallGame(const std::filesystem::path& gameFolder);

private:
    void Set(const char* name, const std::string& value);

    TempDir m_root;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
