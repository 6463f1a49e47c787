#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// An image file's bytes (any picture Qt reads: PNG, Windows bitmaps of every
// depth) as the agent's 5-6-5 picture, top row first. `name` names the file in
// messages.
void LoadPicture(CAgentPicture& picture, std::span<const std::uint8_t> image,
                 const std::string& name);

// The picture as an opaque PNG from which LoadPicture gives back every pixel's
// 5-6-5 value exactly.
std::vector<std::uint8_t> PictureAsPng(const CAgentPicture& picture);
