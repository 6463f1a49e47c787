#include "bench/startup/StartupGame.h"

#include "agents/AgentFileWriter.h"
#include "tests/support/BitmapFile.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPictureSideOnDisk = 64;
constexpr std::uint32_t kPictureSide = 32;
// About the size of a small carried image; the scan never reads it.
constexpr std::size_t kCarriedImageBytes = 4096;

CAgent MakeAgent(int index) {
    CAgentFields agent;
    agent.name = "Agent " + std::to_string(index);
    agent.description = "A benchmark agent with a picture and three event scripts.";
    agent.usage.quantity = 5;
    agent.reuseInterval = 600;
    agent.installScript = "inst,new: simp agnt 4 0 1000 0,endm";
    agent.removeScript = "enum 4 0 1000,kill targ,next,endm";
    agent.scripts = {"scrp 4 0 1000 1,snde bump,endm", "scrp 4 0 1000 2,chem 3 10,endm",
                     "scrp 4 0 1000 9,wait 10,endm"};
    agent.dependencies = {AgentDependencyRef{ECarriedFileType::kImage, "agnt.s16"}};
    std::vector<std::uint16_t> pixels(std::size_t{kPictureSide} * kPictureSide);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint16_t>(i * 2654435761u >> 9);
    }
    CAgentPicture picture;
    picture.Create(pixels.data(), kPictureSide, kPictureSide, 1, true);
    return CAgent(std::move(agent), std::move(picture));
}

} // namespace

void WriteAppletPictures(const std::filesystem::path& gameFolder) {
    for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
        std::ofstream(gameFolder / "Applet Data" / name, std::ios::binary)
            << SolidBitmapFile(kPictureSideOnDisk, kPictureSideOnDisk, 0x00808080);
    }
}

void WriteAgentFiles(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> image(kCarriedImageBytes, 0x5A);
    for (int i = 0; i < count; ++i) {
        CAgentFileWriter writer;
        writer.AddAgent(MakeAgent(i));
        writer.AddCarriedFile(ECarriedFileType::kImage, "agnt.s16", image);
        writer.Save((folder / ("agent" + std::to_string(i) + ".kiv")).string());
    }
}
