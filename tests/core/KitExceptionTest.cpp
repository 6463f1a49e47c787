#include "core/KitException.h"
#include "core/StringIds.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(KitException, FormatsTableEntriesAndCutsLongMessagesAtACharacterBoundary) {
    const ScopedLocale english("C");
    char buffer[CKitException::kMessageSize];
    const std::string path(300, 'p');
    EXPECT_EQ(std::string(FormatStringId(buffer, IDS_ERROR_READING_FILE, path.c_str())),
              "Error reading from file \"" + path + "\"");

    // A message that fills the buffer is cut back to its last whole character,
    // wherever inside a character of two, three or four bytes the cut falls.
    const std::string characters[] = {"\xC3\xA9", "\xE0\xA4\x85", "\xF0\x9F\x90\xB8"};
    for (const std::string& character : characters) {
        for (std::size_t lead = 0; lead < character.size(); ++lead) {
            std::string text(lead, 'x');
            while (text.size() < CKitException::kMessageSize) {
                text += character;
            }
            std::size_t whole = CKitException::kMessageSize - 1;
            while ((whole - lead) % character.size() != 0) {
                --whole;
            }
            FormatString(buffer, "%s", text.c_str());
            EXPECT_EQ(std::string(buffer), text.substr(0, whole)) << character.size() << lead;
        }
    }
}

} // namespace
