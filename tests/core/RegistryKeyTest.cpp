#include "core/RegistryKey.h"
#include "tests/support/Caught.h"
#include "tests/support/RegistryFiles.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A key is there once a file names it or one below it; the root always is.
TEST(RegistryKey, OpensKeysThatExistAndRefusesPathsNoFileCanHold) {
    GameEnvironment environment;
    WriteRegistryFile(environment, "HKEY_CURRENT_USER", RegistryText(kUserGameKey, ""));
    enum Kind { kExists, kMissing, kInvalid };
    const std::pair<std::string, Kind> cases[] = {
        {kGameKeyPath, kExists},
        {"SOFTWARE\\vantrell technology", kExists},
        {"", kExists},
        {"Software\\Other", kMissing},
        {"Software\\\\Empty", kInvalid},
        {"Software\\", kInvalid},
        {"Bad\xFF", kInvalid},
        {"Line\nBreak", kInvalid},
        {std::string(255, 'k'), kMissing},
        {std::string(256, 'k'), kInvalid},
    };
    for (const auto& [name, kind] : cases) {
        const char* subkey = name.c_str();
        const std::string refused = "Error opening registry key (\"" + name + "\")";
        CRegistryKey key;
        EXPECT_EQ(CaughtMessage([&] { key.OpenKey(RegistryRoot::CurrentUser, subkey); }),
                  kind == kExists ? "(nothing thrown)" : refused);
        EXPECT_EQ(key.IsOpen(), kind == kExists);
        EXPECT_EQ(CaughtMessage([&] { key.CreateKey(RegistryRoot::CurrentUser, subkey); }),
                  kind == kInvalid ? refused : "(nothing thrown)");
    }
    bool created = false;
    CRegistryKey key;
    key.CreateKey(RegistryRoot::CurrentUser, "software\\VANTRELL technology\\New", &created);
    EXPECT_TRUE(created);
    key.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath, &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(key.Close(), 0);
    EXPECT_EQ(key.Close(), 6);
}

TEST(RegistryKey, ReportsEachFailureWithItsMessage) {
    GameEnvironment environment;
    CRegistryKey key;
    std::string text;
    EXPECT_EQ(CaughtMessage([&] { key.WriteDword("v", 1); }), "Error while writing to registry");
    EXPECT_EQ(CaughtMessage([&] { key.ReadString("v", text); }), "Error reading registry");

    WriteRegistryFile(environment, "HKEY_CURRENT_USER",
                      RegistryText("HKEY_CURRENT_USER\\K",
                                   "\"Point\"=hex:f4,ff,ff,ff,70,11,01,00\n"
                                   "\"Short\"=hex:01,02,03,04,05,06,07\n"
                                   "\"Long\"=hex:01,02,03,04,05,06,07,08,09\n"
                                   "\"Number\"=dword:00000001\n"
                                   "\"Text\"=\"t\"\n"
                                   "\"Wide\"=hex(4):01,00\n"));
    key.OpenKey(RegistryRoot::CurrentUser, "K");
    std::int32_t x = 0, y = 0;
    EXPECT_TRUE(key.ReadPoint("point", x, y));
    EXPECT_EQ(std::pair(x, y), std::pair(-12, 70000));
    std::uint32_t dword = 0;
    for (const auto& read : std::initializer_list<std::function<void()>>{
             [&] { key.ReadPoint("Short", x, y); }, [&] { key.ReadPoint("Long", x, y); },
             [&] { key.ReadPoint("Number", x, y); }, [&] { key.ReadDword("Text", dword); },
             [&] { key.ReadDword("Wide", dword); }, [&] { key.ReadString("Number", text); }}) {
        EXPECT_EQ(CaughtMessage(read), "Error reading registry");
    }
    EXPECT_EQ(CaughtMessage([&] { key.WriteString(std::string(16384, 'n').c_str(), ""); }),
              "Error while writing to registry");

    // A damaged file is left byte for byte: nothing reads from or writes to it.
    const std::string damaged = RegistryText("HKEY_CURRENT_USER\\K", "this line is no value\n");
    WriteRegistryFile(environment, "HKEY_CURRENT_USER", damaged);
    EXPECT_EQ(CaughtMessage([&] { key.ReadString("v", text); }), "Error reading registry");
    EXPECT_EQ(CaughtMessage([&] { key.WriteString("v", "new"); }),
              "Error while writing to registry");
    CRegistryKey other;
    EXPECT_EQ(CaughtMessage([&] { other.OpenKey(RegistryRoot::CurrentUser, "K"); }),
              "Error opening registry key (\"K\")");
    EXPECT_EQ(CaughtMessage([&] { other.CreateKey(RegistryRoot::CurrentUser, "K\\L"); }),
              "Error opening registry key (\"K\\L\")");
    EXPECT_EQ(environment.Root().Read("registry/HKEY_CURRENT_USER.reg"), damaged);
    // A file shorter than its size says, as one cut while it is read, is read to its end.
    std::filesystem::remove(environment.RegistryFile("HKEY_CURRENT_USER"));
    std::filesystem::create_symlink("/sys/devices/system/cpu/online",
                                    environment.RegistryFile("HKEY_CURRENT_USER"));
    EXPECT_EQ(CaughtMessage([&] { other.OpenKey(RegistryRoot::CurrentUser, "K"); }),
              "Error opening registry key (\"K\")");
}

} // namespace
