#include "tests/faults/FaultGame.h"

#include "agents/AgentFileWriter.h"

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
    CAgent agent;
    agent.m_name = "ball";
    agent.m_quantity = 3;
    agent.m_installScript = "inst,new: simp ball 4 0 1000 0,endm";
    agent.m_scripts = {"scrp 2 9 1 1,snde zap_,endm", "scrp 2 9 1 2,endm"};
    agent.m_dependencyCount = 2;
    agent.m_dependencies = {AgentDependencyRef{0, "abcd.s16"}, AgentDependencyRef{1, "zap.wav"}};
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(0, "abcd.s16", std::vector<std::uint8_t>(image.begin(), image.end()));
    writer.AddCarriedFile(1, "zap.wav", std::vector<std::uint8_t>(sound.begin(), sound.end()));
    writer.Save(agentPath);
    agentBytes.assign(writer.Bytes().begin(), writer.Bytes().end());
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
