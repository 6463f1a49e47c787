#include "platform/RegistryDocument.h"
#include "tests/support/RegistryFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Test";
const std::string kVersion5 = "Windows Registry Editor Version 5.00";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// `count` bytes counting up from 0.
std::string Counting(std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>(i);
    }
    return bytes;
}

struct Value {
    const char* name;
    std::uint32_t type;
    std::string data;
};

// A file as people and registry editors write it, one value read from it, and
// the whole file after values are set in it (nullopt: the value is refused and
// the file stays as it was); what was set reads back from the written file.
struct FileCase {
    const char* what;
    std::string file;
    Value read;
    std::vector<Value> writes;
    std::optional<std::string> written;
};

void ExpectValue(const CRegistryDocument& document, const Value& expected) {
    const auto* value = document.FindValue(kKey, expected.name);
    ASSERT_NE(value, nullptr) << expected.name;
    EXPECT_EQ(std::pair(value->type, value->data), std::pair(expected.type, Bytes(expected.data)))
        << expected.name;
}

TEST(RegistryDocument, KeepsEachFilesFormAndEveryLineItDoesNotChange) {
    const std::string test = "[HKEY_CURRENT_USER\\Software\\Test]";
    const std::string next = "[HKEY_CURRENT_USER\\Software\\Next]";
    const auto comments = [&](const char* tool) {
        return "; Kept by hand\nREGEDIT4\n\n; the player's tools\n" + test +
               "\n  ; an indented comment\n\"Tool8\"=\"" + tool +
               "\"\n\"Other\"=dword:00000001\n\n; the next key\n" + next + "\n";
    };
    const auto crlf = [&](const std::string& added) {
        return "REGEDIT4\r\n\r\n; hand-made\r\n" + test + "\r\n\"A\"=hex:01,02,\\\r\n    03\r\n" +
               added + "\r\n" + next + "\r\n";
    };
    const auto editor = [](std::u16string_view added) {
        return Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                         u"[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                         u"\"Path\"=hex(2):43,00,3a,00,5c,00,fc,00,00,00\r\n"
                         u"\"Face\"=\"\U0001F600 M\u00fcller\"\r\n" +
                         std::u16string(added) + u"\r\n");
    };
    const std::string bom5 = "\xEF\xBB\xBF" + kVersion5 + "\n\n" + test + "\n";

    const FileCase cases[] = {
        {"every type in the export format",
         "REGEDIT4\n\n" + test + "\n\"Path\"=\"old\"\n",
         {"path", kRegSz, "old\0"s},
         {{"Path", kRegSz, "C:\\Game \"1\"\0"s},
          {"", kRegSz, "default\0"s},
          {"Count", kRegDword, "\x1f\0\0\x80"s},
          {"Expand", kRegExpandSz, "%HOME%\0"s},
          {"Multi\\Line", kRegSz, "a\nb\0"s},
          {"Raw", 0xb, "\1\2"s}},
         "REGEDIT4\n\n" + test +
             "\n\"Path\"=\"C:\\\\Game \\\"1\\\"\"\n@=\"default\"\n\"Count\"=dword:8000001f\n"
             "\"Expand\"=hex(2):25,48,4f,4d,45,25,00\n\"Multi\\\\Line\"=hex(1):61,0a,62,00\n"
             "\"Raw\"=hex(b):01,02\n"},
        {"comments and blank lines stay where they stand",
         comments("old"),
         {"other", kRegDword, "\1\0\0\0"s},
         {{"TOOL8", kRegSz, "new\0"s}},
         comments("new")},
        {"a new value follows the key's last one, in CRLF even where a list wraps",
         crlf(""),
         {"A", kRegBinary, "\1\2\3"s},
         {{"Blob", kRegBinary, Counting(23)}},
         crlf("\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,"
              "\\\r\n  15,16\r\n")},
        {"a value keeps its own line end, and the last line its missing one",
         "REGEDIT4\r\n" + test + "\r\n\"A\"=\"1\"\n\"B\"=\"2\"",
         {"B", kRegSz, "2\0"s},
         {{"a", kRegSz, "x\0"s}},
         "REGEDIT4\r\n" + test + "\r\n\"A\"=\"x\"\n\"B\"=\"2\""},
        {"a value after a last line without its line end gives it one",
         "REGEDIT4\r\n" + test + "\r\n@=\"1\"",
         {"", kRegSz, "1\0"s},
         {{"B", kRegDword, "\2\0\0\0"s}},
         "REGEDIT4\r\n" + test + "\r\n@=\"1\"\r\n\"B\"=dword:00000002\r\n"},
        {"a name given twice reads and writes as its last line",
         "REGEDIT4\n" + test + "\n\"A\"=\"1\"\n" + test + "\n\"a\"=\"2\"\n",
         {"A", kRegSz, "2\0"s},
         {{"A", kRegSz, "3\0"s}},
         "REGEDIT4\n" + test + "\n\"A\"=\"1\"\n" + test + "\n\"a\"=\"3\"\n"},
        {"version 5 in UTF-8 with a byte-order mark reads and writes Unicode strings",
         bom5 + "\"Name\"=\"M\xC3\xBCller\"\n",
         {"Name", kRegSz, "M\xC3\xBCller\0"s},
         {{"\xC3\xBC", kRegMultiSz, "a\0\xC3\xBC\0\0"s}},
         bom5 + "\"Name\"=\"M\xC3\xBCller\"\n\"\xC3\xBC\"=hex(7):61,00,00,00,fc,00,00,00,00,00\n"},
        {"version 5 in UTF-16: a hex string is UTF-16 in the file and UTF-8 when read",
         editor(u""),
         {"path", kRegExpandSz, "C:\\\xC3\xBC\0"s},
         {{"Expand", kRegExpandSz, "%\xC3\xBC\0"s}},
         editor(u"\"Expand\"=hex(2):25,00,fc,00,00,00\r\n")},
        {"version 5 in UTF-16: a quoted string is UTF-8 when read; no UTF-8, no write",
         editor(u""),
         {"Face", kRegSz, "\xF0\x9F\x98\x80 M\xC3\xBCller\0"s},
         {{"Face", kRegSz, "\xFC\0"s}},
         std::nullopt},
        {"REGEDIT4 keeps strings in the code page's bytes, UTF-8 or not",
         "REGEDIT4\n" + test + "\n\"Path\"=hex(2):43,3a,fc,00\n",
         {"Path", kRegExpandSz, "C:\xFC\0"s},
         {{"Path", kRegSz, "\xFC\0"s}},
         "REGEDIT4\n" + test + "\n\"Path\"=\"\xFC\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto document = CRegistryDocument::Parse(c.file);
        ASSERT_TRUE(document.has_value());
        EXPECT_EQ(document->Serialise(), c.file);
        ExpectValue(*document, c.read);
        for (const auto& value : c.writes) {
            document->SetValue(kKey, value.name, value.type, Bytes(value.data));
        }
        EXPECT_EQ(document->Serialise(), c.written.value_or(c.file));
        const auto reread = CRegistryDocument::Parse(c.written.value_or(""));
        for (const auto& value : reread ? c.writes : std::vector<Value>{}) {
            ExpectValue(*reread, value);
        }
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
        header + "\"v\"=\"text\" tail\n",
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
}

} // namespace
