#pragma once

#include "agents/AgentFile.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One [agent] section: the agent as it will be written, and its picture file.
struct ManifestAgent {
    CAgent agent;
    std::string picturePath; // as written in the manifest; empty: no picture
};

// One [file] section: a file to carry.
struct ManifestFile {
    std::uint16_t type = 0;
    std::string name; // Windows-1252
    std::string path; // as written in the manifest
};

using ManifestSection = std::variant<ManifestAgent, ManifestFile>;

// Parses a pack manifest (format in the README, section "kivtool"). Errors are
// CKitException "MANIFEST:LINE: what is wrong".
std::vector<ManifestSection> ParseManifest(std::string_view text, const std::string& name);
