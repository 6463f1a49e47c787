#include "tools/kivtool/PackCommand.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "tools/kivtool/AgentFilePacking.h"
#include "tools/kivtool/ToolSupport.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool pack MANIFEST -o FILE\n"
    "Builds the agent file FILE from MANIFEST, a text of [agent], [file] and [chunk]\n"
    "sections (see the README, section \"kivtool\"). Paths in the manifest are\n"
    "relative to it. \"kivtool unpack\" writes the manifest of an agent file.\n";

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

void Pack(const std::string& manifestPath, const std::string& outputPath) {
    const auto manifest = ReadWholeFile(manifestPath);
    PackManifest(std::string_view(reinterpret_cast<const char*>(manifest.data()), manifest.size()),
                 manifestPath, std::filesystem::path(manifestPath).parent_path(), ReadWholeFile)
        .Save(outputPath);
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
