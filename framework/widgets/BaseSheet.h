#pragma once

#include "core/RegistryKey.h"
#include "framework/DibBitmap.h"
#include "framework/SheetGeometry.h"
#include "framework/widgets/OwnedWindows.h"

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
// the applet's settings key, and a remembered position and keep-on-top state.
// The window is created hidden (Create); what shows it is a derived sheet's
// (the game's sheet shows itself once the game has answered).
class CBaseSheet : public QWidget {
    Q_OBJECT

public:
    CBaseSheet(const char* caption, QWidget* parent, const char* appletName, const char* version);
    ~CBaseSheet() override;

    // Creates the window, still hidden: OnCreate, then OnInitDialog, which
    // schedules OnWindowCreated. False when creation failed; the reason has
    // been shown.
    bool Create();
    bool WindowExists() const;

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

    // A command from a control or the menu; any other id is ignored.
    virtual void OnCommand(unsigned id);

    // The tiled picture behind the sheet and its pages; invalid until the
    // window is created, and without a readable wallpaper file.
    const CDibBitmap& Wallpaper() const { return m_wallpaper; }
    bool KeepsOnTop() const { return m_onTop; }

    // The controls along the bottom edge.
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_hideButton = nullptr;
    QCheckBox* m_onTopButton = nullptr;

signals:
    // The window is gone: closed and destroyed.
    void WindowDestroyed();

protected:
    // The caption the sheet was made with, before the title adds to it.
    const std::string& Caption() const { return m_caption; }

    virtual int OnCreate();
    virtual bool OnInitDialog();
    // Once the window's creation has finished, from the event loop.
    virtual void OnWindowCreated() {}
    // Closing, after the placement was saved and before the window goes.
    virtual void OnClosing() {}
    void OnClose();
    virtual void OnDestroy();
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

    CRegistryKey m_userKey;
    CRegistryKey m_machineKey;
    bool m_onTop = false;
    std::string m_appletName;
    std::string m_version;
    std::string m_caption;
    CDibBitmap m_wallpaper;
    QVBoxLayout* m_layout = nullptr;
    QWidget* m_client = nullptr;
    QTabWidget* m_tabs = nullptr;
    QMenuBar* m_menuBar = nullptr;
    int m_activePage = -1;
    int m_controlRowHeight = 0;
    bool m_windowExists = false;
    COwnedWindows m_ownedWindows{*this};
};
