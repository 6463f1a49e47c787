#include "app/KitException.h"
#include "framework/GameNotifications.h"
#include "framework/GameState.h"
#include "framework/SheetGeometry.h"
#include "framework/Tiling.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SheetGeometry, ButtonsSitInTheBottomRightCornerAndClampingKeepsTheSize) {
    const SheetButtonRects buttons = LayoutButtons(400, 300);
    EXPECT_EQ(buttons.close, (SheetRect{319, 272, 393, 294}));
    EXPECT_EQ(buttons.hide, (SheetRect{239, 272, 313, 294}));
    EXPECT_EQ(buttons.keepOnTop, (SheetRect{79, 272, 219, 294}));

    SheetRect firstRun{0, 0, 399, 499};
    ClampToWorkArea(firstRun, SheetRect{100, 30, 1124, 798});
    EXPECT_EQ(firstRun, (SheetRect{100, 30, 499, 529}));

    // Larger than the work area: left and top win.
    SheetRect huge{300, 300, 300 + 2000, 300 + 1000};
    ClampToWorkArea(huge, SheetRect{0, 0, 1024, 768});
    EXPECT_EQ(huge.left, 0);
    EXPECT_EQ(huge.top, 0);
}

TEST(Tiling, TilesStepByWidthAcrossAndHeightDown) {
    const std::vector<TileOrigin> expected{{0, 0},    {100, 0}, {200, 0},   {0, 50},   {100, 50},
                                           {200, 50}, {0, 100}, {100, 100}, {200, 100}};
    EXPECT_EQ(TileOrigins(100, 50, 250, 120), expected);
    EXPECT_EQ(TileOrigins(100, 50, 100, 50), (std::vector<TileOrigin>{{0, 0}}));
    EXPECT_TRUE(TileOrigins(0, 50, 250, 120).empty());
    EXPECT_TRUE(TileOrigins(100, 50, 0, 120).empty());
}

// Records the calls of the decoder as text.
class CRecordingTarget : public IGameNotifications {
public:
    std::vector<std::string> calls;

    int OnGameConnected(CGameLink&) override {
        calls.push_back("connected");
        return 0;
    }
    void SetAppletNumber(int number) override {
        calls.push_back("number " + std::to_string(number));
    }
    void OnPauseChanged(bool paused) override { calls.push_back(paused ? "paused" : "running"); }
    void OnGameEvent6() override { calls.push_back("event6"); }
    void OnGameEvent7() override { calls.push_back("event7"); }
    void OnGameEvent9() override { calls.push_back("event9"); }
    void OnGameEvent8() override { calls.push_back("event8"); }
    void OnControl1() override { calls.push_back("control1"); }
    void OnControl2() override { calls.push_back("control2"); }
};

using Calls = std::vector<std::string>;

TEST(Notifications, EachMessageKindCallsItsHandlersInOrder) {
    const std::pair<NotificationBytes, Calls> cases[] = {
        // Control messages carry a notification after their arguments.
        {{1, 3, 7, 0}, {"number 7"}},
        {{1, 3, 5, 6}, {"number 5", "event6"}},
        {{1, 3, 255, 8}, {"number 255", "event8"}},
        {{1, 1, 7, 0}, {"control1", "event7"}},
        {{1, 2, 10, 1}, {"control2", "paused"}},
        {{1, 4, 9, 0}, {"event9"}},
        {{1, 3, 2, 10}, {"number 2"}}, // the pause flag would be a fifth byte
        // Notification-only messages, and others.
        {{2, 9, 0, 0}, {"event9"}},
        {{2, 10, 1, 0}, {"paused"}},
        {{2, 10, 0, 1}, {"running"}},
        {{2, 6, 0, 0}, {"event6"}},
        {{2, 11, 1, 1}, {}},
        {{3, 6, 0, 0}, {}},
        {{0, 6, 6, 6}, {}},
    };
    for (const auto& [bytes, calls] : cases) {
        CRecordingTarget target;
        DispatchNotification(bytes, target);
        EXPECT_EQ(target.calls, calls) << ::testing::PrintToString(bytes);
    }
    EXPECT_EQ(SplitNotification(0x0A0B0C0Du), (NotificationBytes{0x0D, 0x0C, 0x0B, 0x0A}));
}

TEST(Title, CaptionSubjectAndPauseInTheUsersLanguage) {
    int nameQueries = 0;
    const auto name = [&] {
        ++nameQueries;
        return std::string("Bob");
    };
    const struct {
        const char* locale;
        bool subject;
        bool paused;
        const char* title;
    } cases[] = {
        {"C", false, true, "Splicebox - No Subject (PAUSED)"},
        {"C", true, false, "Splicebox - Bob"},
        {"C", true, true, "Splicebox - Bob (PAUSED)"},
        {"es_ES.UTF-8", false, true, "Splicebox - Sin tema(EN PAUSA)"},
        {"de_DE.UTF-8", false, true, "Splicebox - Kein Bezug (PAUSE)"},
    };
    for (const auto& c : cases) {
        const ScopedLocale language(c.locale);
        EXPECT_EQ(ComposeTitle("Splicebox", c.subject, c.paused, name), c.title);
    }
    EXPECT_EQ(nameQueries, 2) << "the name is asked for only with a subject";
    const auto failing = []() -> std::string { ThrowString("gone"); };
    EXPECT_EQ(ComposeTitle("Splicebox", true, true, failing), "");
}

} // namespace
