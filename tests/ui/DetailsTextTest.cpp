#include "ui/DetailsText.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class DetailsTextTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C", 1); }
    void TearDown() override { unsetenv("LC_ALL"); }
};

TEST_F(DetailsTextTest, WaitTextShowsDaysOrTheLargestUnitsLeft) {
    const struct {
        std::int32_t seconds;
        const char* text;
    } cases[] = {
        {172800, "2 Day(s)"},
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
        {0, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatWaitText(c.seconds), c.text) << c.seconds << " seconds";
    }
}

TEST_F(DetailsTextTest, QuantityTextIsTheNumberOrInfiniteInTheUsersLanguage) {
    EXPECT_EQ(FormatQuantityText(65535), "Infinite");
    EXPECT_EQ(FormatQuantityText(65534), "65534");
    EXPECT_EQ(FormatQuantityText(0), "0");
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(FormatQuantityText(65535), "Endlos");
    EXPECT_EQ(FormatWaitText(172800), "2 Tag(e)");
}

} // namespace
