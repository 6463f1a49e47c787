#include "gamelink/widgets/GameSheet.h"

#include "core/KitException.h"
#include "gamelink/GameContract.h"
#include "gamelink/GameState.h"

#include <cstdio>

CGameSheet::CGameSheet(const char* caption, QWidget* parent, const char* appletName,
                       const char* version)
    : CBaseSheet(caption, parent, appletName, version) {}

CGameSheet::CGameSheet(const char* caption, QWidget* parent, const char* appletName,
                       const char* version, std::unique_ptr<IMacroTransport> transport,
                       CGameLink::WaitFunction wait)
    : CBaseSheet(caption, parent, appletName, version),
      m_game(std::move(transport), std::move(wait)) {}

void CGameSheet::DispatchNotification(std::uint32_t message) {
    ::DispatchNotification(SplitNotification(message), *this);
}

int CGameSheet::OnGameConnected(CGameLink&) {
    return 0;
}

void CGameSheet::SetAppletNumber(int number) {
    m_appletNumber = number;
}

void CGameSheet::OnPauseChanged(bool paused) {
    m_paused = paused;
    RefreshTitle();
}

void CGameSheet::OnGameEvent6() {
    QuerySubject();
    RefreshTitle();
}

void CGameSheet::OnGameEvent7() {
    QuerySubject();
    RefreshTitle();
}

void CGameSheet::OnGameEvent9() {}

void CGameSheet::OnGameEvent8() {
    QuerySubject();
    RefreshTitle();
}

void CGameSheet::OnControl1() {}

void CGameSheet::OnControl2() {}

int CGameSheet::OnConnectToGame() {
    if (!WindowExists() || !m_game.Connect()) {
        return 0;
    }
    QuerySubject();
    QueryPaused();
    RefreshTitle();
    try {
        OnGameConnected(m_game);
        RestorePlacement();
    } catch (const CKitException& e) {
        ReportError(e);
    }
    return 0;
}

void CGameSheet::QuerySubject() {
    try {
        m_hasSubject =
            GameContract::ReplyMeansSubject(m_game.ExecuteMacro(GameContract::kMacroQuerySubject));
    } catch (const CKitException&) {
        m_hasSubject = false;
    }
}

void CGameSheet::QueryPaused() {
    try {
        m_paused =
            GameContract::ReplyMeansPaused(m_game.ExecuteMacro(GameContract::kMacroQueryPaused));
    } catch (const CKitException&) {
        // The pause state stays as it was.
    }
}

std::string CGameSheet::QuerySubjectName() {
    return m_game.ExecuteMacro(GameContract::kMacroQuerySubjectName);
}

void CGameSheet::RefreshTitle() {
    const std::string title =
        ComposeTitle(Caption(), m_hasSubject, m_paused, [this] { return QuerySubjectName(); });
    setWindowTitle(QString::fromStdString(title));
}

void CGameSheet::OnWindowCreated() {
    OnConnectToGame();
}

void CGameSheet::OnClosing() {
    if (!m_game.IsConnected() || m_appletNumber == -1) {
        return;
    }
    char macro[64];
    std::snprintf(macro, sizeof macro, GameContract::kMacroQuitApplet, m_appletNumber);
    try {
        m_game.ExecuteMacro(macro);
    } catch (const CKitException&) {
        // The game may already be gone; closing goes on.
    }
}

void CGameSheet::OnDestroy() {
    CBaseSheet::OnDestroy();
    if (m_game.IsConnected()) {
        m_game.Disconnect();
    }
}
