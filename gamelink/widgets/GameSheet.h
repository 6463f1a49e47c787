#pragma once

#include "framework/widgets/BaseSheet.h"
#include "gamelink/GameLink.h"
#include "gamelink/GameNotifications.h"

#include <cstdint>
#include <memory>
#include <string>

// An applet's sheet linked to the game: once its window is created it connects
// to the game's macro server, asks for the game's state, shows it in the title
// and only then shows itself; it follows the game's notifications, and on
// closing tells the game that the applet quits.
class CGameSheet : public CBaseSheet, public IGameNotifications {
    Q_OBJECT

public:
    CGameSheet(const char* caption, QWidget* parent, const char* appletName, const char* version);
    // The same talking to the game through `transport`, waiting between
    // attempts with `wait` (tests).
    CGameSheet(const char* caption, QWidget* parent, const char* appletName, const char* version,
               std::unique_ptr<IMacroTransport> transport, CGameLink::WaitFunction wait);

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

    // The number the game gave the applet; -1 before it answered.
    std::int32_t AppletNumber() const { return m_appletNumber; }

protected:
    // The link to the game, which a derived sheet hands to what talks to it.
    CGameLink m_game;

    void OnWindowCreated() override;
    void OnClosing() override;
    void OnDestroy() override;
    int OnConnectToGame();
    void QuerySubject();
    void QueryPaused();
    std::string QuerySubjectName();
    void RefreshTitle();

private:
    std::int32_t m_appletNumber = -1;
    bool m_paused = false;
    bool m_hasSubject = false;
};
