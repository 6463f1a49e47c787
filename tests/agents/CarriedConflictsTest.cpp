#include "agents/CarriedConflicts.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

// The command-line tests cover what is found; here the contents change between
// listing and hashing, which only the index itself can be made to meet.
TEST(CarriedConflicts, ContentsThatCannotBeReadAnyMoreAreReportedWithTheirFile) {
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> cases = {
        {"deleted", [](const std::string& path) { std::filesystem::remove(path); }},
        {"cut short",
         [](const std::string& path) {
             std::filesystem::resize_file(path, std::filesystem::file_size(path) - 1);
         }},
    };
    for (const auto& [what, change] : cases) {
        const TempDir folder;
        CCarriedFileIndex index;
        for (const char* name : {"a.kiv", "b.kiv", "c.kiv"}) {
            SaveAgentFile((folder / name).string(), {}, {{0, "ball.s16", "same"}});
            index.Add(CAgentFile((folder / name).string()));
        }
        const std::string damaged = (folder / "b.kiv").string();
        change(damaged);
        EXPECT_EQ(CaughtMessage([&] { index.Conflicts(); }),
                  "Error reading from file \"" + damaged + "\"")
            << what;
    }
}

} // namespace
