#pragma once

#include <filesystem>

// Fills a game folder made by GameEnvironment::InstallGame for the applet to
// start in: the wallpaper and the cover picture it loads before showing itself.
void WriteAppletPictures(const std::filesystem::path& gameFolder);

// Writes `count` agent files of one agent each, with a 32 x 32 picture, three
// event scripts and one carried image, as the Objects directory holds them.
void WriteAgentFiles(const std::filesystem::path& folder, int count);
