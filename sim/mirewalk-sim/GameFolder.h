#pragma once

#include <filesystem>

// Sets up a game installation as the game's installer would: the folder with
// its eight directories, their paths under the game's machine key, and the
// game's user key. Throws CKitException for registry failures and
// std::filesystem::filesystem_error when a folder cannot be made.
void InitGameFolder(const std::filesystem::path& folder);
