#include "sim/mirewalk-sim/GameFolder.h"

#include "core/RegistryKey.h"
#include "gamelink/GameContract.h"

#include <string>

void InitGameFolder(const std::filesystem::path& folder) {
    const std::filesystem::path root = std::filesystem::absolute(folder).lexically_normal();
    CRegistryKey machineKey;
    machineKey.CreateKey(RegistryRoot::LocalMachine, kGameKeyPath);
    for (int i = 0; i < GameContract::kGameDirectoryCount; ++i) {
        const std::filesystem::path directory = root / GameContract::kGameDirectoryFolders[i];
        std::filesystem::create_directories(directory);
        // The game stores directories with their separator, ready to join names.
        const std::string value = directory.string() + "/";
        machineKey.WriteString(GameContract::kGameDirectoryValues[i], value.c_str());
    }
    machineKey.Close();
    CRegistryKey userKey;
    userKey.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath);
}
