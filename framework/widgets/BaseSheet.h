#pragma once

#include "core/RegistryKey.h"
#include "framework/DibBitmap.h"
#include "framework/GameNotifications.h"
#include "framework/SheetGeometry.h"
#include "framework/widgets/OwnedWindows.h"
#include "gamelink/GameLink.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class CBasePage;
class QCheckBox;
class QIcon;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

// Commands of the sheet's own controls and of the About menu item.
enum SheetCommand : unsigned {
    kCloseCommand = 7652,
    kHideCommand = 7653,
    kKeepOnTopCommand = 7654,
    kAboutCommand = 57664,
};

// An applet's window, parameterised by the applet's name and version: tabbed
// pages over a wallpaper, Close, Hide and Keep on top along the bottom edge,
// the applet's settings key, a remembered position and keep-on-top state, and
// the link to the game with its state shown in the title. The window is
// created hidden (Create) and shows itself only once the game has answered.
class CBaseSheet : public QWidget, public IGameNotifications {
    Q_OBJECT

public:
    CBaseSheet(const char* caption, QWidget* parent, const char* appletName, const char* version);
    // The same talking to the game through `transport`, waiting between
    // attempts with `wait` (tests).
    CBaseSheet(const char* caption, QWidget* parent, const char* appletName, const char* version,
               std::unique_ptr<IMacroTransport> transport, CGameLink::WaitFunction wait);
    ~CBaseSheet() override;

    // Creates the window, still hidden: OnCreate, then OnInitDialog, which
    // schedules the connection to the game. False when creation failed; the
    // reason has been shown.
    bool Create();
    bool WindowExists() const;

    // The game's notification through the automation object: the 32-bit
    // value of "Communicate", lowest byte first.
    void DispatchNotification(std::uint32_t message);

    int OnGameConnected(CGameLink& link) override;
    void SetAppletNumber(int number) override;
    void OnPauseChanged(bool paused) override;
    void OnGameEvent6() override;
    void OnGameEvent7() override;
    void OnGameEvent9() override;
    void OnGameEvent8() override;
    void OnControl1() override;
    void OnControl2() override;

    static std::string GetGameDirectory(int index);
    bool ChangeToGameDirectory();
    bool AppletMenusAllowed();
    void SavePlacement();
    void RestorePlacement();
    void SetKeepOnTop(bool onTop);
    void OnHide();

    // Pages, tab images and the menu bar of a derived sheet. A page becomes
    // the next tab and a child of the sheet; a page that is a member of the
    // derived sheet leaves its tab when it is destroyed.
    void AddPage(CBasePage* page);
    int GetPageCount() const;
    CBasePage* GetPage(int index) const;
    int GetActiveIndex() const;
    void SetActivePage(int index);
    void SetTabImage(int index, const QIcon& image);
    // Takes the bar; its actions' data are command ids routed to OnCommand.
    void SetMenuBar(QMenuBar* bar);
    QMenuBar* MenuBar() const;

    // A command from a control or the menu; false when no one answers it.
    virtual bool OnCommand(unsigned id);

    CRegistryKey m_userKey;
    CRegistryKey m_machineKey;
    CGameLink m_game;
    std::int32_t m_appletNumber = -1;
    bool m_onTop = false;
    bool m_paused = false;
    bool m_hasSubject = false;
    std::string m_appletName;
    std::string m_version;
    std::string m_caption;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_hideButton = nullptr;
    QCheckBox* m_onTopButton = nullptr;
    CDibBitmap m_wallpaper;

signals:
    // The window is gone: closed and destroyed.
    void WindowDestroyed();

protected:
    virtual int OnCreate();
    virtual bool OnInitDialog();
    int OnConnectToGame();
    void QuerySubject();
    void QueryPaused();
    std::string QuerySubjectName();
    void RefreshTitle();
    void OnClose();
    void OnDestroy();
    void OnSize();
    void OnKeepOnTopButton();
    void OnCloseButton();
    void OnAbout();

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildWindow();
    void CreateControls();
    void PlaceControls();
    void FitToPages();
    void PutControlsLastInTabOrder();
    void OnPageChanged(int index);
    void ActivatePage(int index);

    QVBoxLayout* m_layout = nullptr;
    QWidget* m_client = nullptr;
    QTabWidget* m_tabs = nullptr;
    QMenuBar* m_menuBar = nullptr;
    int m_activePage = -1;
    int m_controlRowHeight = 0;
    bool m_windowExists = false;
    COwnedWindows m_ownedWindows{*this};
};
