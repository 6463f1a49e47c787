#pragma once

#include "sim/mirewalk-sim-win/SimGame.h"

#include <optional>
#include <span>
#include <string>

// The options of "run": how the game starts.
struct RunOptions {
    std::wstring logPath;
    CSimGame::State state;
    bool createObject = false;
};

// Nothing when an option is unknown, lacks its value or has a bad one.
std::optional<RunOptions> ParseRunOptions(std::span<wchar_t* const> arguments);
