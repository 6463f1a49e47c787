#include "ui/DroppedFiles.h"

#include "agents/AgentCatalogue.h"
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestAgents.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The sheet's side of a drop, over a real catalogue and a real folder.
class CatalogueTarget : public IDropTarget {
public:
    explicit CatalogueTarget(const fs::path& objects) : m_objects(objects.string() + "/") {}

    std::string ObjectsDirectory() override { return m_objects; }
    void AddAgentFile(const std::string& path) override { catalogue.AddFile(path); }
    void RefreshAgentList() override { calls += "refresh "; }
    void ActivateAgentsPage() override { calls += "activate"; }

    CAgentCatalogue catalogue;
    std::string calls;

private:
    std::string m_objects;
};

class DroppedFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(objects);
        fs::create_directories(desktop);
        setenv("LC_ALL", "C", 1);
    }
    void TearDown() override { unsetenv("LC_ALL"); }

    std::string Drop(const std::vector<fs::path>& paths) {
        std::vector<std::string> texts;
        for (const auto& p : paths) {
            texts.push_back(p.string());
        }
        ::testing::internal::CaptureStderr();
        ProcessDroppedFiles(texts, target);
        return ::testing::internal::GetCapturedStderr();
    }

    TempDir root;
    fs::path objects = root / "Objects";
    fs::path desktop = root / "Desktop";
    CatalogueTarget target{objects};
};

TEST_F(DroppedFilesTest, AnExistingDestinationIsNeverReplacedNorItsSourceDeleted) {
    const fs::path dropped = root.Write("Desktop/Toy.kiv", "new");
    root.Write("Objects/Toy.kiv", "old");
    const fs::path alreadyThere = root.Write("Objects/Own.kiv", "own");

    EXPECT_EQ(Drop({dropped}), "Splicebox: Error reading from file \"" + dropped.string() + "\"\n");
    EXPECT_EQ(Drop({alreadyThere}),
              "Splicebox: Error reading from file \"" + alreadyThere.string() + "\"\n");
    EXPECT_EQ(root.Read("Desktop/Toy.kiv"), "new");
    EXPECT_EQ(root.Read("Objects/Toy.kiv"), "old");
    EXPECT_EQ(root.Read("Objects/Own.kiv"), "own");
    EXPECT_TRUE(target.catalogue.m_files.empty());
    EXPECT_EQ(target.calls, "refresh activaterefresh activate");
}

TEST_F(DroppedFilesTest, TheFirstFileThatIsNoAgentFileEndsTheDrop) {
    const fs::path first = desktop / "One.kiv";
    SaveAgentFile(first.string(), {{"One"}});
    const fs::path notes = root.Write("Desktop/notes.txt", "notes");
    const fs::path third = desktop / "Three.kiv";
    SaveAgentFile(third.string(), {{"Three"}});

    EXPECT_EQ(Drop({first, notes, third}),
              "Splicebox: Error: \"" + notes.string() + "\" is not a Mirewalk 2 Kiv file\n");
    EXPECT_TRUE(fs::exists(objects / "One.kiv"));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::exists(notes));
    EXPECT_FALSE(fs::exists(objects / "notes.txt"));
    EXPECT_TRUE(fs::exists(third));
    EXPECT_FALSE(fs::exists(objects / "Three.kiv"));
    ASSERT_EQ(target.catalogue.m_agents.size(), 1u);
    EXPECT_EQ(target.catalogue.m_agents[0]->m_name, "One");
    EXPECT_EQ(target.calls, "refresh activate");
}

TEST_F(DroppedFilesTest, AFileTheCatalogueRefusesStaysCopiedAndItsSourceIsKept) {
    const fs::path broken = root.Write("Desktop/Broken.kiv", "not an agent file");

    const std::string messages = Drop({broken});
    EXPECT_EQ(messages.rfind("Splicebox: ", 0), 0u) << messages;
    EXPECT_NE(messages.find((objects / "Broken.kiv").string()), std::string::npos) << messages;
    EXPECT_EQ(root.Read("Objects/Broken.kiv"), "not an agent file");
    EXPECT_EQ(root.Read("Desktop/Broken.kiv"), "not an agent file");
    EXPECT_TRUE(target.catalogue.m_files.empty());
    EXPECT_EQ(target.calls, "refresh activate");
}

} // namespace
