#pragma once

#include <filesystem>

// The Wine prefix, as Wine's own programs choose it: WINEPREFIX when set and not empty,
// otherwise .wine in the home folder.
std::filesystem::path WinePrefix();
