#pragma once

#include "framework/DibBitmap.h"
#include "framework/widgets/BasePage.h"

class CAgent;
class CAgentCatalogue;
class CGameLink;
class CHScrollListBox;
class CPictureControl;
class CTransparentStatic;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The Agents page: every agent of the catalogue by name, the selected one's
// description, picture, uses left and waiting time, and the Inject and Remove
// actions. While the page is the active tab its details are redrawn once a
// second, so the wait counts down.
class CInjectorPage : public CBasePage {
    Q_OBJECT

public:
    // The refresh timer ticks this often; the details are redrawn on every
    // tenth tick.
    static constexpr int kTimerInterval = 100;
    static constexpr int kTicksPerRefresh = 10;

    // The sheet's wallpaper, the catalogue whose agents the page lists and
    // injects, and the link to the game; all three outlive the page.
    CInjectorPage(const CDibBitmap& wallpaper, CAgentCatalogue& catalogue, CGameLink& game);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;

    // Refills the list from the catalogue and selects its first entry; does
    // nothing before the page has been shown.
    void RefreshList();
    // The same, selecting the entry of the agent at `position` when it is
    // listed.
    void ShowListWith(int position);
    void FillAgentList();
    void SelectAgent(int position);
    void EnableRefreshTimer(bool on);

    void OnSelchangeAgentList();
    void OnTimer();
    void OnInject();
    void OnRemove();

    // Redraws the picture area for the selected agent, then the controls.
    void RefreshDetails();
    // The quantity text and which of the two actions are open.
    void UpdateControls();

    // The catalogue position of the agent shown; -1 for none.
    int SelectedPosition() const { return m_selected; }
    bool RefreshTimerRuns() const { return m_timerId != 0; }
    // What the picture area shows.
    const CDibBitmap& Canvas() const { return m_canvas; }

    CTransparentStatic* m_quantityLabel = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_injectButton = nullptr;
    QLabel* m_quantityText = nullptr;
    QPlainTextEdit* m_descriptionEdit = nullptr;
    CHScrollListBox* m_agentList = nullptr;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void DoDataExchange();
    void CreatePictureControl();
    void DrawCanvas(const CAgent* agent);
    CAgent* SelectedAgent() const;

    int m_timerId = 0;
    int m_tickCount = 0;
    int m_selected = -1;
    CDibBitmap m_canvas;
    CPictureControl* m_pictureCtrl = nullptr;
    int m_pictureX = 0;
    int m_pictureY = 0;
    const CDibBitmap& m_wallpaper;
    CAgentCatalogue& m_catalogue;
    CGameLink& m_game;
};
