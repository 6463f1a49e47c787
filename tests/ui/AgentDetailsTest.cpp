#include "ui/AgentDetails.h"
#include "ui/DetailsText.h"

#include "tests/support/ScopedLocale.h"
#include "tests/ui/SheetFixture.h"

namespace {

constexpr std::uint32_t kNow = 1'700'000'000;

TEST(AgentDetails, WaitAndQuantityTextsInTheUsersLanguage) {
    const ScopedLocale english("C");
    const std::pair<std::int32_t, const char*> waits[] = {{172800, "2 Day(s)"},
                                                          {90061, "1 Day(s)"},
                                                          {86399, "23:59:59"},
                                                          {11107, "03:05:07"},
                                                          {3600, "01:00:00"},
                                                          {3599, "59:59"},
                                                          {60, "01:00"},
                                                          {61, "01:01"},
                                                          {11, "00:11"},
                                                          {10, "10"},
                                                          {1, "1"},
                                                          {0, "0"}};
    for (const auto& [seconds, text] : waits) {
        EXPECT_EQ(FormatWaitText(seconds), text) << seconds << " seconds";
    }
    EXPECT_EQ(FormatQuantityText(65535), "Infinite");
    EXPECT_EQ(FormatQuantityText(65534), "65534");
    EXPECT_EQ(FormatQuantityText(0), "0");
    const ScopedLocale german("de_DE.UTF-8");
    EXPECT_EQ(FormatQuantityText(65535), "Endlos");
    EXPECT_EQ(FormatWaitText(172800), "2 Tag(e)");
}

TEST(AgentDetails, PictureIsCentredAndTheActionsOpenOnlyForWhatTheAgentAllows) {
    const ScopedClock clock(kNow);
    CAgent agent = MakeAgent({"Ball", 5, 3600});
    const auto describe = [&](int width, int height) {
        const DetailsPicture picture = DescribePicture(agent, width, height);
        return std::tuple(picture.x, picture.y, picture.full, picture.waitText);
    };
    using Picture = std::tuple<int, int, bool, std::optional<std::string>>;
    EXPECT_EQ(describe(41, 31), (Picture{10, 10, true, std::nullopt}));
    agent.m_lastUsed = kNow - 1;
    // -1 / 2 rounds toward zero.
    EXPECT_EQ(describe(19, 4), (Picture{0, -3, false, "59:59"}));
    // A used-up agent keeps its text.
    agent.m_quantity = 0;
    agent.m_lastUsed = kNow - 7200;
    EXPECT_EQ(describe(41, 31), (Picture{10, 10, false, "0"}));

    const auto controls = [](const CAgent* shown) {
        const DetailsControls c = DescribeControls(shown);
        return std::tuple(c.quantityText, c.injectEnabled, c.removeEnabled);
    };
    EXPECT_EQ(controls(nullptr), std::tuple("", false, false));
    agent = MakeAgent({"Ball", 65534});
    agent.m_removeScript.clear();
    EXPECT_EQ(controls(&agent), std::tuple("65534", true, false));
}

} // namespace
