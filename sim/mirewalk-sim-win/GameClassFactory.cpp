#include "sim/mirewalk-sim-win/GameClassFactory.h"

CGameClassFactory::CGameClassFactory(IDispatch& game) : m_game(game) {}

HRESULT CGameClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG CGameClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG CGameClassFactory::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&m_references));
}

HRESULT CGameClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    return m_game.QueryInterface(iid, object);
}

HRESULT CGameClassFactory::LockServer(BOOL /*lock*/) {
    // The game runs until it is told to quit, whoever holds it.
    return S_OK;
}
