#include "bench/startup/StartupGame.h"

#include "agents/AgentFileWriter.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kPictureSideOnDisk = 64;
constexpr std::uint32_t kPictureSide = 32;
// About the size of a small carried image; the scan never reads it.
constexpr std::size_t kCarriedImageBytes = 4096;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i));
    }
}

// A mid-grey 24-bit bottom-up bitmap file.
std::string GreyBitmap(int side) {
    const int rowSize = (side * 3 + 3) / 4 * 4;
    const auto imageSize = static_cast<std::uint32_t>(rowSize * side);
    std::string out = "BM";
    PutLe(out, 54 + imageSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(side), 4);
    PutLe(out, static_cast<std::uint32_t>(side), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    for (int field = 0; field < 6; ++field) {
        PutLe(out, field == 1 ? imageSize : 0, 4);
    }
    out.append(imageSize, static_cast<char>(128));
    return out;
}

CAgent MakeAgent(int index) {
    CAgent agent;
    agent.m_name = "Agent " + std::to_string(index);
    agent.m_description = "A benchmark agent with a picture and three event scripts.";
    agent.m_quantity = 5;
    agent.m_reuseInterval = 600;
    agent.m_installScript = "inst,new: simp agnt 4 0 1000 0,endm";
    agent.m_removeScript = "enum 4 0 1000,kill targ,next,endm";
    agent.m_scripts = {"scrp 4 0 1000 1,snde bump,endm", "scrp 4 0 1000 2,chem 3 10,endm",
                       "scrp 4 0 1000 9,wait 10,endm"};
    agent.m_dependencyCount = 1;
    agent.m_dependencies[0] = AgentDependencyRef{0, "agnt.s16"};
    std::vector<std::uint16_t> pixels(std::size_t{kPictureSide} * kPictureSide);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint16_t>(i * 2654435761u >> 9);
    }
    agent.m_picture.Create(pixels.data(), kPictureSide, kPictureSide, 1, true);
    return agent;
}

} // namespace

void WriteAppletPictures(const std::filesystem::path& gameFolder) {
    for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
        std::ofstream(gameFolder / "Applet Data" / name, std::ios::binary)
            << GreyBitmap(kPictureSideOnDisk);
    }
}

void WriteAgentFiles(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> image(kCarriedImageBytes, 0x5A);
    for (int i = 0; i < count; ++i) {
        CAgentFileWriter writer;
        writer.AddAgent(MakeAgent(i));
        writer.AddCarriedFile(0, "agnt.s16", image);
        writer.Save((folder / ("agent" + std::to_string(i) + ".kiv")).string());
    }
}
