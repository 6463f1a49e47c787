#include "core/GameConfig.h"
#include "core/RegistryKey.h"
#include "platform/ActiveGameHost.h"
#include "tests/support/Caught.h"
#include "tests/support/RegistryFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Table = std::map<std::string, std::string>;

// String values by "ROOT\subkey\name" and a table of the folders it maps, as
// a host of the game's settings elsewhere would. Its key "Fails" fails every
// access; "Missing" is not there.
class CTableHost final : public IGameHost {
public:
    CTableHost(Table strings, Table folders)
        : m_strings(std::move(strings)), m_folders(std::move(folders)) {}

    RegistryStatus OpenKey(std::string_view root, std::string_view subkey,
                           std::unique_ptr<RegistryKeyHandle>& key) const override {
        if (subkey == "Missing") {
            return RegistryStatus::Missing;
        }
        key = std::make_unique<Key>(m_strings, std::string(root) + "\\" + std::string(subkey),
                                    subkey == "Fails");
        return RegistryStatus::Ok;
    }
    RegistryStatus CreateKey(std::string_view root, std::string_view subkey, bool& created,
                             std::unique_ptr<RegistryKeyHandle>& key) const override {
        created = true;
        return OpenKey(root, subkey, key);
    }
    std::optional<std::string> LocalDirectory(const std::string& value) const override {
        const auto found = m_folders.find(value);
        return found != m_folders.end() ? std::optional(found->second) : std::nullopt;
    }

private:
    struct Key final : RegistryKeyHandle {
        Key(const Table& strings, std::string path, bool fails)
            : strings(strings), path(std::move(path)), fails(fails) {}
        RegistryStatus Read(std::string_view name, RegistryValue& value) const override {
            const auto found = strings.find(path + "\\" + std::string(name));
            if (fails || found == strings.end()) {
                return fails ? RegistryStatus::Failed : RegistryStatus::Missing;
            }
            value.data.assign(found->second.begin(), found->second.end());
            value.data.push_back(0);
            return RegistryStatus::Ok;
        }
        RegistryStatus Write(std::string_view, std::uint32_t,
                             std::vector<std::uint8_t>) const override {
            return fails ? RegistryStatus::Failed : RegistryStatus::Ok;
        }
        const Table& strings;
        std::string path;
        bool fails;
    };

    Table m_strings;
    Table m_folders;
};

struct InstalledHost {
    explicit InstalledHost(Table strings, Table folders) {
        InstallGameHost(std::make_unique<CTableHost>(std::move(strings), std::move(folders)));
    }
    ~InstalledHost() { InstallGameHost(nullptr); }
};

std::string DirectoryOrMessage(int index) {
    std::string directory;
    const auto message = CaughtMessage([&] { directory = GetGameDirectory(index); });
    return message == "(nothing thrown)" ? directory : message;
}

const std::string kMachineKey = std::string("HKEY_LOCAL_MACHINE\\") + kGameKeyPath + "\\";

// The registry key and the game's folders go through the installed host with
// the registry's usual messages; a folder it cannot map is refused with the
// value as read. Without one, the file store named by the environment now.
TEST(GameHost, AnInstalledHostServesTheRegistryAndMapsTheGamesFolders) {
    GameEnvironment files;
    WriteRegistryFile(files, "HKEY_LOCAL_MACHINE",
                      RegistryText(kMachineKey.substr(0, kMachineKey.size() - 1),
                                   "\"Main Directory\"=\"/file/\"\n"));
    {
        const InstalledHost host({{kMachineKey + "Main Directory", "C:\\Game"},
                                  {kMachineKey + "Objects Directory", "X:\\Objects"},
                                  {"HKEY_CURRENT_USER\\Key\\Text", "text"}},
                                 {{"C:\\Game/", "/mapped/game/"}});
        EXPECT_EQ(DirectoryOrMessage(kMainDirectory), "/mapped/game/");
        EXPECT_EQ(DirectoryOrMessage(kObjectsDirectory),
                  "The folder \"X:\\Objects\" is on a drive that Wine does not map to a folder of "
                  "this computer.");

        CRegistryKey key;
        std::string text;
        key.OpenKey(RegistryRoot::CurrentUser, "Key");
        EXPECT_TRUE(key.ReadString("Text", text));
        EXPECT_EQ(text, "text");
        EXPECT_FALSE(key.ReadString("Other", text));
        EXPECT_EQ(CaughtMessage([&] { key.OpenKey(RegistryRoot::CurrentUser, "Missing"); }),
                  "Error opening registry key (\"Missing\")");
        key.CreateKey(RegistryRoot::CurrentUser, "Fails");
        EXPECT_EQ(CaughtMessage([&] { key.ReadString("Text", text); }), "Error reading registry");
        EXPECT_EQ(CaughtMessage([&] { key.WriteString("Text", "new"); }),
                  "Error while writing to registry");
    }
    EXPECT_EQ(DirectoryOrMessage(kMainDirectory), "/file/");
    const GameEnvironment other;
    EXPECT_EQ(DirectoryOrMessage(kMainDirectory),
              "Error opening registry key (\"Software\\Vantrell Technology\\Mirewalk 2\\1.0\")");
}

} // namespace
