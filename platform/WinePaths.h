#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>


// A Windows path ("C:\Games\Mirewalk 2\", UTF-8) as this machine's path, found
// as Wine finds it: the drive through the prefix's dosdevices link, then each
// name in any case of its letters A to Z. A name that does not exist (yet) is
// kept as written, and so is the rest. A trailing separator gives a trailing
// "/". Nothing for a path without a drive letter (UNC, relative, empty) or a
// drive that the prefix does not map to a folder.
std::optional<std::string> WindowsPathToUnix(const std::filesystem::path& prefix,
                                             std::string_view windowsPath);
