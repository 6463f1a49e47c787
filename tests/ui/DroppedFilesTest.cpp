#include "ui/DroppedFiles.h"

#include "agents/AgentCatalogue.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// The sheet's side of a drop, over a real catalogue and a real folder.
struct CatalogueTarget : IDropTarget {
    std::string ObjectsDirectory() override { return objects; }
    void AddAgentFile(const std::string& path) override { catalogue.AddFile(path); }
    void RefreshAgentList() override { calls += "refresh "; }
    void ActivateAgentsPage() override { calls += "activate "; }

    std::string objects;
    CAgentCatalogue catalogue;
    std::string calls;
};

TEST(DroppedFiles, TakenUpToTheFirstFileThatCannotBeMovedNeverReplacingOne) {
    const ScopedLocale english("C");
    TempDir root;
    CatalogueTarget target;
    target.objects = (root / "Objects/").string();
    const auto path = [&](const char* name) { return (root / name).string(); };
    const auto drop = [&](const std::vector<const char*>& names) {
        std::vector<std::string> paths(names.size());
        std::transform(names.begin(), names.end(), paths.begin(), path);
        ::testing::internal::CaptureStderr();
        ProcessDroppedFiles(paths, target);
        return ::testing::internal::GetCapturedStderr();
    };
    root.Write("Desktop/Toy.kiv", "new");
    root.Write("Objects/Toy.kiv", "old");
    SaveAgentFile(path("Desktop/One.kiv"), {{"One"}});
    root.Write("Desktop/notes.txt", "notes");
    SaveAgentFile(path("Desktop/Three.kiv"), {{"Three"}});
    root.Write("Desktop/Broken.kiv", "not an agent file");

    // A file of the same name, or the destination itself, is never replaced.
    for (const char* name : {"Desktop/Toy.kiv", "Objects/Toy.kiv"}) {
        EXPECT_EQ(drop({name}), "Splicebox: Error reading from file \"" + path(name) + "\"\n");
    }
    EXPECT_EQ(drop({"Desktop/One.kiv", "Desktop/notes.txt", "Desktop/Three.kiv"}),
              "Splicebox: Error: \"" + path("Desktop/notes.txt") +
                  "\" is not a Mirewalk 2 Kiv file\n");
    // A file the catalogue refuses stays copied, and its source is kept.
    const std::string refused = drop({"Desktop/Broken.kiv"});
    EXPECT_EQ(refused.rfind("Splicebox: ", 0), 0u) << refused;
    EXPECT_NE(refused.find(path("Objects/Broken.kiv")), std::string::npos) << refused;

    // What is left where; "" for no file.
    const std::pair<const char*, std::string> files[] = {
        {"Desktop/Toy.kiv", "new"},
        {"Objects/Toy.kiv", "old"},
        {"Desktop/One.kiv", ""},
        {"Objects/One.kiv", Text(AgentFileBytes({{"One"}}))},
        {"Desktop/notes.txt", "notes"},
        {"Objects/notes.txt", ""},
        {"Desktop/Three.kiv", Text(AgentFileBytes({{"Three"}}))},
        {"Objects/Three.kiv", ""},
        {"Desktop/Broken.kiv", "not an agent file"},
        {"Objects/Broken.kiv", "not an agent file"}};
    for (const auto& [name, contents] : files) {
        EXPECT_EQ(std::filesystem::exists(root / name), !contents.empty()) << name;
        EXPECT_EQ(root.Read(name), contents) << name;
    }
    EXPECT_EQ(target.catalogue.m_files.size(), 1u);
    ASSERT_EQ(target.catalogue.m_agents.size(), 1u);
    EXPECT_EQ(target.catalogue.m_agents[0]->m_name, "One");
    EXPECT_EQ(target.calls, "refresh activate refresh activate refresh activate refresh activate ");
}

} // namespace
