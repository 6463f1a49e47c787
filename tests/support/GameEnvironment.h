#pragma once

#include "core/RegistryKey.h"
#include "gamelink/GameContract.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <list>

// A private world for one test: the registry store, XDG_DATA_HOME and XDG_CONFIG_HOME in a fresh
// temporary folder, the language English (en_US). The environment is put back when it goes.
class GameEnvironment {
public:
    // The game folders by index; index 0, Main, is the game folder itself.
    static constexpr const char* kFolderNames[8] = {"",       "Genetics", "Objects", "Applet Data",
                                                    "Images", "Sounds",   "History", "Eggs"};
    GameEnvironment() {
        m_variables.emplace_back("MIREWALK_REGISTRY_DIR", RegistryDir().string());
        m_variables.emplace_back("XDG_DATA_HOME", DataHome().string());
        m_variables.emplace_back("XDG_CONFIG_HOME", (m_root / "config").string());
        m_variables.emplace_back("LC_ALL", "en_US.UTF-8");
        m_variables.emplace_back("LC_MESSAGES", "");
        m_variables.emplace_back("LANG", "en_US.UTF-8");
    }
    const TempDir& Root() const { return m_root; }
    std::filesystem::path RegistryDir() const { return m_root / "registry"; }
    std::filesystem::path DataHome() const { return m_root / "data"; }
    // The registry file of a root, e.g. "HKEY_CURRENT_USER".
    std::filesystem::path RegistryFile(const char* root) const {
        return RegistryDir() / (std::string(root) + ".reg");
    }
    void SetLocale(const char* locale) { ::setenv("LC_ALL", locale, 1); }
    // Creates Root()/game and its subfolders, writes the game's directory values (each ending in
    // "/") under the machine's game key and creates the user's game key. Returns the game folder.
    std::filesystem::path InstallGame() {
        CRegistryKey machine;
        machine.CreateKey(RegistryRoot::LocalMachine, kGameKeyPath);
        for (int index = 0; index < GameContract::kGameDirectoryCount; ++index) {
            const auto folder = m_root / "game" / kFolderNames[index] / "";
            std::filesystem::create_directories(folder);
            machine.WriteString(GameContract::kGameDirectoryValues[index], folder.c_str());
        }
        CRegistryKey().CreateKey(RegistryRoot::CurrentUser, kGameKeyPath);
        return m_root / "game";
    }

private:
    TempDir m_root;
    std::list<ScopedVariable> m_variables;
};
