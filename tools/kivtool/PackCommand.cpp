#include "tools/kivtool/PackCommand.h"

#include "agents/AgentFileWriter.h"
#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "tools/kivtool/Manifest.h"
#include "tools/kivtool/ToolSupport.h"
#include "tools/kivtool/Windows1252Encoding.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool pack MANIFEST -o FILE\n"
    "Builds the agent file FILE from MANIFEST, a text of [agent] and [file] sections\n"
    "(see the README, section \"kivtool\"). Paths in the manifest are relative to it.\n";

// Agent files count carried bytes in 32 bits.
constexpr std::uintmax_t kMaxCarriedSize = std::numeric_limits<std::uint32_t>::max();

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxCarriedSize) {
        ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
    }
    return bytes;
}

// The picture size an agent chunk can record.
constexpr int kMaxPictureSide = 65535;
// Preferred for the transparent colour of pictures with an alpha channel:
// authors rarely paint with it.
constexpr std::uint16_t kPreferredKeyColour = 0xF81F;
constexpr std::size_t kColourCount = 1 << 16;

std::uint16_t To565(QRgb colour) {
    return static_cast<std::uint16_t>(((qRed(colour) >> 3) << 11) | ((qGreen(colour) >> 2) << 5) |
                                      (qBlue(colour) >> 3));
}

// The first colour from the preferred one on that no opaque pixel has.
std::uint16_t FreeKeyColour(const QImage& image, const std::filesystem::path& path) {
    std::vector<bool> used(kColourCount);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                used[To565(row[x])] = true;
            }
        }
    }
    for (std::size_t i = 0; i < kColourCount; ++i) {
        const auto colour = static_cast<std::uint16_t>(kPreferredKeyColour + i);
        if (!used[colour]) {
            return colour;
        }
    }
    ThrowString("%s: every 5-6-5 colour is painted, none is left to be the transparent one",
                path.c_str());
}

bool HasTransparentPixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(row, row + image.width(),
                        [](QRgb colour) { return qAlpha(colour) == 0; })) {
            return true;
        }
    }
    return false;
}

// An agent's picture takes the colour of its top-left pixel as transparent. A
// picture with fully transparent pixels (a PNG's or a 32-bit bitmap's alpha)
// gets a colour no opaque pixel has in all of them, which needs its top-left
// pixel to be one of them; partly transparent pixels count as opaque.
std::uint16_t KeyColour(const QImage& image, const std::filesystem::path& path) {
    if (!HasTransparentPixel(image)) {
        return To565(image.pixel(0, 0));
    }
    if (qAlpha(image.pixel(0, 0)) != 0) {
        ThrowString("%s: the top-left pixel must be fully transparent, as an agent's picture "
                    "takes its colour for the transparent one",
                    path.c_str());
    }
    return FreeKeyColour(image, path);
}

// Any picture Qt reads (PNG, and Windows bitmaps of every depth) becomes the
// agent's 5-6-5 picture, top row first.
void LoadPicture(CAgent& agent, const std::filesystem::path& path) {
    QImageReader reader(QString::fromStdString(path.string()));
    QImage image = reader.read();
    if (image.isNull()) {
        ThrowString("%s: %s", path.c_str(), reader.errorString().toStdString().c_str());
    }
    if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
        ThrowString("%s: the picture must be at most 65535 x 65535 pixels", path.c_str());
    }
    image.convertTo(QImage::Format_ARGB32);
    const std::uint16_t key = KeyColour(image, path);
    std::vector<std::uint16_t> pixels;
    pixels.reserve(static_cast<std::size_t>(image.width()) *
                   static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            pixels.push_back(qAlpha(row[x]) == 0 ? key : To565(row[x]));
        }
    }
    agent.m_picture.Create(pixels.data(), static_cast<std::uint32_t>(image.width()),
                           static_cast<std::uint32_t>(image.height()), 1, true);
}

std::string CarriedName(const ManifestFile& file) {
    if (!file.name.empty()) {
        return file.name;
    }
    const std::string fromPath = std::filesystem::path(file.path).filename().string();
    const auto name = Utf8ToWindows1252(fromPath);
    if (!name || !IsSafeCarriedName(*name)) {
        ThrowString("%s: give the carried file a name that Windows-1252 can write",
                    file.path.c_str());
    }
    return *name;
}

void Pack(const std::string& manifestPath, const std::string& outputPath) {
    const auto manifestBytes = ReadWholeFile(manifestPath);
    auto sections = ParseManifest(
        std::string_view(reinterpret_cast<const char*>(manifestBytes.data()), manifestBytes.size()),
        manifestPath);
    const auto base = std::filesystem::path(manifestPath).parent_path();
    CAgentFileWriter writer;
    for (auto& section : sections) {
        if (auto* agent = std::get_if<ManifestAgent>(&section)) {
            if (!agent->picturePath.empty()) {
                LoadPicture(agent->agent, base / agent->picturePath);
            }
            writer.AddAgent(agent->agent);
        } else {
            const auto& file = std::get<ManifestFile>(section);
            writer.AddCarriedFile(file.type, CarriedName(file), ReadWholeFile(base / file.path));
        }
    }
    writer.Save(outputPath);
}

} // namespace

int RunPackCommand(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc != 4 || std::strcmp(argv[2], "-o") != 0) {
        return UsageError(kUsage);
    }
    try {
        Pack(argv[1], argv[3]);
        return kExitOk;
    } catch (const CKitException& error) {
        PrintError(error);
        return kExitFailure;
    }
}
