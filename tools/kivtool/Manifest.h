#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One [agent] section: the agent as it will be written, and the files it takes
// bytes from. Paths are as written in the manifest.
struct ManifestAgent {
    CAgentFields fields;
    CAgentPicture picture;    // without pixels: the stored size of "picture size"
    std::string picturePath;  // empty: no picture
    std::string trailingPath; // empty: none
};

// One [file] section: a file to carry.
struct ManifestFile {
    ECarriedFileType type = ECarriedFileType::kImage;
    std::optional<std::string> name; // Windows-1252; default: the path's file name
    std::uint32_t reserved = 0;
    std::string path;
    std::string trailingPath; // empty: none
};

// One [chunk] section: a chunk of another tag, written as it is.
struct ManifestChunk {
    std::string tag; // four bytes
    std::string path;
};

using ManifestSection = std::variant<ManifestAgent, ManifestFile, ManifestChunk>;

// Parses a pack manifest (format in the README, section "kivtool"). Errors are
// CKitException "MANIFEST:LINE: what is wrong".
std::vector<ManifestSection> ParseManifest(std::string_view text, const std::string& name);
