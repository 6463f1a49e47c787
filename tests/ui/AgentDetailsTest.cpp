#include "ui/AgentDetails.h"

#include "framework/DibBitmap.h"
#include "tests/ui/UiTestAgents.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kNow = 1'700'000'000;

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

Rgb PixelAt(const CDibBitmap& canvas, int x, int y) {
    const std::uint8_t* p = canvas.m_topRow + y * canvas.m_stride + x * 3;
    return {p[2], p[1], p[0]};
}

TEST(AgentDetailsTest, NothingSelectedOrNoRemovalScriptClosesTheActions) {
    TestClock clock(kNow);
    const DetailsControls none = DescribeControls(nullptr);
    EXPECT_EQ(none.quantityText, "");
    EXPECT_FALSE(none.injectEnabled);
    EXPECT_FALSE(none.removeEnabled);

    CAgent agent = MakeTestAgent({"Ball", 65534});
    agent.m_removeScript.clear();
    const DetailsControls controls = DescribeControls(&agent);
    EXPECT_EQ(controls.quantityText, "65534");
    EXPECT_TRUE(controls.injectEnabled);
    EXPECT_FALSE(controls.removeEnabled);
}

TEST(AgentDetailsTest, PictureIsCentredAndCarriesTheWaitUnlessAvailable) {
    TestClock clock(kNow);
    CAgent agent = MakeTestAgent({"Ball", 5, 3600});
    DetailsPicture picture = DescribePicture(agent, 41, 31);
    EXPECT_EQ(picture.x, 10);
    EXPECT_EQ(picture.y, 10);
    EXPECT_TRUE(picture.full);
    EXPECT_FALSE(picture.waitText.has_value());

    agent.m_lastUsed = kNow - 1;
    picture = DescribePicture(agent, 19, 4);
    EXPECT_EQ(picture.x, 0) << "-1 / 2 rounds toward zero";
    EXPECT_EQ(picture.y, -3);
    EXPECT_FALSE(picture.full);
    EXPECT_EQ(picture.waitText, "59:59");

    agent.m_quantity = 0;
    agent.m_lastUsed = kNow - 7200;
    picture = DescribePicture(agent, 41, 31);
    EXPECT_FALSE(picture.full);
    EXPECT_EQ(picture.waitText, "0") << "a used-up agent keeps its text";
}

TEST(AgentDetailsTest, PaintingClearsToBlackAndDimsOnlyTheOpaquePixels) {
    const CAgent agent = MakeTestAgent({"Ball"});
    CDibBitmap canvas;
    canvas.Create(40, 30, kDib24);
    canvas.FillRect(0, 0, 40, 30, 0x0000FF);

    PaintAgentPicture(canvas, agent, {10, 10, false, std::nullopt});
    EXPECT_EQ(PixelAt(canvas, 9, 9), (Rgb{0, 0, 0})) << "old contents are cleared";
    EXPECT_EQ(PixelAt(canvas, 10, 10), (Rgb{0, 0, 0})) << "the transparent frame leaves black";
    EXPECT_EQ(PixelAt(canvas, 11, 11), (Rgb{127, 127, 127}));

    CAgent blank = MakeTestAgent({"Blank"});
    blank.m_picture = CAgentPicture();
    PaintAgentPicture(canvas, blank, {10, 10, true, std::nullopt});
    EXPECT_EQ(PixelAt(canvas, 11, 11), (Rgb{0, 0, 0}));
}

} // namespace
