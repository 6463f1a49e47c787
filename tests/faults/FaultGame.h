#pragma once

#include "agents/AgentFileWriter.h"
#include "core/RegistryKey.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameEnvironment.h"

#include <set>

// A private registry and game with one agent file in Objects: agent "ball" (three uses) with two
// event scripts, that needs and carries image "abcd.s16" and sound "zap.wav".
struct FaultGame {
    // Larger than every file size limit the tests set, so a copy is cut short.
    static constexpr std::size_t kImageSize = 200 * 1024;

    FaultGame() {
        CAgentFields agent =
            AgentFields({.name = "ball",
                         .quantity = 3,
                         .references = {{kImage, "abcd.s16"}, {kSound, "zap.wav"}}});
        // A second event script, so that the game can die between two of them.
        agent.scripts.push_back("scrp 2 9 1 2,endm");
        CAgentFileWriter writer;
        writer.AddAgent(MakeAgent(std::move(agent)));
        writer.AddCarriedFile(kImage, "abcd.s16", Bytes(image));
        writer.AddCarriedFile(kSound, "zap.wav", Bytes(sound));
        writer.Save(agentPath);
        agentBytes = Text(writer.Bytes());
    }

    // What fault-child prints when it cannot read or write the agent file.
    std::string AgentFileError(const char* verb) const {
        return "message: Error " + std::string(verb) + " file \"" + agentPath + "\"\n";
    }

    GameEnvironment environment;
    std::filesystem::path folder = environment.InstallGame();
    std::string agentPath = folder / "Objects/ball.kiv";
    std::string images = folder / "Images/";
    std::string sounds = folder / "Sounds/";
    // Beside the game, where nothing may ever be written.
    std::string outside = environment.Root() / "outside.txt";
    std::string agentBytes;
    std::string image = std::string(kImageSize, 'i');
    std::string sound = "SOUND";
};

// What fault-child prints for the ball's injection, up to the write of its use.
inline const std::string kBallInjectionMacros = "macro: scrp 2 9 1 1,endm\n"
                                                "macro: scrp 2 9 1 2,endm\n"
                                                "macro: inst,new: simp ball,endm\n";

// A value under the user's game key; "(missing)" when it has none.
inline std::string ReadUserValue(const std::string& name) {
    CRegistryKey key;
    key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    std::string text;
    return key.ReadString(name.c_str(), text) ? text : "(missing)";
}

inline void WriteUserValue(const char* name, const std::string& text) {
    CRegistryKey key;
    key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    key.WriteString(name, text.c_str());
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Every path below `folder`, with each file's size or each link's target.
inline std::set<std::string> Listing(const std::filesystem::path& folder) {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string line = entry.path().string();
        if (entry.is_symlink()) {
            line += " -> " + std::filesystem::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            line += " " + std::to_string(entry.file_size());
        }
        found.insert(line);
    }
    return found;
}

// build/bin/fault-child started with `arguments`, its output captured.
inline std::unique_ptr<CChildProcess> StartFaultChild(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), SB_BIN_DIR "/fault-child");
    return std::make_unique<CChildProcess>(arguments, CChildProcess::Output::Captured);
}

// Its output not read yet, and its exit status unless 0 (-1: still running
// after a minute, where every operation takes seconds even under sanitizers).
inline std::string FinishFaultChild(CChildProcess& child) {
    const std::string rest = child.ReadToEnd();
    const auto status = child.WaitForExit(std::chrono::seconds(60)).value_or(-1);
    return status == 0 ? rest : rest + "(exit status " + std::to_string(status) + ")\n";
}

inline std::string RunFaultChild(const std::vector<std::string>& arguments) {
    return FinishFaultChild(*StartFaultChild(arguments));
}
