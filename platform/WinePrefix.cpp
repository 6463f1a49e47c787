#include "platform/WinePrefix.h"

#include "platform/HomeDirectory.h"

#include <cstdlib>

std::filesystem::path WinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && prefix[0] != '\0') {
        return prefix;
    }
    return HomeDirectory() / ".wine";
}
