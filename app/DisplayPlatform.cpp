#include "app/DisplayPlatform.h"

#include <cstdlib>

namespace {

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

} // namespace

const char* ChooseQtPlatform(const char* userPlatform, const char* waylandDisplay,
                             const char* x11Display) {
    if (IsSet(userPlatform) || !IsSet(waylandDisplay)) {
        return nullptr;
    }
    return IsSet(x11Display) ? "xcb" : "wayland";
}

void ApplyQtPlatformChoice() {
    const char* platform = ChooseQtPlatform(std::getenv("QT_QPA_PLATFORM"),
                                            std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
    if (platform != nullptr) {
        ::setenv("QT_QPA_PLATFORM", platform, 1);
    }
}
