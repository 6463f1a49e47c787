#include "analysis/widgets/AnalysisPage.h"

#include "agents/AgentCatalogue.h"
#include "analysis/ScriptAnalyser.h"
#include "analysis/widgets/ImageStrip.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "framework/widgets/BaseSheet.h"
#include "framework/widgets/HScrollListBox.h"
#include "platform/Windows1252.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

constexpr int kAnalysisTemplate = 132;
constexpr int kAgentListId = 1000;
constexpr int kResultsTreeId = 1018;
constexpr const char* kPictures = "bitmaps/133.bmp";
const QColor kPictureTransparent(0, 255, 255);

} // namespace

CAnalysisPage::CAnalysisPage(const CDibBitmap& wallpaper, const CAgentCatalogue& catalogue)
    : CBasePage(kAnalysisTemplate, 0), m_wallpaper(wallpaper), m_catalogue(catalogue) {}

void CAnalysisPage::DoDataExchange() {
    m_resultsTree = ControlAs<QTreeWidget>(kResultsTreeId);
    m_agentList = ControlAs<CHScrollListBox>(kAgentListId);
    m_results = std::make_unique<CResultsTreeWidget>(*m_resultsTree);
    connect(m_agentList, &CHScrollListBox::itemSelectionChanged, this,
            &CAnalysisPage::OnSelchangeAgentList);
}

bool CAnalysisPage::OnInitDialog() {
    DoDataExchange();
    try {
        SetWallpaper(&m_wallpaper);
        FillAgentList();
        m_chemicalNames.LoadChemicalNames(CBaseSheet::GetGameDirectory(kMainDirectory));
        // Without the pictures the tree still shows its texts.
        m_results->SetImages(LoadImageStrip(kPictures, kPictureTransparent));
    } catch (const CKitException& e) {
        ReportError(e);
    }
    return true;
}

void CAnalysisPage::FillAgentList() {
    const auto& agents = m_catalogue.Agents();
    std::vector<CHScrollListBox::Entry> entries;
    entries.reserve(agents.size());
    for (std::size_t i = 0; i < agents.size(); ++i) {
        entries.push_back(
            {QString::fromStdString(Windows1252ToUtf8(agents[i]->Name())), static_cast<int>(i)});
    }
    m_agentList->SetContent(std::move(entries));
}

int CAnalysisPage::SelectedPosition() const {
    if (!HasWindow()) {
        return -1;
    }
    const int selection = m_agentList->GetCurSel();
    return selection == CHScrollListBox::kError ? -1 : m_agentList->GetItemData(selection);
}

void CAnalysisPage::ShowListWith(int position, bool stillHold) {
    if (!HasWindow()) {
        return;
    }
    // Emptying the list is the page's doing, not the user's.
    const QSignalBlocker quiet(m_agentList);
    FillAgentList();
    if (position != -1) {
        m_agentList->SetCurSel(m_agentList->FindItemData(position));
    }
    if (!stillHold) {
        OnSelchangeAgentList();
    }
}

void CAnalysisPage::OnSelchangeAgentList() {
    const int selection = m_agentList->GetCurSel();
    if (selection == CHScrollListBox::kError) {
        AnalyseAgent(nullptr, m_chemicalNames, *m_results);
        return;
    }
    const int position = m_agentList->GetItemData(selection);
    if (position == CHScrollListBox::kError) {
        return;
    }
    AnalyseAgent(m_catalogue.Agents().at(static_cast<std::size_t>(position)), m_chemicalNames,
                 *m_results);
}
