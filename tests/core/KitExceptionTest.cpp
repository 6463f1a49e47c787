#include "core/KitException.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(KitException, FormatsTableEntriesAndCutsLongMessagesAtACharacterBoundary) {
    const ScopedLocale english("C");
    char buffer[CKitException::kMessageSize];
    const std::string path(300, 'p');
    EXPECT_EQ(std::string(FormatStringId(buffer, 6344, path.c_str())),
              "Error reading from file \"" + path + "\"");

    // 300 two-byte characters after one byte: the cut at 511 bytes falls inside one.
    std::string text = "x";
    for (int i = 0; i < 300; ++i) {
        text += "\xC3\xA9";
    }
    FormatString(buffer, "%s", text.c_str());
    EXPECT_EQ(std::string(buffer), text.substr(0, 511));
    FormatString(buffer, "y%s", text.c_str());
    EXPECT_EQ(std::string(buffer), ("y" + text).substr(0, 510));
}

} // namespace
