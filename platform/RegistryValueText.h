#pragma once

#include "platform/RegistryValue.h"

#include <optional>
#include <string>
#include <string_view>

// One value line of a registry file: "Name"= or @=, then "text", dword:n,
// hex:list or hex(type):list.

// The value's name and the "=" after it at the start of `line`; `line` is left
// at the data. Empty for "@".
std::optional<std::string> ParseValueName(std::string_view& line);
// Hex lists may go on in the next line after a trailing backslash; no other
// data may.
bool IsHexData(std::string_view data);
// The data after "=", continuation lines joined without their backslashes.
bool ParseValueData(std::string_view data, RegistryVersion version, RegistryValue& value);
// The value as one line, or lines joined by `lineEnd` when a hex list wraps
// (no line end after the last); nullopt when a string that version 5 keeps as
// UTF-16 is not UTF-8.
std::optional<std::string> FormatValue(const RegistryValue& value, RegistryVersion version,
                                       std::string_view lineEnd);

// ASCII case-insensitive equality, as the registry compares names.
bool RegistryNamesEqual(std::string_view a, std::string_view b);
