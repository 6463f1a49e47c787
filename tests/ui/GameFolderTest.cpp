#include "app/GameConfig.h"
#include "platform/DirectoryListing.h"
#include "tests/ui/SheetFixture.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// A folder copied from a system whose file names ignore case, where every fixed
// name is found in another case, and whose objects listing fails part way.
TEST_F(SheetTest, AGameFolderInAnyCaseStartsAndAFailedListingKeepsWhatItListed) {
    environment.SetLocale("de_DE.UTF-8");
    const fs::path appletData = game / "Applet Data";
    fs::rename(appletData / "wallpaper.bmp", appletData / "WALLPAPER.BMP");
    fs::rename(appletData / "Injector.bmp", appletData / "injector.BMP");
    // 256 empty names after the 16-bit head.
    environment.Root().Write(game / "ALLCHEMICALSDEU.STR", std::string(2 + 256, '\0'));
    for (const char* name : {"a", "b", "c", "d"}) {
        AddObjectsFile(std::string(name) + ".KIV", {{name}});
    }
    // The two files the folder lists first are the ones delivered before the failure.
    QStringList listedFirst;
    for (auto entry = fs::directory_iterator(Objects()); listedFirst.size() < 2; ++entry) {
        listedFirst << QString::fromStdString(entry->path().stem().string());
    }
    std::sort(listedFirst.begin(), listedFirst.end());

    const CDirectoryListing::CInjectedFailure failure(GetGameDirectory(kObjectsDirectory), 2);
    EXPECT_EQ(StartSheet(), "Splicebox: Fehler bei der Suche nach Kiv-Dateien\n");
    EXPECT_TRUE(sheet->m_wallpaper.IsValid());
    EXPECT_TRUE(sheet->m_coverPage.m_coverPicture.IsValid());
    EXPECT_EQ(Entries(*ShowAgentsPage().m_agentList), listedFirst);
    EXPECT_EQ(MessagesOf([&] { sheet->SetActivePage(2); }), "");
    EXPECT_EQ(sheet->m_analysisPage.m_chemicalNames.Name(17), "<17>");
}

} // namespace
