#pragma once

#include <string>

// Game directories by index, as the game's settings name them.
enum GameDirectory : int {
    kMainDirectory = 0,
    kGeneticsDirectory = 1,
    kObjectsDirectory = 2,
    kAppletDataDirectory = 3,
    kImagesDirectory = 4,
    kSoundsDirectory = 5,
    kHistoryDirectory = 6,
    kEggsDirectory = 7,
};

// A game directory (index 0 to 7) from the machine root of the game's key, as
// this machine's folder (ActiveGameHost's LocalDirectory), always ending in a
// path separator. Throws CKitException IDS_ERROR_OPENING_REGISTRY_KEY, IDS_ERROR_READING_REGISTRY,
// or IDS_FOLDER_NOT_MAPPED for a folder on a drive that Wine does not map.
std::string GetGameDirectory(int index);

// The best file for the user's language: dir+name+LLL+ext, dir+name+LL+ext, a
// match of dir+name+LL?+ext, then dir+name+ext, each also spelled in another
// case (FindFileIgnoringCase). `path` receives the file found, or the neutral
// name when none is; false then, or when the language abbreviation is unknown
// (path left unchanged).
bool FindLanguageFile(const std::string& dir, const char* name, const char* ext, std::string& path);

// Writes the applet's entry "Tool8" under the game's user key. Shows its
// message and returns false on failure.
bool RegisterWithGame();
