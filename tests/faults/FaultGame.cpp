#include "tests/faults/FaultGame.h"

#include "agents/AgentFileWriter.h"
#include "tests/support/AgentFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

FaultGame::FaultGame() {
    const fs::path folder = environment.InstallGame();
    agentPath = (folder / "Objects" / "ball.kiv").string();
    images = (folder / "Images/").string();
    sounds = (folder / "Sounds/").string();
    for (std::size_t i = 0; i < kImageSize; ++i) {
        image += static_cast<char>('a' + i % 26);
    }
    CAgent agent =
        MakeAgent({.name = "ball", .quantity = 3, .references = {{0, "abcd.s16"}, {1, "zap.wav"}}});
    // A second event script, so that the game can die between two of them.
    agent.m_scripts.push_back("scrp 2 9 1 2,endm");
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(0, "abcd.s16", Bytes(image));
    writer.AddCarriedFile(1, "zap.wav", Bytes(sound));
    writer.Save(agentPath);
    agentBytes = Text(writer.Bytes());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string line = entry.path().string();
        if (entry.is_symlink()) {
            line += " -> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            line += " " + std::to_string(entry.file_size());
        }
        found.push_back(line);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::unique_ptr<CChildProcess> StartFaultChild(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{SB_BIN_DIR "/fault-child"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return std::make_unique<CChildProcess>(argv, CChildProcess::Output::Captured);
}

std::string FinishFaultChild(CChildProcess& child) {
    std::string rest = child.ReadToEnd();
    // Every operation the child runs ends within seconds, even under sanitizers.
    const auto status = child.WaitForExit(std::chrono::seconds(60));
    if (status != 0) {
        rest += "(exit status " + (status ? std::to_string(*status) : "none") + ")\n";
    }
    return rest;
}

std::string RunFaultChild(const std::vector<std::string>& arguments) {
    return FinishFaultChild(*StartFaultChild(arguments));
}
