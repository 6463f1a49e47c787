#include "sim/mirewalk-sim-win/GameServer.h"

#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

#include <stdexcept>
#include <string>

CGameServer::CGameServer(IClassFactory& factory, IDispatch& game) : m_game(game) {
    // The running object table takes a second game as readily as the first,
    // and clients would then reach either: refuse to be the second.
    IUnknown* running = nullptr;
    if (SUCCEEDED(GetActiveObject(WinSimContract::kGameClsid, nullptr, &running))) {
        running->Release();
        throw std::runtime_error("another game is already running");
    }
    HRESULT result = CoRegisterClassObject(WinSimContract::kGameClsid, &factory,
                                           CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_classCookie);
    if (FAILED(result)) {
        throw std::runtime_error("CoRegisterClassObject " + FormatHresult(result));
    }
    m_classRegistered = true;
    result = RegisterActiveObject(&game, WinSimContract::kGameClsid, ACTIVEOBJECT_STRONG,
                                  &m_activeCookie);
    if (FAILED(result)) {
        Revoke();
        throw std::runtime_error("RegisterActiveObject " + FormatHresult(result));
    }
    m_activeRegistered = true;
}

CGameServer::~CGameServer() {
    Revoke();
}

void CGameServer::Revoke() {
    if (m_activeRegistered) {
        RevokeActiveObject(m_activeCookie, nullptr);
        m_activeRegistered = false;
    }
    if (m_classRegistered) {
        CoRevokeClassObject(m_classCookie);
        m_classRegistered = false;
    }
    CoDisconnectObject(&m_game, 0);
}
