#include "agents/CarriedConflicts.h"
#include "agents/AgentFileWriter.h"
#include "tests/agents/AgentTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

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
        TemporaryFolder folder;
        CCarriedFileIndex index;
        for (const char* name : {"a.kiv", "b.kiv", "c.kiv"}) {
            CAgentFileWriter writer;
            writer.AddCarriedFile(0, "ball.s16", Bytes("same"));
            writer.Save(folder.Path(name));
            index.Add(CAgentFile(folder.Path(name)));
        }
        change(folder.Path("b.kiv"));
        EXPECT_EQ(MessageOf([&] { index.Conflicts(); }),
                  "Error reading from file \"" + folder.Path("b.kiv") + "\"")
            << what;
    }
}

} // namespace
