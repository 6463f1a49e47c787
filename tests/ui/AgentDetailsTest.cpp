#include "ui/DetailsText.h"

#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

namespace {

TEST(AgentDetails, WaitAndQuantityTextsInTheUsersLanguage) {
    const ScopedLocale german("de_DE.UTF-8");
    // Days are whole; hours, minutes and seconds show from the largest one
    // there is, and up to ten seconds as a bare number.
    const std::pair<std::int32_t, const char*> waits[] = {{172799, "1 Tag(e)"}, {11107, "03:05:07"},
                                                          {3599, "59:59"},      {60, "01:00"},
                                                          {11, "00:11"},        {10, "10"}};
    for (const auto& [seconds, text] : waits) {
        EXPECT_EQ(FormatWaitText(seconds), text) << seconds << " seconds";
    }
    EXPECT_EQ(FormatQuantityText(65535), "Endlos");
    EXPECT_EQ(FormatQuantityText(65534), "65534");
}

} // namespace
