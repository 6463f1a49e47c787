#include "tests/ui/SheetFixture.h"

#include "framework/widgets/HScrollListBox.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/WidgetApplication.h"

#include <QApplication>
#include <QTest>

#include <cstring>

namespace {

// Widgets need a QApplication before the private bus's environment would make
// a plain core application, so both are registered here in this order.
const auto* const g_application = ::testing::AddGlobalTestEnvironment(new CWidgetApplication);
const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);

constexpr int kWallpaperSize = 64;
constexpr int kCoverWidth = 200;
constexpr int kCoverHeight = 150;

} // namespace

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

Rgb CanvasPixel(const CDibBitmap& canvas, int x, int y) {
    const std::uint8_t* p = canvas.m_topRow + static_cast<std::ptrdiff_t>(y) * canvas.m_stride +
                            static_cast<std::ptrdiff_t>(x) * 3;
    return {p[2], p[1], p[0]};
}

QStringList Entries(const CHScrollListBox& list) {
    QStringList texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        texts << list.GetText(i);
    }
    return texts;
}

SheetTest::SheetTest() : game(environment.InstallGame()) {
    environment.Root().Write(game / "Applet Data" / "wallpaper.bmp",
                             SolidBitmapFile(kWallpaperSize, kWallpaperSize, 0x00808080));
    environment.Root().Write(game / "Applet Data" / "Injector.bmp",
                             SolidBitmapFile(kCoverWidth, kCoverHeight, kCoverColour));
}

void SheetTest::AddObjectsFile(const std::string& name,
                               const std::vector<TestAgent>& agents) const {
    SaveAgentFile((Objects() / name).string(), agents);
}

std::string SheetTest::StartSheet() {
    sim = std::make_unique<CSimProcess>();
    ::testing::internal::CaptureStderr();
    sheet = std::make_unique<CInjectorSheet>("Splicebox");
    const bool created = sheet->Create();
    const bool shown = created && QTest::qWaitFor([this] { return sheet->isVisible(); }, 10000);
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(shown) << messages;
    macrosAtConnect = sim->Macros().size();
    return messages;
}

CInjectorPage& SheetTest::ShowAgentsPage() {
    sheet->SetActivePage(1);
    return sheet->m_agentsPage;
}

void SheetTest::ClickEntry(CHScrollListBox& list, const QString& name, int occurrence) {
    const auto found = list.findItems(name, Qt::MatchExactly);
    ASSERT_GT(found.size(), occurrence) << name.toStdString();
    QListWidgetItem* item = found[occurrence];
    list.scrollToItem(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

std::vector<std::string> SheetTest::MacrosSinceConnect() const {
    const auto all = sim->Macros();
    return {all.begin() + static_cast<std::ptrdiff_t>(macrosAtConnect), all.end()};
}
