#pragma once

#include "tests/support/BitmapFile.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/SimProcess.h"
#include "tests/ui/UiTestAgents.h"
#include "ui/widgets/InjectorSheet.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The cover picture's colour (red 40, green 60, blue 200) as 0x00BBGGRR.
inline constexpr std::uint32_t kCoverColour = 0x00C83C28;

// A pixel of a 24-bit canvas as red, green, blue.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);
Rgb CanvasPixel(const CDibBitmap& canvas, int x, int y);
// The texts of a list's entries, in list order.
QStringList Entries(const CHScrollListBox& list);

// A game folder with wallpaper and cover picture, the game substitute on the
// test's private bus, and the applet's sheet connected to it.
class SheetTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kNow = 1'700'000'000;

    SheetTest();

    // Writes an agent file into the Objects directory (before StartSheet).
    void AddObjectsFile(const std::string& name, const std::vector<TestAgent>& agents) const;
    // Creates the sheet and waits until it has connected and shown itself;
    // returns what it printed as messages meanwhile.
    std::string StartSheet();
    // The Agents page, set up and active.
    CInjectorPage& ShowAgentsPage();
    // Selects the list entry showing `name` (the first such) with a click.
    void ClickEntry(CHScrollListBox& list, const QString& name, int occurrence = 0);
    // The macros the game has received since the sheet connected.
    std::vector<std::string> MacrosSinceConnect() const;

    std::filesystem::path Objects() const { return game / "Objects"; }

    TestClock clock{kNow};
    GameEnvironment environment;
    std::filesystem::path game;
    std::unique_ptr<CSimProcess> sim;
    std::unique_ptr<CInjectorSheet> sheet;
    std::size_t macrosAtConnect = 0;
};
