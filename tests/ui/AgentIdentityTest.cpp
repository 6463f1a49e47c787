#include "ui/AgentIdentity.h"
#include "agents/AgentCatalogue.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace {

// a.kiv holds Twin, Solo, Twin and b.kiv another Twin; after a.kiv changed (or
// went), the selection is the agent of its file with its name, at its place
// when the file still has it there, else the first of that name.
TEST(AgentIdentity, FindsTheSelectedAgentAtItsPlaceInItsFileElseTheFirstOfItsName) {
    using Agents = std::optional<std::vector<AgentDraft>>;
    const struct {
        int selected;
        Agents a; // none: a.kiv deleted
        int found;
    } rows[] = {
        {2, Agents{{{"Twin"}, {"Solo"}, {"Twin"}}}, 2},
        {0, Agents{{{"Twin"}, {"Solo"}, {"Twin"}}}, 0},
        {2, Agents{{{"Solo"}, {"Twin"}, {"Twin"}}}, 2},
        {2, Agents{{{"Twin"}, {"Solo"}}}, 0},
        {1, Agents{{{"Twin"}}}, -1},
        {3, Agents{{{"Twin"}}}, 1},
        {0, std::nullopt, -1},
        {-1, Agents{{{"Twin"}}}, -1},
        {4, Agents{{{"Twin"}}}, -1}, // past the last agent
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.selected);
        const TempDir folder;
        const std::string a = (folder / "a.kiv").string();
        SaveAgentFile(a, {{"Twin"}, {"Solo"}, {"Twin"}});
        SaveAgentFile((folder / "b.kiv").string(), {{"Twin"}});
        CAgentCatalogue before;
        before.ScanDirectory(folder.Path().string());
        const auto identity = IdentifyAgent(before, row.selected);
        if (row.a) {
            SaveAgentFile(a, *row.a);
        } else {
            std::filesystem::remove(a);
        }
        CAgentCatalogue after;
        after.ScanDirectory(folder.Path().string());
        EXPECT_EQ(FindAgent(after, identity), row.found);
    }
}

} // namespace
