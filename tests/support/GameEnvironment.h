#pragma once

#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <list>

// A private world for one test: the registry store, XDG_DATA_HOME and XDG_CONFIG_HOME in a fresh
// temporary folder, the language English (en_US) until SetLocale changes it. The environment is
// put back when it goes.
class GameEnvironment {
public:
    // The game folders by index; index 0, Main, is the game folder itself.
    static constexpr const char* kFolderNames[8] = {
        "", "Genetics", "Objects", "Applet Data", "Images", "Sounds", "History", "Eggs",
    };

    GameEnvironment();

    const TempDir& Root() const { return m_root; }
    std::filesystem::path RegistryDir() const { return m_root / "registry"; }
    std::filesystem::path DataHome() const { return m_root / "data"; }
    // The registry file of a root, e.g. "HKEY_CURRENT_USER".
    std::filesystem::path RegistryFile(const char* root) const {
        return RegistryDir() / (std::string(root) + ".reg");
    }
    // Sets LC_ALL, e.g. "de_DE.UTF-8".
    void SetLocale(const char* locale) { ::setenv("LC_ALL", locale, 1); }
    // Creates Root()/game and its subfolders, writes the game's directory values (each ending in
    // "/") under the machine's game key and creates the user's game key. Returns the game folder.
    std::filesystem::path InstallGame();

private:
    TempDir m_root;
    std::list<ScopedVariable> m_variables;
};
