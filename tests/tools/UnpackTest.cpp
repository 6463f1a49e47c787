#include "tests/support/AgentFiles.h"
#include "tests/support/Kivtool.h"
#include "tools/kivtool/AgentFilePacking.h"
#include "tools/kivtool/ManifestValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// An agent whose 256 x 256 picture holds every 16-bit value once.
CAgent EveryColourAgent() {
    std::vector<std::uint16_t> pixels(1 << 16);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint16_t>(i * 40503); // odd: every value, out of order
    }
    return CAgent(AgentFields({"Colours"}), KeyedPicture(pixels, 256, 256));
}

// An agent without fields whose picture has no pixels but a stored size.
CAgent FlatAgent(std::uint32_t width, std::uint32_t height) {
    return CAgent(CAgentFields{}, CAgentPicture::WithoutPixels(width, height));
}

// Each file holds some of what a manifest must say exactly; every one comes back.
TEST(Unpack, EveryGeneratedAgentFileComesBackByteForByteFromItsManifest) {
    CAgentFields texts = AgentFields({" Caf\xE9 \t"});
    texts.description = "line 1\r\nline 2\n";
    texts.installScript = "\x81\x8D\x8F\x90\x9D\"\\ \x01";
    texts.removeScript = "END\n  x\t";
    texts.scripts = {"", "a <<b := \"c\""};
    texts.dependencies = {{kImage, "a.s16"}, {ECarriedFileType{7}, "c"}, {kSound, "=x"}};
    CAgentFields reserved = AgentFields({"Reserved", 12, 0, {}, 99});
    reserved.reserved = {1, 255, 3, 0xFFFFFFFF, 5, 6, 65535};
    const std::vector<std::uint8_t> trailing = Bytes("tail");
    const std::string longName(200, '\xE9'); // 400 bytes in UTF-8

    // Bytes after a chunk's contents come back as a file of their own, but not the zeros that
    // pack adds itself.
    struct GeneratedFile {
        const char* what = "";
        CAgentFileWriter writer;
        std::ptrdiff_t trailingFiles = 0;
    };
    std::vector<GeneratedFile> files(9);
    files[0].what = "no chunks";
    files[1].what = "texts no plain line holds, numbered types";
    files[1].writer.AddAgent(MakeAgent(texts));
    files[2].what = "reserved fields and bytes after the picture";
    files[2].writer.AddAgent(MakeAgent(reserved), trailing);
    files[2].trailingFiles = 1;
    files[3].what = "pictures with one side 0, the empty agent padded to its least size";
    files[3].writer.AddAgent(FlatAgent(0, 3)); // no picture, but a stored size
    files[3].writer.AddAgent(FlatAgent(4, 0), Bytes(std::string(30, '\0')));
    files[3].writer.AddAgent(CAgent(CAgentFields{}));
    files[3].trailingFiles = 1; // the 30 zeros, which pack does not add
    files[4].what = "every 5-6-5 value in a picture";
    files[4].writer.AddAgent(EveryColourAgent());
    files[5].what = "carried names that are paths, empty or too long for a file system";
    for (const std::string& name :
         {std::string("../x"), std::string("/etc/passwd"), std::string(".."), std::string(),
          std::string("a\\b"), longName}) {
        files[5].writer.AddCarriedFile(kImage, name, Bytes(name + " contents"));
    }
    files[6].what = "carried files of size 0, reserved fields, trailing bytes, clashing names";
    files[6].writer.AddCarriedFile(kSound, "x.wav", {}, 0xABCD, trailing);
    files[6].trailingFiles = 1;
    files[6].writer.AddCarriedFile(ECarriedFileType{9}, "X.WAV", Bytes("second"));
    files[6].writer.AddCarriedFile(kImage, "agent-1.png", Bytes("not the picture"));
    files[6].writer.AddAgent(MakeAgent({"After"}));
    files[7].what = "chunks of other tags among the others, in their order";
    files[7].writer.AddChunk(std::string("\0ab\xFF", 4), Bytes("other"));
    files[7].writer.AddCarriedFile(kImage, "a.s16", Bytes("A"));
    files[7].writer.AddChunk("agn ", {});
    files[7].writer.AddAgent(MakeAgent({"Last"}));
    files[8].what = "a bare agent chunk of the least size";
    files[8].writer.AddChunk("agnt", std::vector<std::uint8_t>(42, 0));

    for (const auto& [what, writer, trailingFiles] : files) {
        SCOPED_TRACE(what);
        const auto unpacked = UnpackAgentFile(writer.Bytes(), "/some/where/sample.kiv");
        EXPECT_EQ(unpacked.manifestName, "sample.manifest");
        for (const auto& file : unpacked.files) {
            EXPECT_EQ(std::filesystem::path(file.name).filename(), file.name);
            EXPECT_NE(file.name, "..");
        }
        EXPECT_EQ(std::ranges::count_if(
                      unpacked.files,
                      [](const auto& file) { return file.name.ends_with("-trailing.bin"); }),
                  trailingFiles);
        EXPECT_EQ(PackUnpacked(unpacked).Bytes(), writer.Bytes()) << unpacked.manifest;
    }
}

TEST(Unpack, ATextTakesThePlainFormTheHereDocumentOrTheEscapedForm) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "k =\n"},
        {"Caf\xE9 = <<x", "k = Caf\xC3\xA9 = <<x\n"},
        {"a\n\tb \n", "k <<END\na\n\tb \n\nEND\n"},
        {"x\n END \nEND2", "k <<END3\nx\n END \nEND2\nEND3\n"},
        {" a", "k := \" a\"\n"},
        {"a\r\n\x7F\x9D\xE9\"\\", "k := \"a\\r\\n\\x7F\\x9D\xC3\xA9\\\"\\\\\"\n"},
    };
    for (const auto& [text, entry] : cases) {
        EXPECT_EQ(ManifestEntry("k", text), entry);
    }
    // What an escaped value reads as (UTF-8), or what is wrong with it.
    const std::pair<std::string, std::string> quoted[] = {
        {"\"\\x9d\\xE9\\xfF\\xA0\\x0a\\t\"", "\xC2\x9D\xC3\xA9\xC3\xBF\xC2\xA0\n\t"},
        {"\"\\q\"", "\"\\q\" is no escape"},
        {"\"\\xG0\"", "\"\\x\" needs two hex digits"},
        {"\"a\"b\"", "a double quote inside the text needs a backslash"},
        {"\"", "the text of \":=\" stands in double quotes"},
    };
    for (const auto& [value, read] : quoted) {
        std::string error;
        EXPECT_EQ(UnescapeValue(value, error).value_or(error), read);
    }
}

// FILE carries names that are paths; nothing lands outside DIR, and pack gives FILE back.
TEST(Unpack, WritesOnlyIntoAnEmptyFolderItMayCreateAndNothingForAFileItRefuses) {
    const TempDir root;
    const std::string file = root / "in.kiv";
    SaveAgentFile(file, {{"Ball"}}, {{kImage, "../up.s16", "UP"}, {kSound, "/abs.wav", "ABS"}});
    const std::string bad = root.Write("bad.kiv", "kiv2agnt");
    const std::string out = (root / "out").string();
    const std::string full = root.Write("full/x", "").parent_path().string();
    const std::string deep = (root / "no/such").string();
    const auto runs = Kivtools({{"unpack", file, out},
                                {"unpack", file, full},
                                {"unpack", file, deep},
                                {"unpack", bad, deep}});
    EXPECT_EQ(std::tuple(runs[0].status, runs[0].out, runs[0].err),
              std::tuple(0, out + "/in.manifest\n", ""));
    std::vector<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        written.push_back(entry.path().filename());
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"agent-1.png", "carried-1.bin", "carried-2.bin",
                                                 "in.manifest"}));
    EXPECT_EQ(root.Read("out/carried-2.bin"), "ABS");
    EXPECT_EQ(std::tuple(runs[1].status, runs[1].err),
              std::tuple(1, "kivtool: " + full + ": the folder is not empty\n"));
    EXPECT_EQ(runs[2].err,
              "kivtool: " + deep + ": cannot create the folder: No such file or directory\n");
    EXPECT_EQ(
        std::tuple(runs[3].status, runs[3].err),
        std::tuple(1, "kivtool: Error: Unexpected end of file while reading \"" + bad + "\"\n"));
    EXPECT_FALSE(std::filesystem::exists(root / "up.s16"));
    EXPECT_FALSE(std::filesystem::exists(root / "no"));

    const auto pack = Kivtool({"pack", out + "/in.manifest", "-o", root / "again.kiv"});
    EXPECT_EQ(std::tuple(pack.status, root.Read("again.kiv")), std::tuple(0, root.Read("in.kiv")));

    // A write cut short, as on a full disk, takes back the folder it made. Files may grow to 2 MiB,
    // so that a coverage build's counter files, written at exit, stay whole.
    const std::string big = root / "big.kiv";
    SaveAgentFile(big, {}, {{kImage, "big.s16", std::string(4 << 20, 'x')}});
    const std::string cut = (root / "cut").string();
    const auto diskFull =
        KivtoolsIn("C", {{"unpack", big, cut}}, "trap '' XFSZ; ulimit -f 4096; ")[0];
    EXPECT_EQ(std::tuple(diskFull.status, diskFull.err),
              std::tuple(1, "kivtool: Error writing to file \"" + cut + "/big.s16\"\n"));
    EXPECT_FALSE(std::filesystem::exists(cut));
}

} // namespace
