#include "platform/RegistryDocument.h"
#include "tests/support/RegistryFiles.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Test";
const std::string kVersion5 = "Windows Registry Editor Version 5.00";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

struct Value {
    const char* name;
    std::uint32_t type;
    std::string data;
};

// A value replaces its line under the file's spelling of its name, or follows its key's last one,
// in the form a registry editor exports; every other line stays as it was.
TEST(RegistryDocument, WritesEveryTypeInTheExportFormAndKeepsTheOtherLines) {
    const std::string head =
        "; Kept by hand\nREGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Test]\n  ; indented\n";
    const std::string tail = "\n; the next key\n[HKEY_CURRENT_USER\\Software\\Next]\n";
    auto document = CRegistryDocument::Parse(head + "\"Path\"=\"old\"\n" + tail);
    ASSERT_TRUE(document.has_value());
    std::string blob(23, '\0');
    std::iota(blob.begin(), blob.end(), '\0');
    const Value values[] = {
        {"PATH", kRegSz, "C:\\Game \"1\"\0"s},
        {"", kRegSz, "default\0"s},
        {"Count", kRegDword, "\x1f\0\0\x80"s},
        {"Expand", kRegExpandSz, "%HOME%\0"s},
        {"Multi\\Line", kRegSz, "a\nb\0"s},
        {"Raw", 0xb, "\1\2"s},
        {"Blob", kRegBinary, blob},
    };
    for (const auto& value : values) {
        document->SetValue(kKey, value.name, value.type, Bytes(value.data));
    }
    const std::string written = document->Serialise();
    EXPECT_EQ(written,
              head +
                  "\"Path\"=\"C:\\\\Game \\\"1\\\"\"\n@=\"default\"\n\"Count\"=dword:8000001f\n"
                  "\"Expand\"=hex(2):25,48,4f,4d,45,25,00\n\"Multi\\\\Line\"=hex(1):61,0a,62,00\n"
                  "\"Raw\"=hex(b):01,02\n\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,"
                  "0e,0f,10,11,12,13,14,\\\n  15,16\n" +
                  tail);
    const auto reread = CRegistryDocument::Parse(written);
    ASSERT_TRUE(reread.has_value());
    for (const auto& value : values) {
        const auto* read = reread->FindValue(kKey, value.name);
        ASSERT_NE(read, nullptr) << value.name;
        EXPECT_EQ(std::pair(read->type, read->data), std::pair(value.type, Bytes(value.data)));
    }
}

TEST(RegistryDocument, RefusesEveryLineThatIsNotOfTheFormat) {
    const std::string header = RegistryText("HKEY_CURRENT_USER\\A", "");
    const std::string version5 = kVersion5 + "\n[HKEY_CURRENT_USER\\A]\n";
    std::string huge = header + "@=hex:00";
    for (std::size_t i = 1; i <= kMaxRegistryValueSize; ++i) {
        huge += ",00";
    }
    const std::string damaged[] = {
        "", "REGEDIT5\n", "Windows Registry Editor Version 6.00\n", "REGEDIT4\r",
        "\x89PNG\r\n\x1a\n", "REGEDIT4\n\"v\"=\"before any key\"\n", header + "garbage\n",
        header + "\"v\"=qword:0000000000000001\n", header + "\"v\"=float:1.5\n",
        header + "\"v\"=dword:123456789\n", header + "\"v\"=dword:\n",
        header + "\"v\"=hex:01,02,\\\n",
        header + "\"v\"=hex:01,\\\n; a comment does not go on a list\n  02\n",
        header + "\"v\"=hex:01,0g\n", header + "\"v\"=hex:01,\n", header + "\"v\"=hex:123\n",
        header + "\"v\"=hex(:01\n", header + "\"v\"=\"unterminated\n",
        header + "\"v\"=\"unterminated\\\n\"\n", header + "\"v\"=\"bad \\n escape\"\n",
        header + "\"v\"=\"text\" tail\n", header + "v\"=dword:1\n", header + "\"v\"=\n",
        header + "\"v\"=\"text\" ; a comment takes a whole line\n", header + "\"v\"\n",
        // Import instructions that delete, not data that a file keeps.
        header + "\"v\"=-\n", header + "@=-\n", header + "[-HKEY_CURRENT_USER\\A]\n",
        header + "[HKEY_CURRENT_USER\\A\n",
        header + "\"" + std::string(kMaxRegistryNameLength + 1, 'n') + "\"=dword:1\n", huge + "\n",
        version5 + "\"v\"=\"\xFC\"\n", version5 + "\"v\"=hex(2):41,00,42\n",
        version5 + "\"v\"=hex(1):00,d8,00,00\n", Utf16File(u"REGEDIT4\n").substr(1),
        Utf16File(u"REGEDIT4\n").substr(2), Utf16File(u"REGEDIT4\n") + "\n",
        Utf16File(u"REGEDIT4\n\xD800"), "\xFE\xFF" + Utf16File(u"REGEDIT4\n").substr(2)};
    for (const auto& text : damaged) {
        EXPECT_FALSE(CRegistryDocument::Parse(text).has_value()) << text.substr(0, 80);
    }
    EXPECT_TRUE(CRegistryDocument::Parse(header + "@=hex:\n\"e\"=\"\"\n").has_value());
    // A UTF-16 export with U+10000 and, at its end, U+10FFFF: read, written back, added to.
    const std::string exported =
        Utf16File(u"Windows Registry Editor Version 5.00\n"
                  u"[HKEY_CURRENT_USER\\A]\n\"v\"=\"\u00E9\U00010000\"\n;\U0010FFFF");
    auto wide = CRegistryDocument::Parse(exported);
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->FindValue("HKEY_CURRENT_USER\\A", "v")->data,
              Bytes("\xC3\xA9\xF0\x90\x80\x80\0"s));
    EXPECT_EQ(wide->Serialise(), exported);
    EXPECT_TRUE(wide->SetValue("HKEY_CURRENT_USER\\A", "w", kRegSz, Bytes("\xC3\xA9\0"s)));
    EXPECT_EQ(wide->Serialise(), exported.substr(0, exported.size() - 6) +
                                     Utf16File(u"\"w\"=\"\u00E9\"\n;\U0010FFFF").substr(2));
}

} // namespace
