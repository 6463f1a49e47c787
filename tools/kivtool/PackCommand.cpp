#include "tools/kivtool/PackCommand.h"

#include "agents/AgentFileWriter.h"
#include "agents/AgentNames.h"
#include "app/KitException.h"
#include "app/StringTable.h"
#include "framework/DibBitmap.h"
#include "tools/kivtool/Manifest.h"
#include "tools/kivtool/ToolSupport.h"
#include "tools/kivtool/Windows1252Encoding.h"

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

std::uint16_t To565(const std::uint8_t* bgr) {
    return static_cast<std::uint16_t>(((bgr[2] >> 3) << 11) | ((bgr[1] >> 2) << 5) | (bgr[0] >> 3));
}

// A 24-bit Windows bitmap becomes the agent's 5-6-5 picture, top row first.
void LoadPicture(CAgent& agent, const std::filesystem::path& path) {
    CDibBitmap bitmap;
    bitmap.LoadFromFile(path.c_str());
    if (bitmap.m_format != kDib24 || bitmap.Width() > 65535 || bitmap.Height() > 65535) {
        ThrowString("%s: the picture must be a 24-bit bitmap of at most 65535 x 65535 pixels",
                    path.c_str());
    }
    const auto width = static_cast<std::uint32_t>(bitmap.Width());
    const auto height = static_cast<std::uint32_t>(bitmap.Height());
    std::vector<std::uint16_t> pixels;
    pixels.reserve(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = bitmap.m_topRow + std::ptrdiff_t{y} * bitmap.m_stride;
        for (std::uint32_t x = 0; x < width; ++x) {
            pixels.push_back(To565(row + std::size_t{x} * 3));
        }
    }
    agent.m_picture.Create(pixels.data(), width, height, 1, true);
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
