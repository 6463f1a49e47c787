#include "tests/ui/SheetFixture.h"

#include <QPlainTextEdit>

#include <functional>
#include <thread>
#include <vector>

namespace {

// Generous: the folder is read a quarter of a second after it went quiet,
// but these machines are shared.
constexpr int kPatience = 5000;

TEST_F(SheetTest, TheListFollowsTheFolderReadingEachFileOnceCompleteAndKeepsTheSelection) {
    StartSheet();
    const CInjectorPage& page = ShowAgentsPage();
    int reloads = 0;
    QObject::connect(&sheet->m_objectsWatcher, &CObjectsFolderWatcher::Reloaded,
                     [&] { ++reloads; });
    const auto listed = [&](const QStringList& names) {
        return QTest::qWaitFor([&] { return Entries(*page.m_agentList) == names; }, kPatience);
    };
    ::testing::internal::CaptureStderr();
    SaveAgentFile((environment.Root() / "slow.kiv").string(), {{"Slow"}});
    const std::string whole = environment.Root().Read("slow.kiv");
    // Half of it, then a pause longer than the quiet period, then the rest.
    environment.Root().Write(Objects() / "slow.kiv", whole.substr(0, whole.size() / 2));
    QTest::qWait(2 * CLiveFolder::kQuietPeriod.count());
    environment.Root().Write(Objects() / "slow.kiv", whole);
    EXPECT_TRUE(listed({"Slow"}));

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
    EXPECT_TRUE(listed({"More", "Slow"}));
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About Slow");
    QTest::qWait(4 * CLiveFolder::kQuietPeriod.count());
    const auto message = [&](const char* name) {
        return "Splicebox: Error: \"" + (Objects() / name).string() +
               "\" is not a Mirewalk 2 Kiv file\n";
    };
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), message("bad.kiv") + message("worse.kiv"));
    std::filesystem::remove(Objects() / "slow.kiv");
    EXPECT_TRUE(listed({"More"}));
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About More") << "the next agent";

    // A thousand files moved in while the folder is watched are one reload.
    const auto staging = environment.Root() / "staging";
    std::filesystem::create_directory(staging);
    QStringList names;
    std::vector<std::string> staged;
    for (int i = 1000; i < 2000; ++i) {
        names << QString("agent%1").arg(i);
        staged.push_back(names.back().toStdString() + ".kiv");
        SaveAgentFile((staging / staged.back()).string(), {{names.back().toStdString()}});
    }
    names << "More";
    const int before = reloads;
    std::thread mover([&] {
        for (const std::string& name : staged) {
            std::filesystem::rename(staging / name, Objects() / name);
        }
    });
    EXPECT_TRUE(listed(names));
    mover.join();
    QTest::qWait(4 * CLiveFolder::kQuietPeriod.count());
    EXPECT_EQ(reloads, before + 1);
}

} // namespace
