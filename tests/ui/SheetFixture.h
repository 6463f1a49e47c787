#pragma once

#include "framework/widgets/HScrollListBox.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/SimProcess.h"
#include "ui/widgets/InjectorSheet.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

inline QStringList Entries(const CHScrollListBox& list) {
    QStringList texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        texts << list.GetText(i);
    }
    return texts;
}

// What `action` printed as messages.
template <typename Action> std::string MessagesOf(Action&& action) {
    ::testing::internal::CaptureStderr();
    action();
    return ::testing::internal::GetCapturedStderr();
}

// A game folder with wallpaper and cover picture, the game substitute on the
// test's private bus, and the applet's sheet connected to it.
class SheetTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kNow = 1'700'000'000;

    SheetTest() : game(environment.InstallGame()) {
        environment.Root().Write(game / "Applet Data" / "wallpaper.bmp",
                                 SolidBitmapFile(64, 64, 0x00707070));
        // The cover: red 40, green 60, blue 200.
        environment.Root().Write(game / "Applet Data" / "Injector.bmp",
                                 SolidBitmapFile(200, 150, 0x00C83C28));
    }

    void AddObjectsFile(const std::string& name, const std::vector<AgentDraft>& agents) const {
        SaveAgentFile((Objects() / name).string(), agents);
    }
    // The messages printed while the sheet is made, connects and shows itself;
    // its agent files are listed through `reader`.
    std::string StartSheet(IDirectoryEntryReader& reader = SystemDirectoryEntryReader()) {
        sim = std::make_unique<CSimProcess>();
        bool shown = false;
        const std::string messages = MessagesOf([&] {
            sheet = std::make_unique<CInjectorSheet>("Splicebox", nullptr, reader);
            shown = sheet->Create() && QTest::qWaitFor([&] { return sheet->isVisible(); }, 10000);
        });
        EXPECT_TRUE(shown) << messages;
        return messages;
    }
    CInjectorPage& ShowAgentsPage() {
        sheet->SetActivePage(1);
        return sheet->AgentsPage();
    }
    // Selects the `occurrence`th list entry showing `name` with a click.
    static void ClickEntry(CHScrollListBox& list, const QString& name, int occurrence = 0) {
        const auto found = list.findItems(name, Qt::MatchExactly);
        ASSERT_GT(found.size(), occurrence) << name.toStdString();
        list.scrollToItem(found[occurrence]);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(found[occurrence]).center());
    }
    std::filesystem::path Objects() const { return game / "Objects"; }

    ScopedClock clock{kNow};
    GameEnvironment environment;
    std::filesystem::path game;
    std::unique_ptr<CSimProcess> sim;
    std::unique_ptr<CInjectorSheet> sheet;
};
