#pragma once

#include "agents/AgentCatalogue.h"
#include "analysis/widgets/AnalysisPage.h"
#include "gamelink/widgets/GameSheet.h"
#include "ui/AgentIdentity.h"
#include "ui/DroppedFiles.h"
#include "ui/widgets/CoverPage.h"
#include "ui/widgets/InjectorPage.h"
#include "ui/widgets/ObjectsFolderWatcher.h"

#include <QIcon>

#include <optional>
#include <string>
#include <vector>

// Commands of the applet's menu bar that the sheet answers itself.
enum InjectorCommand : unsigned {
    kMenuKeepOnTopCommand = 32776,
    kMenuHideCommand = 32777,
    kExitCommand = 57665,
    kHelpCommand = 57667,
};

// The applet's window: the cover, Agents and Analysis pages over the wallpaper,
// the window menu, and the catalogue of agent files both agent pages show.
// Agent files dropped onto it are moved into the game's Objects directory.
class CInjectorSheet : public CGameSheet, public IDropTarget {
    Q_OBJECT

public:
    // The catalogue lists directories with `directoryReader`; tests pass one
    // that fails.
    explicit CInjectorSheet(const char* caption, QWidget* parent = nullptr,
                            IDirectoryEntryReader& directoryReader = SystemDirectoryEntryReader());
    ~CInjectorSheet() override;

    int OnGameConnected(CGameLink& link) override;
    void OnCommand(unsigned id) override;

    // Empties the catalogue and loads every agent file of `dir`.
    void LoadCatalogue(const std::string& dir);

    void OnInitMenu();
    void OnKeepOnTop();
    void OnDropFiles(const std::vector<std::string>& paths);

    std::string ObjectsDirectory() override;
    void AddAgentFile(const std::string& path) override;
    void RefreshAgentList() override;
    void ActivateAgentsPage() override;

    // The parts of the window, for whoever drives it as a user would.
    const CAgentCatalogue& Catalogue() const { return m_catalogue; }
    CObjectsFolderWatcher& ObjectsWatcher() { return m_objectsWatcher; }
    const CCoverPage& CoverPage() const { return m_coverPage; }
    CInjectorPage& AgentsPage() { return m_agentsPage; }
    CAnalysisPage& AnalysisPage() { return m_analysisPage; }

signals:
    // The Help menu item: the application shows its help.
    void HelpRequested();

protected:
    bool OnInitDialog() override;

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void AttachMenu();
    void GivePagesOneSize();
    bool SetUpTabImages();
    void OnCatalogueAboutToReload();
    void OnCatalogueReloaded();
    void OnWindowGone();

    // Made before the watcher and the pages that are handed it, and gone after them.
    CAgentCatalogue m_catalogue;
    // Keeps the catalogue in step with the Objects directory.
    CObjectsFolderWatcher m_objectsWatcher{m_catalogue};
    CCoverPage m_coverPage;
    CInjectorPage m_agentsPage;
    CAnalysisPage m_analysisPage;
    std::vector<QIcon> m_tabImages;
    // What the two agent pages showed before the catalogue was reloaded.
    std::optional<AgentIdentity> m_agentsPageShowed;
    std::optional<AgentIdentity> m_analysisPageShowed;
};
