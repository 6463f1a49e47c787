#include "agents/AgentCatalogue.h"
#include "agents/CarriedConflicts.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A damaged file stops the scan, keeping the files before it; a failed AddFile leaves the catalogue
// as it was, later ones append. Which files are listed, in what order, the conflicts command shows.
TEST(AgentCatalogue, ListsAgentsFileByFileUpToADamagedFile) {
    const TempDir folder;
    const auto path = [&](const char* name) { return (folder / name).string(); };
    SaveAgentFile(path("a.kiv"), {{"a1"}, {"a2"}});
    folder.Write("b.kiv", "kiv1 not really");
    SaveAgentFile(path("c.kiv"), {{"c1"}});
    const std::string damaged = "Error: \"" + path("b.kiv") + "\" is not a Mirewalk 2 Kiv file";
    CAgentCatalogue catalogue;
    EXPECT_EQ(CaughtMessage([&] { catalogue.ScanDirectory(folder.Path().string()); }), damaged);
    EXPECT_EQ(CaughtMessage([&] { catalogue.AddFile(path("b.kiv")); }), damaged);
    catalogue.AddFile(path("c.kiv"));
    EXPECT_EQ(std::tuple(catalogue.Agents().size(), catalogue.Files().size()), std::tuple(3u, 2u));
    EXPECT_EQ(catalogue.Agents()[2], catalogue.Files()[1]->Agents()[0].get());
    EXPECT_EQ(catalogue.Files()[1]->Path(), path("c.kiv"));
    catalogue.Clear();
    catalogue.ScanDirectory(path("missing"));
    EXPECT_EQ(std::tuple(catalogue.Agents().size(), catalogue.Files().size()), std::tuple(0u, 0u));
}

// The conflicts command covers what is found; here the contents change between
// listing and hashing, which only the index itself can be made to meet.
TEST(CarriedConflicts, ContentsThatCannotBeReadAnyMoreAreReportedWithTheirFile) {
    for (const bool deleted : {true, false}) {
        const TempDir folder;
        CCarriedFileIndex index;
        for (const char* name : {"a.kiv", "b.kiv", "c.kiv"}) {
            SaveAgentFile((folder / name).string(), {}, {{kImage, "ball.s16", "same"}});
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
