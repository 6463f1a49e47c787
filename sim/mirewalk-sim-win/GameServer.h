#pragma once

#include <windows.h>

// Makes the running game reachable by other processes for as long as it
// exists: its class object for CoCreateInstance(CLSCTX_LOCAL_SERVER) and its
// object in the running object table for GetActiveObject.
class CGameServer {
public:
    // Throws std::runtime_error when another game is running or a registration
    // fails.
    CGameServer(IClassFactory& factory, IDispatch& game);
    // Revokes both and disconnects every client, so that no proxy outlives
    // the game's objects.
    ~CGameServer();
    CGameServer(const CGameServer&) = delete;
    CGameServer& operator=(const CGameServer&) = delete;

private:
    void Revoke();

    IDispatch& m_game;
    DWORD m_classCookie = 0;
    DWORD m_activeCookie = 0;
    bool m_classRegistered = false;
    bool m_activeRegistered = false;
};
