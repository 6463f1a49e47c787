#include "app/DisplayPlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DisplayPlatform, WaylandGoesThroughXWaylandWhenThereIsOneAndTheUsersChoiceStands) {
    struct Case {
        const char* user;
        const char* wayland;
        const char* x11;
        const char* chosen;
    };
    const Case cases[] = {
        {nullptr, "wayland-0", ":0", "xcb"},        {"", "wayland-0", ":1", "xcb"},
        {nullptr, "wayland-0", nullptr, "wayland"}, {nullptr, "wayland-0", "", "wayland"},
        {"wayland", "wayland-0", ":0", nullptr},    {"offscreen", "wayland-0", nullptr, nullptr},
        {nullptr, nullptr, ":0", nullptr},          {nullptr, "", ":0", nullptr},
        {nullptr, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const char* chosen = ChooseQtPlatform(c.user, c.wayland, c.x11);
        EXPECT_EQ(std::string(chosen != nullptr ? chosen : "(none)"),
                  c.chosen != nullptr ? c.chosen : "(none)")
            << (c.user ? c.user : "-") << " " << (c.wayland ? c.wayland : "-") << " "
            << (c.x11 ? c.x11 : "-");
    }
}

} // namespace
