#include "agents/AgentFileWriter.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

namespace {

// Packs each manifest, written as <i>/m.txt in `folder`, into <i>/out.kiv there, all at once.
std::vector<ToolRun> Pack(const TempDir& folder, const std::vector<std::string>& manifests) {
    std::vector<std::vector<std::string>> lines;
    for (std::size_t i = 0; i < manifests.size(); ++i) {
        const std::string at = std::to_string(i) + "/";
        lines.push_back(
            {"pack", folder.Write(at + "m.txt", manifests[i]), "-o", folder / (at + "out.kiv")});
    }
    return Kivtools(lines);
}

// The first manifest packs; each of the others has one line wrong.
TEST(PackCommand, BuildsAnAgentFileFromAManifestOrNamesTheLineThatIsWrong) {
    const std::pair<std::string, std::string> cases[] = {
        {"# a ball\n[agent]\nname = Caf\xC3\xA9 ball\ndescription:=\"About Caf\\xe9 ball\"\n"
         "quantity = unlimited\nreuse interval = 3600\nlast used = 12\n"
         "install script = inst,new: simp Caf\xC3\xA9 ball,endm\n"
         "remove script <<END\nrscr\n  endm\nEND\n"
         "script = scrp 1\nscript = scrp 2\nimage = ball.s16\nsound = zap.wav\n\n"
         "[file]\ntype = image\npath = art/ball.s16\n",
         ""},
        {"[agent]\nname = x\ncolour = red\n", ":3: unknown agent key \"colour\""},
        {"name = x\n", ":1: \"name\" before the first [agent] or [file] section"},
        {"[agent]\nquantity = 70000\n", ":2: \"70000\" is not a number from 0 to 65535"},
        {"[agent]\nscript <<END\nnever ends\n", ":2: no line \"END\" ends the text"},
        {"[agent]\nname = \xE2\x82\xAC \xC2\x80\n",
         ":2: \"\xE2\x82\xAC \xC2\x80\" cannot be written in Windows-1252"},
        {"[file]\ntype = video\n", ":2: the type is \"image\" or \"sound\", not \"video\""},
        {"[file]\nname = ../x\n", ":2: \"../x\" is not a plain file name"},
        {"[agent]\nname := \"ab\\x4\"\n", ":2: \"ab\\x4\": an escape is cut short"},
        {"[agent]\nname := \"ab\\\"\n", ":2: \"ab\\\": an escape is cut short"},
        {"[agent]\nname := \"a\\x00\"\n", ":2: a text cannot hold the byte 0"},
        {"[agent]\nreserved 2 = 256\n", ":2: \"256\" is not a number from 0 to 255"},
        {"[agent]\npicture size = 2 x 3\n",
         ":2: \"2 x 3\" has no side 0: a picture comes from a \"picture\" file"},
        {"[agent]\npicture = a.png\npicture size = 0 x 1\n",
         ":3: an agent has one \"picture\" or one \"picture size\""},
        {"[chunk]\ntag = abcde\n", ":2: a tag is four bytes, not \"abcde\""},
        {"[chunk]\ntag = abcd\n", ":2: a [chunk] section needs a tag and a path"},
    };
    std::vector<std::string> manifests;
    for (const auto& c : cases) {
        manifests.push_back(c.first);
    }
    const TempDir folder;
    folder.Write("0/art/ball.s16", "image bytes");
    const auto runs = Pack(folder, manifests);
    ASSERT_EQ(runs[0].status, 0) << runs[0].err;
    CAgentFields agent = AgentFields({"Caf\xE9 ball",
                                      CAgent::kUnlimited,
                                      3600,
                                      {{kImage, "ball.s16"}, {kSound, "zap.wav"}},
                                      12});
    agent.removeScript = "rscr\n  endm";
    agent.scripts = {"scrp 1", "scrp 2"};
    CAgentFileWriter expected;
    expected.AddAgent(CAgent(std::move(agent)));
    expected.AddCarriedFile(kImage, "ball.s16", Bytes("image bytes"));
    EXPECT_EQ(Bytes(folder.Read("0/out.kiv")), expected.Bytes());
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const std::string at = std::to_string(i) + "/";
        EXPECT_EQ(runs[i].status, 1);
        EXPECT_EQ(runs[i].err,
                  "kivtool: " + (folder / (at + "m.txt")).string() + cases[i].second + "\n");
        EXPECT_FALSE(std::filesystem::exists(folder / (at + "out.kiv")));
    }
}

// A PNG with an alpha channel of `colours`, `width` to a row.
std::string Png(int width, std::vector<QRgb> colours) {
    const QImage image(reinterpret_cast<const uchar*>(colours.data()), width,
                       static_cast<int>(colours.size()) / width, QImage::Format_ARGB32);
    const TempDir folder;
    image.save(QString::fromStdString((folder / "p.png").string()));
    return folder.Read("p.png");
}

TEST(PackCommand, EveryPictureFormTheAppletReadsBecomesTheAgentPicture) {
    constexpr QRgb kClear = 0x00FF0000;
    struct Case {
        const char* what;
        std::string file; // the picture's bytes
        std::string extension;
        std::vector<std::uint16_t> pixels; // those of the top-left colour are transparent
        std::string err;                   // when refused, after the picture's path
    };
    const Case cases[] = {
        {"bitmap: the top-left colour is transparent",
         SolidBitmapFile(1, 1, 0x0000FF00),
         "bmp",
         {0x07E0},
         ""},
        {"PNG: fully transparent pixels take a colour no opaque pixel has",
         Png(4, {kClear, 0xFFFF00FF, 0x800000FF, kClear}),
         "png",
         {0xF820, 0xF81F, 0x001F, 0xF820},
         ""},
        {"PNG whose top-left pixel is opaque but others are not",
         Png(2, {0xFFFFFFFF, kClear}),
         "png",
         {},
         ": the top-left pixel must be fully transparent, as an agent's picture takes its colour "
         "for the transparent one"},
        {"the widest picture", Png(65535, std::vector(65535, kClear)), "png",
         std::vector<std::uint16_t>(65535, 0xF81F), ""},
        {"the tallest picture", Png(1, std::vector(65535, kClear)), "png",
         std::vector<std::uint16_t>(65535, 0xF81F), ""},
        {"a wider one",
         Png(65536, std::vector(65536, kClear)),
         "png",
         {},
         ": the picture must be at most 65535 x 65535 pixels"},
        {"not a picture", "hello", "bmp", {}, ": Unsupported image format"},
    };
    const TempDir folder;
    std::vector<std::string> manifests;
    for (const auto& c : cases) {
        folder.Write(std::to_string(manifests.size()) + "/pic." + c.extension, c.file);
        manifests.push_back("[agent]\nname = x\npicture = pic." + c.extension + "\n");
    }
    const auto runs = Pack(folder, manifests);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string at = std::to_string(&c - cases) + "/";
        const ToolRun& result = runs[&c - cases];
        const auto picture = folder / (at + "pic." + c.extension);
        if (!c.err.empty()) {
            EXPECT_EQ(result.status, 1);
            EXPECT_EQ(result.err, "kivtool: " + picture.string() + c.err + "\n");
            continue;
        }
        ASSERT_EQ(result.status, 0) << result.err;
        const CAgentFile file(folder / (at + "out.kiv"));
        const CAgentPicture& packed = file.Agents().at(0)->Picture();
        const std::size_t count = std::size_t{packed.Width()} * packed.Height();
        EXPECT_EQ(std::vector(packed.Pixels(), packed.Pixels() + count), c.pixels);
    }
}

} // namespace
