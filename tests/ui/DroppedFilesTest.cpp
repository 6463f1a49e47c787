#include "ui/DroppedFiles.h"

#include "agents/AgentCatalogue.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

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
    void ActivateAgentsPage() override { calls += "activate "; }

    CAgentCatalogue catalogue;
    std::string calls;

private:
    std::string m_objects;
};

class DroppedFilesTest : public ::testing::Test {
protected:
    DroppedFilesTest() {
        fs::create_directories(root / "Objects");
        fs::create_directories(root / "Desktop");
    }

    std::string Drop(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const auto& name : names) {
            paths.push_back((root / name).string());
        }
        ::testing::internal::CaptureStderr();
        ProcessDroppedFiles(paths, target);
        return ::testing::internal::GetCapturedStderr();
    }
    std::string Path(const char* name) const { return (root / name).string(); }

    const ScopedLocale english{"C"};
    TempDir root;
    CatalogueTarget target{root / "Objects"};
};

TEST_F(DroppedFilesTest, AnExistingDestinationIsNeverReplacedNorItsSourceDeleted) {
    root.Write("Desktop/Toy.kiv", "new");
    root.Write("Objects/Toy.kiv", "old");
    root.Write("Objects/Own.kiv", "own");
    for (const char* name : {"Desktop/Toy.kiv", "Objects/Own.kiv"}) {
        EXPECT_EQ(Drop({name}), "Splicebox: Error reading from file \"" + Path(name) + "\"\n");
    }
    EXPECT_EQ(root.Read("Desktop/Toy.kiv"), "new");
    EXPECT_EQ(root.Read("Objects/Toy.kiv"), "old");
    EXPECT_EQ(root.Read("Objects/Own.kiv"), "own");
    EXPECT_TRUE(target.catalogue.m_files.empty());
    EXPECT_EQ(target.calls, "refresh activate refresh activate ");
}

TEST_F(DroppedFilesTest, TheFirstFileThatCannotBeTakenEndsTheDrop) {
    SaveAgentFile(Path("Desktop/One.kiv"), {{"One"}});
    root.Write("Desktop/notes.txt", "notes");
    SaveAgentFile(Path("Desktop/Three.kiv"), {{"Three"}});
    EXPECT_EQ(Drop({"Desktop/One.kiv", "Desktop/notes.txt", "Desktop/Three.kiv"}),
              "Splicebox: Error: \"" + Path("Desktop/notes.txt") +
                  "\" is not a Mirewalk 2 Kiv file\n");
    const std::pair<const char*, bool> files[] = {
        {"Objects/One.kiv", true},    {"Desktop/One.kiv", false},  {"Desktop/notes.txt", true},
        {"Objects/notes.txt", false}, {"Desktop/Three.kiv", true}, {"Objects/Three.kiv", false}};
    for (const auto& [name, exists] : files) {
        EXPECT_EQ(fs::exists(root / name), exists) << name;
    }
    ASSERT_EQ(target.catalogue.m_agents.size(), 1u);
    EXPECT_EQ(target.catalogue.m_agents[0]->m_name, "One");
    EXPECT_EQ(target.calls, "refresh activate ");

    // A file the catalogue refuses stays copied, and its source is kept.
    root.Write("Desktop/Broken.kiv", "not an agent file");
    const std::string messages = Drop({"Desktop/Broken.kiv"});
    EXPECT_EQ(messages.rfind("Splicebox: ", 0), 0u) << messages;
    EXPECT_NE(messages.find(Path("Objects/Broken.kiv")), std::string::npos);
    EXPECT_EQ(root.Read("Objects/Broken.kiv"), "not an agent file");
    EXPECT_EQ(root.Read("Desktop/Broken.kiv"), "not an agent file");
    EXPECT_EQ(target.catalogue.m_files.size(), 1u);
}

} // namespace
