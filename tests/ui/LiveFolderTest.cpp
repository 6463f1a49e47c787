#include "tests/ui/SheetFixture.h"

#include <QPlainTextEdit>

#include <functional>

namespace fs = std::filesystem;

namespace {

// Generous: the folder is read a quarter of a second after it went quiet,
// but these machines are shared.
constexpr int kPatience = 5000;

class LiveFolderTest : public SheetTest {
protected:
    void Start() {
        StartSheet();
        page = &ShowAgentsPage();
        QObject::connect(&sheet->m_objectsWatcher, &CObjectsFolderWatcher::Reloaded,
                         [this] { ++reloads; });
    }
    bool WaitForNames(const QStringList& names) const {
        return QTest::qWaitFor([&] { return Entries(*page->m_agentList) == names; }, kPatience);
    }
    QString Selected() const {
        return page->m_selected == -1
                   ? QString()
                   : QString::fromStdString(sheet->m_catalogue.m_agents[page->m_selected]->m_name);
    }

    CInjectorPage* page = nullptr;
    int reloads = 0;
};

TEST_F(LiveFolderTest, TheListFollowsTheFolderAndKeepsTheSelectedAgent) {
    AddObjectsFile("a.kiv", {{"Alpha"}, {"Beta"}});
    Start();
    ClickEntry(*page->m_agentList, "Beta");
    struct Step {
        const char* what;
        std::function<void()> change;
        QStringList names;
        QString selected;
    };
    const std::vector<Step> steps = {
        {"a file appears",
         [&] { AddObjectsFile("c.kiv", {{"Gamma"}}); },
         {"Alpha", "Beta", "Gamma"},
         "Beta"},
        {"the selected agent's file changes",
         [&] {
             AddObjectsFile("a.kiv", {{"Beta"}, {"Delta"}});
         },
         {"Beta", "Delta", "Gamma"},
         "Beta"},
        {"a file written as .tmp is renamed in place",
         [&] {
             AddObjectsFile("e.tmp", {{"Epsilon"}});
             fs::rename(Objects() / "e.tmp", Objects() / "e.kiv");
         },
         {"Beta", "Delta", "Epsilon", "Gamma"},
         "Beta"},
        {"the selected agent's file vanishes",
         [&] { fs::remove(Objects() / "a.kiv"); },
         {"Epsilon", "Gamma"},
         "Epsilon"},
    };
    for (const auto& step : steps) {
        step.change();
        EXPECT_TRUE(WaitForNames(step.names)) << step.what;
        EXPECT_EQ(Selected(), step.selected) << step.what;
        EXPECT_EQ(page->m_descriptionEdit->toPlainText(), "About " + step.selected) << step.what;
    }
}

TEST_F(LiveFolderTest, AFileIsReadOnceCompleteAndADamagedOneIsReportedOnce) {
    Start();
    ::testing::internal::CaptureStderr();
    SaveAgentFile((environment.Root() / "slow.kiv").string(), {{"Slow"}});
    const std::string whole = environment.Root().Read("slow.kiv");
    // Half of it, then a pause longer than the quiet period, then the rest.
    environment.Root().Write(Objects() / "slow.kiv", whole.substr(0, whole.size() / 2));
    QTest::qWait(2 * CLiveFolder::kQuietPeriod.count());
    environment.Root().Write(Objects() / "slow.kiv", whole);
    EXPECT_TRUE(WaitForNames({"Slow"}));

    // Written in place, and dropped, which shows the message itself.
    const auto damaged = [&](const std::function<void()>& arrive) {
        const int before = reloads;
        arrive();
        // Read too soon to tell, then again once it has settled.
        EXPECT_TRUE(QTest::qWaitFor([&] { return reloads >= before + 2; }, kPatience));
    };
    damaged([&] { environment.Root().Write(Objects() / "bad.kiv", "kiv"); });
    damaged([&] { sheet->OnDropFiles({environment.Root().Write("worse.kiv", "kiv").string()}); });
    AddObjectsFile("more.kiv", {{"More"}});
    EXPECT_TRUE(WaitForNames({"More", "Slow"}));
    QTest::qWait(4 * CLiveFolder::kQuietPeriod.count());
    const auto message = [&](const char* name) {
        return "Splicebox: Error: \"" + (Objects() / name).string() +
               "\" is not a Mirewalk 2 Kiv file\n";
    };
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), message("bad.kiv") + message("worse.kiv"));
}

} // namespace
