#include "app/DisplayPlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DisplayPlatform, WaylandGoesThroughXWaylandWhenThereIsOneAndTheUsersChoiceStands) {
    // QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY (nullptr: unset) and the choice.
    const char* const cases[][4] = {
        {nullptr, "wayland-0", ":0", "xcb"},        {"", "wayland-0", ":1", "xcb"},
        {nullptr, "wayland-0", nullptr, "wayland"}, {nullptr, "wayland-0", "", "wayland"},
        {"wayland", "wayland-0", ":0", nullptr},    {"offscreen", "wayland-0", nullptr, nullptr},
        {nullptr, nullptr, ":0", nullptr},          {nullptr, "", ":0", nullptr},
        {nullptr, nullptr, nullptr, nullptr},
    };
    const auto shown = [](const char* text) { return std::string(text ? text : "(unset)"); };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(ChooseQtPlatform(c[0], c[1], c[2])), shown(c[3]))
            << shown(c[0]) << " " << shown(c[1]) << " " << shown(c[2]);
    }
}

} // namespace
