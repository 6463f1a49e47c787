#include "platform/HomeDirectory.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

std::filesystem::path HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr ? user->pw_dir : "/";
}
