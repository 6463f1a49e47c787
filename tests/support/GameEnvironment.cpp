#include "tests/support/GameEnvironment.h"

#include "app/RegistryKey.h"
#include "gamelink/GameContract.h"

GameEnvironment::GameEnvironment() {
    m_variables.emplace_back("MIREWALK_REGISTRY_DIR", RegistryDir().string());
    m_variables.emplace_back("XDG_DATA_HOME", DataHome().string());
    m_variables.emplace_back("XDG_CONFIG_HOME", (m_root / "config").string());
    m_variables.emplace_back("LC_ALL", "en_US.UTF-8");
    m_variables.emplace_back("LC_MESSAGES", "");
    m_variables.emplace_back("LANG", "en_US.UTF-8");
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
