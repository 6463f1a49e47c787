#include "ui/widgets/InjectorSheet.h"

#include "analysis/widgets/ImageStrip.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "framework/MenuTemplate.h"
#include "framework/widgets/MenuBuilder.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace {

constexpr const char* kAppletName = "Splicebox";
constexpr const char* kAppletVersion = "1.0";
constexpr const char* kCoverPicture = "Injector.bmp";
constexpr int kMenuId = 135;
constexpr const char* kTabImages = "bitmaps/131.bmp";
const QColor kTabImageTransparent(0, 255, 0);
constexpr int kAgentsTab = 1;

std::vector<std::string> LocalPaths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths.push_back(url.toLocalFile().toStdString());
        }
    }
    return paths;
}

} // namespace

CInjectorSheet::CInjectorSheet(const char* caption, QWidget* parent,
                               IDirectoryEntryReader& directoryReader)
    : CGameSheet(caption, parent, kAppletName, kAppletVersion), m_catalogue(directoryReader),
      m_coverPage(Wallpaper(), kCoverPicture), m_agentsPage(Wallpaper(), m_catalogue, m_game),
      m_analysisPage(Wallpaper(), m_catalogue) {
    AddPage(&m_coverPage);
    connect(&m_objectsWatcher, &CObjectsFolderWatcher::AboutToReload, this,
            &CInjectorSheet::OnCatalogueAboutToReload);
    connect(&m_objectsWatcher, &CObjectsFolderWatcher::Reloaded, this,
            &CInjectorSheet::OnCatalogueReloaded);
    connect(this, &CBaseSheet::WindowDestroyed, this, &CInjectorSheet::OnWindowGone);
}

// Each page leaves the tabs as it is destroyed. Should the active page go, the
// tabs would activate the next one, which would set itself up in a sheet that
// is going; the cover, destroyed last of the pages, is safe to leave active.
CInjectorSheet::~CInjectorSheet() {
    SetActivePage(0);
}

bool CInjectorSheet::OnInitDialog() {
    AttachMenu();
    return CGameSheet::OnInitDialog();
}

void CInjectorSheet::AttachMenu() {
    try {
        if (!AppletMenusAllowed()) {
            return;
        }
        QMenuBar* bar = BuildMenuBar(LoadMenuTemplate(kMenuId), this);
        if (QAction* keepOnTop = FindMenuCommand(*bar, kMenuKeepOnTopCommand)) {
            keepOnTop->setCheckable(true);
        }
        for (QAction* popup : bar->actions()) {
            if (QMenu* menu = popup->menu()) {
                connect(menu, &QMenu::aboutToShow, this, &CInjectorSheet::OnInitMenu);
            }
        }
        SetMenuBar(bar);
    } catch (const CKitException& e) {
        ReportError(e);
    }
}

int CInjectorSheet::OnGameConnected(CGameLink&) {
    AddPage(&m_agentsPage);
    AddPage(&m_analysisPage);
    GivePagesOneSize();
    if (!SetUpTabImages()) {
        return 0;
    }
    const std::string objects = GetGameDirectory(kObjectsDirectory);
    LoadCatalogue(objects);
    m_objectsWatcher.Watch(objects);
    setAcceptDrops(true);
    return 0;
}

// Every page fills the whole page area, which is as large as the largest
// page, so the wallpaper reaches the frame on the shorter pages too.
void CInjectorSheet::GivePagesOneSize() {
    QSize largest;
    for (int index = 0; index < GetPageCount(); ++index) {
        largest = largest.expandedTo(GetPage(index)->size());
    }
    for (int index = 0; index < GetPageCount(); ++index) {
        GetPage(index)->setFixedSize(largest);
    }
}

bool CInjectorSheet::SetUpTabImages() {
    m_tabImages = LoadImageStrip(kTabImages, kTabImageTransparent);
    const int tabs = GetPageCount();
    if (m_tabImages.size() < static_cast<std::size_t>(tabs)) {
        return false;
    }
    for (int tab = 0; tab < tabs; ++tab) {
        SetTabImage(tab, m_tabImages[static_cast<std::size_t>(tab)]);
    }
    return true;
}

void CInjectorSheet::LoadCatalogue(const std::string& dir) {
    try {
        m_catalogue.Clear();
        m_catalogue.ScanDirectory(dir);
    } catch (const CKitException& e) {
        ReportError(e);
    }
}

void CInjectorSheet::OnCatalogueAboutToReload() {
    m_agentsPageShowed = IdentifyAgent(m_catalogue, m_agentsPage.SelectedPosition());
    m_analysisPageShowed = IdentifyAgent(m_catalogue, m_analysisPage.SelectedPosition());
}

// The pages are refilled as after a drop, each keeping the agent it showed
// when that agent is still there; the analysis of an agent whose file was not
// read again still holds, with the sections the user opened.
void CInjectorSheet::OnCatalogueReloaded() {
    m_agentsPage.ShowListWith(FindAgent(m_catalogue, m_agentsPageShowed));
    const int analysed = FindAgent(m_catalogue, m_analysisPageShowed);
    m_analysisPage.ShowListWith(analysed,
                                IdentifyAgent(m_catalogue, analysed) == m_analysisPageShowed);
}

// The game may hold the applet for a long time after the window went; nothing
// may tick or show a message without a window.
void CInjectorSheet::OnWindowGone() {
    m_agentsPage.EnableRefreshTimer(false);
    m_objectsWatcher.Stop();
}

void CInjectorSheet::OnCommand(unsigned id) {
    switch (id) {
    case kMenuKeepOnTopCommand:
        OnKeepOnTop();
        break;
    case kMenuHideCommand:
        OnHide();
        break;
    case kExitCommand:
        close();
        break;
    case kHelpCommand:
        emit HelpRequested();
        break;
    default:
        CGameSheet::OnCommand(id);
        break;
    }
}

void CInjectorSheet::OnInitMenu() {
    if (QMenuBar* bar = MenuBar()) {
        if (QAction* keepOnTop = FindMenuCommand(*bar, kMenuKeepOnTopCommand)) {
            keepOnTop->setChecked(KeepsOnTop());
        }
    }
}

void CInjectorSheet::OnKeepOnTop() {
    SetKeepOnTop(!KeepsOnTop());
}

void CInjectorSheet::OnDropFiles(const std::vector<std::string>& paths) {
    ProcessDroppedFiles(paths, *this);
}

std::string CInjectorSheet::ObjectsDirectory() {
    return GetGameDirectory(kObjectsDirectory);
}

// The drop shows the message of a file that cannot be loaded; the watcher,
// which finds the file in the folder next, leaves it at that. A file of that
// name deleted a moment ago may still be listed: the new one takes its place.
void CInjectorSheet::AddAgentFile(const std::string& path) {
    try {
        m_catalogue.ReloadFile(path);
    } catch (const CKitException&) {
        m_objectsWatcher.NoteShown(path);
        throw;
    }
}

void CInjectorSheet::RefreshAgentList() {
    m_agentsPage.RefreshList();
}

void CInjectorSheet::ActivateAgentsPage() {
    SetActivePage(kAgentsTab);
}

// Only files on this computer can be taken in; anything else is refused
// before it is dropped, and changes nothing should it arrive.
void CInjectorSheet::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalPaths(*event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void CInjectorSheet::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = LocalPaths(*event->mimeData());
    if (paths.empty()) {
        event->ignore();
        return;
    }
    OnDropFiles(paths);
    event->acceptProposedAction();
}
