#pragma once

#include <string>

// What the game's installer leaves behind. Each throws std::runtime_error with
// the reason when it cannot be done.

// Creates the game folder and its eight folders, the directory values under
// the machine root's game key, and the user root's game key.
void InitGameFolder(const std::wstring& folder);

// Registers the game's ProgID and CLSID in both registry views, so that 32-bit
// and 64-bit clients find the game alike; doing it again changes nothing.
void RegisterGameProgId();
