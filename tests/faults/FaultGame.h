#pragma once

#include "tests/support/GameEnvironment.h"

#include <cstdint>
#include <string>
#include <vector>

// A private registry and game folder with one agent file in Objects: agent
// "ball" (three uses) with two event scripts and an installation script, that
// needs image "abcd.s16" and sound "zap.wav", both carried.
struct FaultGame {
    // Larger than every file size limit the tests set, so a copy is cut short.
    static constexpr std::size_t kImageSize = 200 * 1024;

    FaultGame();

    // Directory strings, ending in '/'.
    std::string Dir(int index) const;
    std::string Images() const { return Dir(4); }
    std::string Sounds() const { return Dir(5); }

    GameEnvironment environment;
    std::string agentPath;
    std::vector<std::uint8_t> agentBytes;
    std::string image;
    std::string sound = "SOUND";
};

void WriteText(const std::string& path, const std::string& text);
std::vector<std::uint8_t> FileBytes(const std::string& path);
std::string FileText(const std::string& path);
// Every path below `folder`, sorted; with each file's size.
std::vector<std::string> Listing(const std::string& folder);
