#include "agents/AgentCatalogue.h"
#include "agents/CarriedConflicts.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The agents' names, then the files' paths below `folder`.
std::string Listed(const CAgentCatalogue& catalogue, const TempDir& folder) {
    std::string listed;
    for (const CAgent* agent : catalogue.m_agents) {
        listed += agent->m_name + " ";
    }
    for (const auto& file : catalogue.m_files) {
        listed += file->m_path.substr(folder.Path().string().size()) + " ";
    }
    return listed;
}

TEST(AgentCatalogue, ListsAgentsFileByFileInNameOrderIgnoringCaseUpToADamagedFile) {
    const TempDir folder;
    const auto path = [&](const char* name) { return (folder / name).string(); };
    SaveAgentFile(path("b.KIV"), {{"b1"}, {"b2"}});
    SaveAgentFile(path("A.kiv"), {{"a1"}});
    SaveAgentFile(path("a.kiv.bak"), {{"hidden"}});
    fs::create_directory(folder / "aa.kiv");

    CAgentCatalogue catalogue;
    catalogue.ScanDirectory(folder.Path().string());
    EXPECT_EQ(Listed(catalogue, folder), "a1 b1 b2 /A.kiv /b.KIV ");
    EXPECT_EQ(catalogue.m_agents[1], catalogue.m_files[1]->m_agents[0].get());
    catalogue.Clear();
    catalogue.ScanDirectory((folder / "missing").string());
    EXPECT_EQ(Listed(catalogue, folder), "");

    // A damaged file stops the scan, keeping the files before it; a failed
    // AddFile leaves the catalogue as it was, later ones append.
    folder.Write("c.kiv", "kiv1 not really");
    const std::string damaged = "Error: \"" + path("c.kiv") + "\" is not a Mirewalk 2 Kiv file";
    EXPECT_EQ(CaughtMessage([&] { catalogue.ScanDirectory(folder.Path().string() + "/"); }),
              damaged);
    EXPECT_EQ(CaughtMessage([&] { catalogue.AddFile(path("c.kiv")); }), damaged);
    catalogue.AddFile(path("A.kiv"));
    EXPECT_EQ(Listed(catalogue, folder), "a1 b1 b2 a1 /A.kiv /b.KIV /A.kiv ");
}

// The conflicts command covers what is found; here the contents change between
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
