#pragma once

#include <optional>
#include <string>
#include <vector>

// True when the last four characters of `path` are ".kiv" ignoring case (a
// shorter path is compared whole).
bool IsAgentFileName(const std::string& path);

// The paths of the agent files directly inside `directory` (given with or
// without a trailing separator), ordered by file name ignoring ASCII case and
// then byte by byte, so every machine lists them alike. Subdirectories are
// left out. nullopt when the directory cannot be listed at all; 6398 when the
// listing fails after it started.
std::optional<std::vector<std::string>> ListAgentFiles(const std::string& directory);
