#include "agents/AgentCatalogue.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::string> AgentNames(const CAgentCatalogue& catalogue) {
    std::vector<std::string> names;
    for (const CAgent* agent : catalogue.m_agents) {
        names.push_back(agent->m_name);
    }
    return names;
}

std::vector<std::string> FilePaths(const CAgentCatalogue& catalogue) {
    std::vector<std::string> paths;
    for (const auto& file : catalogue.m_files) {
        paths.push_back(file->m_path);
    }
    return paths;
}

TEST(AgentCatalogue, ListsAgentsFileByFileInNameOrderIgnoringCaseUpToADamagedFile) {
    const TempDir folder;
    const auto path = [&](const char* name) { return (folder / name).string(); };
    SaveAgentFile(path("b.KIV"), {{"b1"}, {"b2"}, {"b3"}});
    SaveAgentFile(path("A.kiv"), {{"a1"}, {"a2"}});
    SaveAgentFile(path("c.kiv.bak"), {{"hidden"}});
    SaveAgentFile(path("d.old.kiv"), {{"d1"}});
    std::filesystem::create_directory(folder / "e.kiv");

    CAgentCatalogue catalogue;
    catalogue.ScanDirectory(folder.Path().string() + "/");
    EXPECT_EQ(AgentNames(catalogue),
              (std::vector<std::string>{"a1", "a2", "b1", "b2", "b3", "d1"}));
    EXPECT_EQ(FilePaths(catalogue),
              (std::vector<std::string>{path("A.kiv"), path("b.KIV"), path("d.old.kiv")}));
    EXPECT_EQ(catalogue.m_agents[2], catalogue.m_files[1]->m_agents[0].get());

    CAgentCatalogue withoutSeparator;
    withoutSeparator.ScanDirectory(folder.Path().string());
    EXPECT_EQ(FilePaths(withoutSeparator), FilePaths(catalogue));

    catalogue.Clear();
    EXPECT_TRUE(catalogue.m_files.empty());
    EXPECT_TRUE(catalogue.m_agents.empty());
    std::filesystem::create_directory(folder / "empty");
    catalogue.ScanDirectory((folder / "empty").string());
    catalogue.ScanDirectory((folder / "missing").string());
    EXPECT_TRUE(catalogue.m_files.empty());

    // A damaged file stops the scan, keeping the files before it; a failed
    // AddFile leaves the catalogue as it was, later ones append.
    folder.Write("c.kiv", "kiv1 not really");
    EXPECT_EQ(CaughtMessage([&] { catalogue.ScanDirectory(folder.Path().string()); }),
              "Error: \"" + path("c.kiv") + "\" is not a Mirewalk 2 Kiv file");
    EXPECT_EQ(CaughtMessage([&] { catalogue.AddFile(path("c.kiv")); }),
              "Error: \"" + path("c.kiv") + "\" is not a Mirewalk 2 Kiv file");
    catalogue.AddFile(path("A.kiv"));
    EXPECT_EQ(AgentNames(catalogue),
              (std::vector<std::string>{"a1", "a2", "b1", "b2", "b3", "a1", "a2"}));
    EXPECT_EQ(catalogue.m_files.size(), 3u);

    for (const char* name : {"/x/Ball.KiV", ".kiv"}) {
        EXPECT_TRUE(CAgentCatalogue::IsAgentFileName(name)) << name;
    }
    for (const char* name : {"ball.kiv ", "kiv", "", "ball.kv"}) {
        EXPECT_FALSE(CAgentCatalogue::IsAgentFileName(name)) << name;
    }
}

} // namespace
