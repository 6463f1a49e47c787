#pragma once

#include <optional>
#include <string_view>

// Bytes of a file from res/ compiled into the program, by its path below res/
// ("strings/en.txt"); nullopt when no such resource exists.
std::optional<std::string_view> FindEmbeddedResource(std::string_view name);
