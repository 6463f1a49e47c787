#include "tests/support/GameEnvironment.h"

#include "app/RegistryKey.h"
#include "gamelink/GameContract.h"

#include <algorithm>
#include <cstdlib>

const char* const GameEnvironment::kFolderNames[8] = {
    "", "Genetics", "Objects", "Applet Data", "Images", "Sounds", "History", "Eggs",
};

GameEnvironment::GameEnvironment() {
    Set("MIREWALK_REGISTRY_DIR", RegistryDir().string());
    Set("XDG_DATA_HOME", DataHome().string());
    Set("XDG_CONFIG_HOME", (m_root / "config").string());
    Set("LC_ALL", "en_US.UTF-8");
    Set("LC_MESSAGES", "");
    Set("LANG", "en_US.UTF-8");
}

GameEnvironment::~GameEnvironment() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        it->second ? ::setenv(it->first.c_str(), it->second->c_str(), 1)
                   : ::unsetenv(it->first.c_str());
    }
}

std::filesystem::path GameEnvironment::RegistryFile(const char* root) const {
    return RegistryDir() / (std::string(root) + ".reg");
}

std::filesystem::path GameEnvironment::InstallGame() {
    CRegistryKey machine;
    machine.CreateKey(RegistryRoot::LocalMachine, kGameKeyPath);
    for (int index = 0; index < GameContract::kGameDirectoryCount; ++index) {
        const auto folder = m_root / "game" / kFolderNames[index] / "";
        std::filesystem::create_directories(folder);
        machine.WriteString(GameContract::kGameDirectoryValues[index], folder.c_str());
    }
    CRegistryKey user;
    user.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath);
    return m_root / "game";
}

void GameEnvironment::Set(const char* name, const std::string& value) {
    if (std::none_of(m_saved.begin(), m_saved.end(),
                     [&](const auto& entry) { return entry.first == name; })) {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    ::setenv(name, value.c_str(), 1);
}
