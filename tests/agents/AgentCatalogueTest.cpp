#include "agents/AgentCatalogue.h"
#include "agents/AgentFileWriter.h"
#include "tests/agents/AgentTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

void SaveAgents(const std::string& path, const std::vector<std::string>& names) {
    CAgentFileWriter writer;
    for (const auto& name : names) {
        writer.AddAgent(MakeAgent(name));
    }
    writer.Save(path);
}

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

TEST(AgentCatalogue, ListsAgentsFileByFileInNameOrderIgnoringCase) {
    TemporaryFolder folder;
    SaveAgents(folder.Path("b.KIV"), {"b1", "b2", "b3"});
    SaveAgents(folder.Path("A.kiv"), {"a1", "a2"});
    SaveAgents(folder.Path("c.kiv.bak"), {"hidden"});
    SaveAgents(folder.Path("d.old.kiv"), {"d1"});
    folder.MakeDir("e.kiv");

    CAgentCatalogue catalogue;
    catalogue.ScanDirectory(folder.Dir());
    EXPECT_EQ(AgentNames(catalogue),
              (std::vector<std::string>{"a1", "a2", "b1", "b2", "b3", "d1"}));
    EXPECT_EQ(FilePaths(catalogue),
              (std::vector<std::string>{folder.Path("A.kiv"), folder.Path("b.KIV"),
                                        folder.Path("d.old.kiv")}));
    EXPECT_EQ(catalogue.m_agents[2], catalogue.m_files[1]->m_agents[0].get());

    CAgentCatalogue withoutSeparator;
    std::string dir = folder.Dir();
    dir.pop_back();
    withoutSeparator.ScanDirectory(dir);
    EXPECT_EQ(FilePaths(withoutSeparator), FilePaths(catalogue));

    catalogue.Clear();
    EXPECT_TRUE(catalogue.m_files.empty());
    EXPECT_TRUE(catalogue.m_agents.empty());
}

TEST(AgentCatalogue, StopsAtTheFirstDamagedFileAndKeepsTheOnesBefore) {
    TemporaryFolder folder;
    SaveAgents(folder.Path("1.kiv"), {"first"});
    WriteFileBytes(folder.Path("2.kiv"), Bytes("kiv1 not really"));
    SaveAgents(folder.Path("3.kiv"), {"third"});

    CAgentCatalogue catalogue;
    EXPECT_EQ(MessageOf([&] { catalogue.ScanDirectory(folder.Dir()); }),
              "Error: \"" + folder.Path("2.kiv") + "\" is not a Mirewalk 2 Kiv file");
    EXPECT_EQ(AgentNames(catalogue), std::vector<std::string>{"first"});

    // A failed AddFile leaves the catalogue as it was; later ones append.
    EXPECT_NE(MessageOf([&] { catalogue.AddFile(folder.Path("2.kiv")); }), "(nothing thrown)");
    catalogue.AddFile(folder.Path("3.kiv"));
    catalogue.AddFile(folder.Path("1.kiv"));
    EXPECT_EQ(AgentNames(catalogue), (std::vector<std::string>{"first", "third", "first"}));
    EXPECT_EQ(catalogue.m_files.size(), 3u);
}

TEST(AgentCatalogue, EmptyAndMissingDirectoriesAddNothingWithoutError) {
    TemporaryFolder folder;
    CAgentCatalogue catalogue;
    catalogue.ScanDirectory(folder.MakeDir("empty"));
    catalogue.ScanDirectory(folder.Path("missing"));
    EXPECT_TRUE(catalogue.m_files.empty());
}

TEST(AgentCatalogue, RecognisesAgentFileNamesByTheirLastFourCharacters) {
    EXPECT_TRUE(CAgentCatalogue::IsAgentFileName("/x/Ball.KiV"));
    EXPECT_TRUE(CAgentCatalogue::IsAgentFileName(".kiv"));
    EXPECT_FALSE(CAgentCatalogue::IsAgentFileName("ball.kiv "));
    EXPECT_FALSE(CAgentCatalogue::IsAgentFileName("kiv"));
    EXPECT_FALSE(CAgentCatalogue::IsAgentFileName(""));
    EXPECT_FALSE(CAgentCatalogue::IsAgentFileName("ball.kv"));
}

} // namespace
