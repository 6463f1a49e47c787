#include "agents/CarriedConflicts.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The command-line tests cover what is found; here the contents change between
// listing and hashing, which only the index itself can be made to meet.
TEST(CarriedConflicts, ContentsThatCannotBeReadAnyMoreAreReportedWithTheirFile) {
    for (const bool deleted : {true, false}) {
        const TempDir folder;
        CCarriedFileIndex index;
        for (const char* name : {"a.kiv", "b.kiv", "c.kiv"}) {
            SaveAgentFile((folder / name).string(), {}, {{0, "ball.s16", "same"}});
            index.Add(CAgentFile((folder / name).string()));
        }
        const auto damaged = folder / "b.kiv";
        if (deleted) {
            fs::remove(damaged);
        } else {
            fs::resize_file(damaged, fs::file_size(damaged) - 1);
        }
        EXPECT_EQ(CaughtMessage([&] { index.Conflicts(); }),
                  "Error reading from file \"" + damaged.string() + "\"")
            << deleted;
    }
}

} // namespace
