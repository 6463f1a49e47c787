#pragma once

#include "tests/support/TempDir.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A private world for one test: the registry store, XDG_DATA_HOME and
// XDG_CONFIG_HOME in a fresh temporary folder, the language English (en_US)
// until SetLocale changes it. The environment is put back when it goes.
class GameEnvironment {
public:
    // The game folders by index; index 0, Main, is the game folder itself.
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
    void SetLocale(const char* locale) { Set("LC_ALL", locale); }

    // Creates Root()/game and its subfolders, writes the game's directory
    // values (each ending in "/") under the machine's game key and creates the
    // user's game key. Returns the game folder.
    std::filesystem::path InstallGame();

private:
    void Set(const char* name, const std::string& value);

    TempDir m_root;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
