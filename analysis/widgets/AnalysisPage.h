#pragma once

#include "analysis/ChemicalNameTable.h"
#include "analysis/widgets/ResultsTreeWidget.h"
#include "framework/widgets/BasePage.h"

#include <memory>

class CAgentCatalogue;
class CDibBitmap;
class CHScrollListBox;
class QTreeWidget;

// The Analysis page: every agent of the catalogue by name and, for the one
// selected, what its scripts do, as the script analyser reports it. It never
// changes an agent or talks to the game.
class CAnalysisPage : public CBasePage {
    Q_OBJECT

public:
    // The sheet's wallpaper and the catalogue it owns, both outliving the page.
    CAnalysisPage(const CDibBitmap& wallpaper, const CAgentCatalogue& catalogue);

    bool OnInitDialog() override;
    void FillAgentList();
    // The catalogue position of the agent shown; -1 for none.
    int SelectedPosition() const;
    // Refills the list from the catalogue and selects the agent at `position`
    // when it is listed. The results shown stay when they `stillHold` (the
    // same agent, not read again), else follow the selection; does nothing
    // before the page has been shown.
    void ShowListWith(int position, bool stillHold);
    void OnSelchangeAgentList();

    // The chemical names the analysis goes by, read from the game's folder.
    const CChemicalNameTable& ChemicalNames() const { return m_chemicalNames; }

    // The page's controls.
    QTreeWidget* m_resultsTree = nullptr;
    CHScrollListBox* m_agentList = nullptr;

private:
    void DoDataExchange();

    CChemicalNameTable m_chemicalNames;
    std::unique_ptr<CResultsTreeWidget> m_results;
    const CDibBitmap& m_wallpaper;
    const CAgentCatalogue& m_catalogue;
};
