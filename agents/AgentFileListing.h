#pragma once

#include "platform/DirectoryListing.h"

#include <optional>
#include <string>
#include <vector>

// True when the last four characters of `path` are ".kiv" ignoring case (a
// shorter path is compared whole).
bool IsAgentFileName(const std::string& path);

// The path of the entry `name` of `directory` (given with or without a
// trailing separator), as ListAgentFiles spells it.
std::string PathInDirectory(const std::string& directory, const std::string& name);

// The agent files directly inside a directory, ordered by file name ignoring
// ASCII case and then byte by byte, so every machine lists them alike.
struct AgentFileList {
    std::vector<std::string> paths;
    // The listing failed part-way (IDS_ERROR_LOOKING_FOR_KIV): `paths` holds the files it had
    // delivered before.
    bool failed = false;
};

// The agent files of `directory` (given with or without a trailing separator);
// subdirectories are left out. nullopt when the directory cannot be listed at
// all.
std::optional<AgentFileList>
ListAgentFiles(const std::string& directory,
               IDirectoryEntryReader& reader = SystemDirectoryEntryReader());
