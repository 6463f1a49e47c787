#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Compiles `files` (path inside the help file, contents) into the help file
// `dir`/`name`.chm with chmcmd; false when that fails.
bool CompileHelp(const std::filesystem::path& dir, const std::string& name,
                 const std::vector<std::pair<std::string, std::string>>& files);
