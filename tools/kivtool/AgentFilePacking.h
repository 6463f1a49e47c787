#pragma once

#include "agents/AgentFileWriter.h"
#include "tools/kivtool/AgentFileUnpacking.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reads a file that a manifest names, by its path relative to the manifest's
// folder joined to that folder; raises CKitException naming it when it cannot.
using ManifestFileReader = std::function<std::vector<std::uint8_t>(const std::filesystem::path&)>;

// The agent file that a manifest describes, ready to be saved. `manifestName` names the manifest in
// messages; the paths it holds are taken relative to `base`.
CAgentFileWriter PackManifest(std::string_view manifest, const std::string& manifestName,
                              const std::filesystem::path& base, const ManifestFileReader& read);

// Packs an agent file taken apart in memory, as pack does from the files that
// unpack writes.
CAgentFileWriter PackUnpacked(const CUnpackedAgentFile& unpacked);
