#include "app/RegistryKey.h"
#include "tests/support/Caught.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/Utf16File.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kOpenError =
    "Error opening registry key (\"Software\\Vantrell Technology\\Mirewalk 2\\1.0\")";

TEST(RegistryKey, WritesAndReadsBackEveryKindOfValue) {
    GameEnvironment environment;
    CRegistryKey key;
    bool created = false;
    key.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath, &created);
    EXPECT_TRUE(created);
    key.WriteString("Text", "C:\\Game \"x\"");
    key.WritePoint("Location", -12, 70000);
    key.WriteDword("On Top", 0xfffffffe);

    CRegistryKey again;
    again.CreateKey(RegistryRoot::CurrentUser, kGameKeyPath, &created);
    EXPECT_FALSE(created);
    std::string text;
    std::int32_t x = 0, y = 0;
    std::uint32_t dword = 0;
    EXPECT_TRUE(again.ReadString("TEXT", text));
    EXPECT_EQ(text, "C:\\Game \"x\"");
    EXPECT_TRUE(again.ReadPoint("location", x, y));
    EXPECT_EQ(x, -12);
    EXPECT_EQ(y, 70000);
    EXPECT_TRUE(again.ReadDword("On Top", dword));
    EXPECT_EQ(dword, 0xfffffffeu);
    EXPECT_FALSE(again.ReadString("Absent", text));
    EXPECT_FALSE(again.ReadPoint("Absent", x, y));
    EXPECT_FALSE(again.ReadDword("Absent", dword));
    EXPECT_EQ(again.Close(), 0);
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(environment.Root().Read("registry/HKEY_CURRENT_USER.reg"),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0]\n"
              "\"Text\"=\"C:\\\\Game \\\"x\\\"\"\n"
              "\"Location\"=hex:f4,ff,ff,ff,70,11,01,00\n"
              "\"On Top\"=dword:fffffffe\n\n");
}

TEST(RegistryKey, ReadsAndWritesAUserFileAsARegistryEditorExportsItWithAComment) {
    GameEnvironment environment;
    const std::u16string exported =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"; exported by the player\r\n"
        u"[HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0]\r\n"
        u"\"NoAppletMenus\"=dword:00000001\r\n"
        u"\"Tool8\"=\"old\"\r\n"
        u"\"Folder\"=hex(2):2f,00,fc,00,2f,00,00,00\r\n\r\n";
    environment.Root().Write("registry/HKEY_CURRENT_USER.reg", Utf16File(exported));

    CRegistryKey key;
    key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    std::uint32_t menus = 0;
    std::string folder;
    EXPECT_TRUE(key.ReadDword("NoAppletMenus", menus));
    EXPECT_EQ(menus, 1u);
    EXPECT_TRUE(key.ReadString("Folder", folder));
    EXPECT_EQ(folder, "/\xC3\xBC/");
    key.WriteString("Tool8", "MW_Injector.OLE|Splicebox|Splicebox description here.|7|4");
    CRegistryKey applet;
    applet.CreateKey(RegistryRoot::CurrentUser,
                     "Software\\Vantrell Technology\\Mirewalk 2\\1.0\\Splicebox\\1.0");
    applet.WritePoint("Location", 100, 200);

    EXPECT_EQ(
        environment.Root().Read("registry/HKEY_CURRENT_USER.reg"),
        Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                  u"; exported by the player\r\n"
                  u"[HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0]\r\n"
                  u"\"NoAppletMenus\"=dword:00000001\r\n"
                  u"\"Tool8\"=\"MW_Injector.OLE|Splicebox|Splicebox description here.|7|4\"\r\n"
                  u"\"Folder\"=hex(2):2f,00,fc,00,2f,00,00,00\r\n\r\n"
                  u"[HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0\\"
                  u"Splicebox\\1.0]\r\n"
                  u"\"Location\"=hex:64,00,00,00,c8,00,00,00\r\n\r\n"));
}

TEST(RegistryKey, ReportsEachFailureWithItsMessage) {
    GameEnvironment environment;
    CRegistryKey key;
    EXPECT_EQ(CaughtMessage([&] { key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath); }),
              kOpenError);
    EXPECT_EQ(CaughtMessage([&] { key.WriteDword("v", 1); }), "Error while writing to registry");
    std::string text;
    EXPECT_EQ(CaughtMessage([&] { key.ReadString("v", text); }), "Error reading registry");

    environment.Root().Write("registry/HKEY_CURRENT_USER.reg",
                             "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n"
                             "\"Short\"=hex:01,02,03,04,05,06,07\n"
                             "\"Long\"=hex:01,02,03,04,05,06,07,08,09\n"
                             "\"Number\"=dword:00000001\n"
                             "\"Text\"=\"t\"\n"
                             "\"Wide\"=hex(4):01,00\n");
    key.OpenKey(RegistryRoot::CurrentUser, "K");
    std::int32_t x = 0, y = 0;
    std::uint32_t dword = 0;
    for (const auto& read : std::initializer_list<std::function<void()>>{
             [&] { key.ReadPoint("Short", x, y); }, [&] { key.ReadPoint("Long", x, y); },
             [&] { key.ReadPoint("Number", x, y); }, [&] { key.ReadDword("Text", dword); },
             [&] { key.ReadDword("Wide", dword); }, [&] { key.ReadString("Number", text); }}) {
        EXPECT_EQ(CaughtMessage(read), "Error reading registry");
    }
}

TEST(RegistryKey, LeavesADamagedFileByteForByte) {
    GameEnvironment environment;
    CRegistryKey key;
    key.CreateKey(RegistryRoot::CurrentUser, "K");
    const std::string original = environment.Root().Read("registry/HKEY_CURRENT_USER.reg");
    const std::string garbage[] = {
        original + "this line is no value\n",
        original + "\"v\"=float:1.5\n",
        original + "\"v\"=hex:01,02,\\\n",
        // Import instructions that delete, not data that a file keeps.
        original + "\"v\"=-\n",
        original + "[-HKEY_CURRENT_USER\\K]\n",
        "\x89PNG\r\n\x1a\n",
    };
    for (const auto& damaged : garbage) {
        const auto path = environment.Root().Write("registry/HKEY_CURRENT_USER.reg", damaged);
        std::string text;
        EXPECT_EQ(CaughtMessage([&] { key.ReadString("v", text); }), "Error reading registry");
        EXPECT_EQ(CaughtMessage([&] { key.WriteString("v", "new"); }),
                  "Error while writing to registry");
        CRegistryKey other;
        EXPECT_EQ(CaughtMessage([&] { other.OpenKey(RegistryRoot::CurrentUser, "K"); }),
                  "Error opening registry key (\"K\")");
        EXPECT_EQ(CaughtMessage([&] { other.CreateKey(RegistryRoot::CurrentUser, "K\\L"); }),
                  "Error opening registry key (\"K\\L\")");
        EXPECT_EQ(environment.Root().Read("registry/HKEY_CURRENT_USER.reg"), damaged);
    }
}

} // namespace
