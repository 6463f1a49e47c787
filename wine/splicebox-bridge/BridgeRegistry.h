#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The Wine registry as the game sees it, for this machine's programs: roots by
// name, the machine root in the 32-bit view, strings as UTF-8 with their zero.
// Each operation opens the key, does its one thing and closes it again.
namespace BridgeRegistry {

std::uint32_t OpenKey(const std::string& root, const std::string& subkey, bool create,
                      bool& created);
std::uint32_t ReadValue(const std::string& root, const std::string& subkey, const std::string& name,
                        std::uint32_t& type, std::vector<std::uint8_t>& data);
std::uint32_t WriteValue(const std::string& root, const std::string& subkey,
                         const std::string& name, std::uint32_t type,
                         const std::vector<std::uint8_t>& data);

} // namespace BridgeRegistry
