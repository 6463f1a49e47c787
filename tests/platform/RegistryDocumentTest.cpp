#include "platform/RegistryDocument.h"
#include "tests/support/Utf16File.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Test";
constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A string value's bytes: the text and its terminating zero.
std::vector<std::uint8_t> Sz(std::string_view text) {
    auto bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
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

    const auto reread = CRegistryDocument::Parse(text);
    ASSERT_TRUE(reread.has_value());
    for (const char* name : {"Path", "", "Count", "Expand", "Multi\\Line", "Raw", "Blob"}) {
        const auto* found = reread->FindValue(kKey, name);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->type, document.FindValue(kKey, name)->type) << name;
        EXPECT_EQ(found->data, document.FindValue(kKey, name)->data) << name;
    }
}

// A file as people and registry editors write it, one value read from it, and
// the whole file after one value is set in it (nullopt: the value is refused
// and the file stays as it was).
struct FileCase {
    const char* what;
    std::string file;
    const char* readName;
    std::uint32_t readType;
    std::vector<std::uint8_t> readData;
    RegistryValue write;
    std::optional<std::string> written;
};

TEST(RegistryDocument, KeepsEachFilesFormAndEveryLineItDoesNotChange) {
    const std::string test = "[HKEY_CURRENT_USER\\Software\\Test]";
    const std::string comments = "; Kept by hand\n"
                                 "REGEDIT4\n\n"
                                 "; the player's tools\n" +
                                 test +
                                 "\n"
                                 "  ; an indented comment\n"
                                 "\"Tool8\"=\"old\"\n"
                                 "\"Other\"=dword:00000001\n\n"
                                 "; the next key\n"
                                 "[HKEY_CURRENT_USER\\Software\\Next]\n";
    const std::string crlf = "REGEDIT4\r\n\r\n; hand-made\r\n" + test +
                             "\r\n"
                             "\"A\"=hex:01,02,\\\r\n"
                             "    03\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Next]\r\n";
    std::string crlf2 = crlf;
    crlf2.insert(crlf.find("\r\n\r\n[") + 2,
                 "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,"
                 "0e,0f,10,11,12,13,14,\\\r\n  15,16\r\n");
    std::vector<std::uint8_t> blob(23);
    for (std::size_t i = 0; i < blob.size(); ++i) {
        blob[i] = static_cast<std::uint8_t>(i);
    }
    std::string comments2 = comments;
    comments2.replace(comments.find("old"), 3, "new");
    const std::u16string editor = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                  u"[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                  u"\"Path\"=hex(2):43,00,3a,00,5c,00,fc,00,00,00\r\n"
                                  u"\"Face\"=\"\U0001F600 M\u00fcller\"\r\n\r\n";
    const std::u16string expandLine = u"\"Expand\"=hex(2):25,00,fc,00,00,00\r\n";
    const std::u16string editor2 = std::u16string(editor).insert(editor.size() - 2, expandLine);

    const FileCase cases[] = {
        {"comments and blank lines stay where they stand",
         comments,
         "other",
         kRegDword,
         {1, 0, 0, 0},
         {"TOOL8", kRegSz, Sz("new")},
         comments2},
        {"a new value follows the key's last one, in CRLF even where a list wraps",
         crlf,
         "A",
         kRegBinary,
         {1, 2, 3},
         {"Blob", kRegBinary, blob},
         crlf2},
        {"a value keeps its own line end, and the last line its missing one",
         "REGEDIT4\r\n" + test + "\r\n\"A\"=\"1\"\n\"B\"=\"2\"",
         "B",
         kRegSz,
         Sz("2"),
         {"a", kRegSz, Sz("x")},
         "REGEDIT4\r\n" + test + "\r\n\"A\"=\"x\"\n\"B\"=\"2\""},
        {"a value after a last line without its line end gives it one",
         "REGEDIT4\r\n" + test + "\r\n@=\"1\"",
         "",
         kRegSz,
         Sz("1"),
         {"B", kRegDword, {2, 0, 0, 0}},
         "REGEDIT4\r\n" + test + "\r\n@=\"1\"\r\n\"B\"=dword:00000002\r\n"},
        {"a name given twice reads and writes as its last line",
         "REGEDIT4\n" + test + "\n\"A\"=\"1\"\n" + test + "\n\"a\"=\"2\"\n",
         "A",
         kRegSz,
         Sz("2"),
         {"A", kRegSz, Sz("3")},
         "REGEDIT4\n" + test + "\n\"A\"=\"1\"\n" + test + "\n\"a\"=\"3\"\n"},
        {"version 5 in UTF-8 with a byte-order mark reads and writes Unicode strings",
         "\xEF\xBB\xBF" + std::string(kVersion5) + "\n\n" + test + "\n\"Name\"=\"M\xC3\xBCller\"\n",
         "Name",
         kRegSz,
         Sz("M\xC3\xBCller"),
         {"\xC3\xBC", kRegMultiSz, Bytes(std::string_view("a\0\xC3\xBC\0\0", 6))},
         "\xEF\xBB\xBF" + std::string(kVersion5) + "\n\n" + test +
             "\n\"Name\"=\"M\xC3\xBCller\"\n"
             "\"\xC3\xBC\"=hex(7):61,00,00,00,fc,00,00,00,00,00\n"},
        {"version 5 in UTF-16: a hex string is UTF-16 in the file and UTF-8 when read",
         Utf16File(editor),
         "path",
         kRegExpandSz,
         Sz("C:\\\xC3\xBC"),
         {"Expand", kRegExpandSz, Sz("%\xC3\xBC")},
         Utf16File(editor2)},
        {"version 5 in UTF-16: a quoted string is UTF-8 when read; no UTF-8, no write",
         Utf16File(editor),
         "Face",
         kRegSz,
         Sz("\xF0\x9F\x98\x80 M\xC3\xBCller"),
         {"Face", kRegSz, Sz("\xFC")},
         std::nullopt},
        {"REGEDIT4 keeps strings in the code page's bytes, UTF-8 or not",
         "REGEDIT4\n" + test + "\n\"Path\"=hex(2):43,3a,fc,00\n",
         "Path",
         kRegExpandSz,
         Bytes(std::string_view("C:\xFC\0", 4)),
         {"Path", kRegSz, Sz("\xFC")},
         "REGEDIT4\n" + test + "\n\"Path\"=\"\xFC\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto document = CRegistryDocument::Parse(c.file);
        ASSERT_TRUE(document.has_value());
        EXPECT_EQ(document->Serialise(), c.file);
        const auto* value = document->FindValue(kKey, c.readName);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, c.readType);
        EXPECT_EQ(value->data, c.readData);
        document->SetValue(kKey, c.write.name, c.write.type, c.write.data);
        EXPECT_EQ(document->Serialise(), c.written.value_or(c.file));
    }
}

TEST(RegistryDocument, RefusesEveryLineThatIsNotOfTheFormat) {
    const std::string header = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n";
    const std::string version5 = std::string(kVersion5) + "\n[HKEY_CURRENT_USER\\A]\n";
    const std::string damaged[] = {
        "",
        "REGEDIT5\n",
        "Windows Registry Editor Version 6.00\n",
        "REGEDIT4\r",
        "REGEDIT4\n\"v\"=\"before any key\"\n",
        header + "garbage\n",
        header + "\"v\"=qword:0000000000000001\n",
        header + "\"v\"=dword:123456789\n",
        header + "\"v\"=dword:\n",
        header + "\"v\"=hex:01,02,\\\n",
        header + "\"v\"=hex:01,\\\n; a comment does not go on a list\n  02\n",
        header + "\"v\"=hex:01,0g\n",
        header + "\"v\"=hex:01,\n",
        header + "\"v\"=hex:123\n",
        header + "\"v\"=hex(:01\n",
        header + "\"v\"=\"unterminated\n",
        header + "\"v\"=\"unterminated\\\n\"\n",
        header + "\"v\"=\"bad \\n escape\"\n",
        header + "\"v\"=\"text\" tail\n",
        header + "\"v\"=\"text\" ; a comment takes a whole line\n",
        header + "\"v\"\n",
        header + "\"v\"=-\n",
        header + "@=-\n",
        header + "[-HKEY_CURRENT_USER\\A]\n",
        header + "[HKEY_CURRENT_USER\\A\n",
        header + "\"" + std::string(kMaxRegistryNameLength + 1, 'n') + "\"=dword:1\n",
        version5 + "\"v\"=\"\xFC\"\n",
        version5 + "\"v\"=hex(2):41,00,42\n",
        version5 + "\"v\"=hex(1):00,d8,00,00\n",
        Utf16File(u"REGEDIT4\n").substr(1),
        Utf16File(u"REGEDIT4\n").substr(2),
        Utf16File(u"REGEDIT4\n") + "\n",
        Utf16File(u"REGEDIT4\n\xD800"),
        "\xFE\xFF" + Utf16File(u"REGEDIT4\n").substr(2),
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
