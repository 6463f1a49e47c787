#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/GameEnvironment.h"

#include <memory>
#include <string>
#include <vector>

// A private registry and game folder with one agent file in Objects: agent
// "ball" (three uses) with two event scripts and an installation script, that
// needs image "abcd.s16" and sound "zap.wav", both carried.
struct FaultGame {
    // Larger than every file size limit the tests set, so a copy is cut short.
    static constexpr std::size_t kImageSize = 200 * 1024;

    FaultGame();

    GameEnvironment environment;
    std::string agentPath;
    std::string images; // ends in '/'
    std::string sounds; // ends in '/'
    std::string agentBytes;
    std::string image;
    std::string sound = "SOUND";
};

// What fault-child prints for the ball's injection, up to the write of its use.
inline const std::string kBallInjectionMacros = "macro: scrp 2 9 1 1,endm\n"
                                                "macro: scrp 2 9 1 2,endm\n"
                                                "macro: inst,new: simp ball,endm\n";

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
// Every path below `folder`, sorted; with each file's size or each link's target.
std::vector<std::string> Listing(const std::string& folder);

// build/bin/fault-child started with `arguments`, its output captured.
std::unique_ptr<CChildProcess> StartFaultChild(const std::vector<std::string>& arguments);
// Waits for it to end: the output not read yet, and its exit status unless 0.
std::string FinishFaultChild(CChildProcess& child);
std::string RunFaultChild(const std::vector<std::string>& arguments);
