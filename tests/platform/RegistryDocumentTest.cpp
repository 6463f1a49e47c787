#include "platform/RegistryDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Test";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A string value's bytes: the text and its terminating zero.
std::vector<std::uint8_t> Sz(std::string_view text) {
    auto bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
}

CRegistryDocument ParseOrFail(std::string_view text) {
    auto document = CRegistryDocument::Parse(text);
    EXPECT_TRUE(document.has_value()) << text;
    return document.value_or(CRegistryDocument());
}

TEST(RegistryDocument, WritesEveryTypeInTheExportFormatAndReadsItBack) {
    CRegistryDocument document;
    document.SetValue(kKey, "Path", kRegSz, Sz("C:\\Game \"1\""));
    document.SetValue(kKey, "", kRegSz, Sz("default"));
    document.SetValue(kKey, "Count", kRegDword, {0x1f, 0, 0, 0x80});
    document.SetValue(kKey, "Expand", kRegExpandSz, Sz("%HOME%"));
    document.SetValue(kKey, "Multi\\Line", kRegSz, Sz("a\nb"));
    document.SetValue(kKey, "Raw", 0xb, {1, 2});
    std::vector<std::uint8_t> binary(30);
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<std::uint8_t>(i * 9);
    }
    document.SetValue(kKey, "Blob", kRegBinary, binary);

    const std::string text = document.Serialise();
    EXPECT_EQ(text,
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software\\Test]\n"
              "\"Path\"=\"C:\\\\Game \\\"1\\\"\"\n"
              "@=\"default\"\n"
              "\"Count\"=dword:8000001f\n"
              "\"Expand\"=hex(2):25,48,4f,4d,45,25,00\n"
              "\"Multi\\\\Line\"=hex(1):61,0a,62,00\n"
              "\"Raw\"=hex(b):01,02\n"
              "\"Blob\"=hex:00,09,12,1b,24,2d,36,3f,48,51,5a,63,6c,75,7e,87,90,99,a2,ab,b4,\\\n"
              "  bd,c6,cf,d8,e1,ea,f3,fc,05\n\n");

    const auto reread = ParseOrFail(text);
    EXPECT_EQ(reread.Serialise(), text);
    for (const auto& value : document.Keys()[0].values) {
        const auto* found = reread.FindValue(kKey, value.name);
        ASSERT_NE(found, nullptr) << value.name;
        EXPECT_EQ(found->type, value.type) << value.name;
        EXPECT_EQ(found->data, value.data) << value.name;
    }
}

TEST(RegistryDocument, KeepsValuesItDoesNotChangeAsWrittenAndComparesNamesIgnoringCase) {
    const std::string text = "REGEDIT4\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Game]\r\n"
                             "\"Odd\"=HEX(7):41,00,00,\\\r\n"
                             "    00\r\n"
                             "\"Tool8\"=\"old\"\r\n"
                             "[hkey_current_user\\software\\GAME]\r\n"
                             "\"Late\"=dword:1\r\n";
    auto document = ParseOrFail(text);
    EXPECT_TRUE(document.HasKey("HKEY_CURRENT_USER\\SOFTWARE"));
    EXPECT_FALSE(document.HasKey("HKEY_CURRENT_USER\\Soft"));
    ASSERT_NE(document.FindValue("HKEY_CURRENT_USER\\software\\game", "LATE"), nullptr);
    EXPECT_EQ(document.FindValue(kKey, "Late"), nullptr);
    const auto* odd = document.FindValue("HKEY_CURRENT_USER\\Software\\Game", "odd");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->type, 7u);
    EXPECT_EQ(odd->data, (std::vector<std::uint8_t>{0x41, 0, 0, 0}));

    document.SetValue("HKEY_CURRENT_USER\\software\\game", "TOOL8", kRegSz, Sz("new"));
    EXPECT_EQ(document.Serialise(), "REGEDIT4\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\Game]\n"
                                    "\"Odd\"=HEX(7):41,00,00,\\\n"
                                    "    00\n"
                                    "\"Tool8\"=\"new\"\n"
                                    "\"Late\"=dword:1\n\n");
}

TEST(RegistryDocument, RefusesEveryLineThatIsNotOfTheFormat) {
    const std::string header = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n";
    const std::string damaged[] = {
        "",
        "REGEDIT5\n",
        "Windows Registry Editor Version 5.00\n",
        "REGEDIT4\n\"v\"=\"before any key\"\n",
        header + "garbage\n",
        header + "\"v\"=qword:0000000000000001\n",
        header + "\"v\"=dword:123456789\n",
        header + "\"v\"=dword:\n",
        header + "\"v\"=hex:01,02,\\\n",
        header + "\"v\"=hex:01,0g\n",
        header + "\"v\"=hex:01,\n",
        header + "\"v\"=hex:123\n",
        header + "\"v\"=hex(:01\n",
        header + "\"v\"=\"unterminated\n",
        header + "\"v\"=\"bad \\n escape\"\n",
        header + "\"v\"=\"text\" tail\n",
        header + "\"v\"\n",
        header + "\"v\"=-\n",
        header + "[-HKEY_CURRENT_USER\\A]\n",
        header + "[HKEY_CURRENT_USER\\A\n",
        header + "\"" + std::string(kMaxRegistryNameLength + 1, 'n') + "\"=dword:1\n",
    };
    for (const auto& text : damaged) {
        EXPECT_FALSE(CRegistryDocument::Parse(text).has_value()) << text.substr(0, 80);
    }
    std::string huge = header + "@=hex:00";
    for (std::size_t i = 1; i <= kMaxRegistryValueSize; ++i) {
        huge += ",00";
    }
    EXPECT_FALSE(CRegistryDocument::Parse(huge + "\n").has_value());
    EXPECT_TRUE(CRegistryDocument::Parse(header + "@=hex:\n\"e\"=\"\"\n").has_value());
}

} // namespace
