#include "platform/RegistrySubkey.h"

#include "platform/TextCodec.h"

#include <cstddef>

namespace {
// The registry's limit on the length of one key name in a path.
constexpr std::size_t kMaxKeyNameLength = 255;
} // namespace

bool IsValidSubkey(std::string_view subkey) {
    if (subkey.empty()) {
        return true;
    }
    if (!IsValidUtf8(subkey)) {
        return false;
    }
    while (true) {
        const auto separator = subkey.find('\\');
        const auto name = subkey.substr(0, separator);
        if (name.empty() || name.size() > kMaxKeyNameLength ||
            name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) {
            return false;
        }
        if (separator == std::string_view::npos) {
            return true;
        }
        subkey.remove_prefix(separator + 1);
    }
}
